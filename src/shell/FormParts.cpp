#include "shell/FormParts.h"

#include "shell/ImageControl.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace luming::form {

namespace {

const QStringList kCjkFallbacks = {"WenQuanYi Zen Hei", "WenQuanYi Micro Hei", "Noto Sans CJK SC",
                                   "Noto Sans SC", "Droid Sans Fallback"};

QFont FontOf(const QString& family, int pixelSize) {
    QFont font;
    font.setFamilies(QStringList{family} + kCjkFallbacks);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

QFont SongTi(int pixelSize) {
    return FontOf(QStringLiteral("宋体"), pixelSize);
}

QFont TreeFont(int pixelSize) {
    return FontOf("MS Sans Serif", pixelSize);
}

QFrame* Panel(QWidget* parent, const char* name, QColor colour, Bevel bevel) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    if (colour.isValid()) {
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, colour);
        panel->setPalette(palette);
        panel->setAutoFillBackground(true);
    }
    if (bevel != Bevel::None) {
        panel->setFrameStyle(QFrame::Panel |
                             (bevel == Bevel::Raised ? QFrame::Raised : QFrame::Sunken));
        panel->setLineWidth(1);
    }
    return panel;
}

ImageControl* Image(QWidget* parent, const char* name, const QString& picture, bool stretch) {
    auto* image = new ImageControl(parent);
    image->setObjectName(name);
    image->setPicture(Picture::Named(picture));
    image->setStretch(stretch);
    return image;
}

tLxsimage* TitleButton(QWidget* parent, const char* name, const QString& picture) {
    auto* image = new tLxsimage(parent);
    image->setObjectName(name);
    image->setPicture(Picture::Named(picture));
    return image;
}

QToolButton* SpeedButton(QWidget* parent, const char* name, const QString& hint,
                         const QString& caption) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true); // flat, as speed buttons are
    button->setFocusPolicy(Qt::NoFocus);
    button->setText(caption);
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
    button->setCursor(Qt::PointingHandCursor);
    SetHint(button, hint);
    return button;
}

void StyleLabel(QLabel* label, const char* name, const QFont& font, QColor colour) {
    label->setObjectName(name);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, const QFont& font,
              QColor colour) {
    auto* label = new QLabel(text, parent);
    StyleLabel(label, name, font, colour);
    return label;
}

void SetHint(QWidget* control, const QString& hint) {
    const QString key = control->property(kKeyHintProperty).toString();
    const QString toolTip = key.isEmpty() ? hint : hint + " (" + key + ")";
    if (control->toolTip() != toolTip)
        control->setToolTip(toolTip);
    // Qt tells a screen reader of every name set, changed or not: the play button's look is
    // shown again every second.
    if (control->accessibleName() != hint)
        control->setAccessibleName(hint);
}

void SetKeyHint(QWidget* control, const QString& key) {
    control->setProperty(kKeyHintProperty, key);
    SetHint(control, control->accessibleName());
}

void SetTag(QObject* control, int tag) {
    control->setProperty("tag", tag);
}

int Tag(const QObject* control) {
    return control->property("tag").toInt();
}

} // namespace luming::form
