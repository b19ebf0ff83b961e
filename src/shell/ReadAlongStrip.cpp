#include "shell/ReadAlongStrip.h"

#include "shell/AccessibleControls.h"
#include "shell/PoemLine.h"

#include <QHBoxLayout>

namespace luming {

namespace {

constexpr int kCharacterPixels = 30;

} // namespace

ReadAlongStrip::ReadAlongStrip(QWidget* parent) : QFrame(parent) {
    setObjectName("pnlReadAlong");
    setAccessibleName(QStringLiteral("跟读"));
    setStyleSheet("QFrame#pnlReadAlong { background: #EEF3FA; }");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    line_ = new PoemLine(this, kCharacterPixels);
    line_->SetLit(true);
    accessible::SetKind(line_, accessible::Kind::PoemText);
    layout->addWidget(line_);
}

void ReadAlongStrip::ShowLine(const std::string& text, const std::vector<std::string>& readings) {
    line_->SetLine(text, readings); // the window announces the line
}

} // namespace luming
