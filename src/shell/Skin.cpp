#include "shell/Skin.h"

#include "shell/FormParts.h"

#include <QWidget>

namespace luming {

namespace {

constexpr int kSkinDisableTag = 99;

// Soft blues on white, rounded; matches the pictures of the frame.
const char* const kSkinStyleSheet = R"(
QToolButton[skinned="true"] {
    border: 1px solid transparent; border-radius: 4px; background: transparent; padding: 0px;
}
QToolButton[skinned="true"]:hover { background: #DCEBFA; border-color: #A9CDEF; }
QToolButton[skinned="true"]:pressed { background: #BFDAF5; border-color: #4A9FE0; }
QToolButton[skinned="true"]:disabled { background: transparent; }
QMenu { background: #FFFFFF; border: 1px solid #A9CDEF; padding: 4px; }
QMenu::item { padding: 5px 24px 5px 24px; border-radius: 4px; color: #2A3F55; }
QMenu::item:selected { background: #DCEBFA; }
QMenu::indicator { width: 12px; height: 12px; left: 6px; }
QSlider[skinned="true"]::groove:vertical {
    background: #DCE6F2; width: 4px; border-radius: 2px;
}
QSlider[skinned="true"]::handle:vertical {
    background: #4A9FE0; border: 1px solid #2F7FC1; height: 10px; margin: 0 -5px;
    border-radius: 5px;
}
QSlider[skinned="true"]::add-page:vertical { background: #4A9FE0; border-radius: 2px; }
QScrollBar[skinned="true"]:vertical { background: #EDEEEE; width: 10px; }
QScrollBar[skinned="true"]::handle:vertical { background: #A9CDEF; border-radius: 4px; }
QTabBar[skinned="true"]::tab { background: #EEF3FA; padding: 4px 12px; color: #2A3F55; }
QTabBar[skinned="true"]::tab:selected { background: #FFFFFF; }
)";

} // namespace

bool IsSkinned(const QWidget* control) {
    return form::Tag(control) != kSkinDisableTag;
}

void ApplySkin(QWidget* window) {
    window->setProperty("skinned", IsSkinned(window));
    for (QWidget* control : window->findChildren<QWidget*>())
        control->setProperty("skinned", IsSkinned(control));
    window->setStyleSheet(kSkinStyleSheet);
}

} // namespace luming
