#pragma once

#include <QTextBrowser>

namespace luming {

// The play area's page for a text programme: the text in a large, readable font on the skin's
// ground, scrolled with the wheel or the keys when it is longer than the area.
class TextProgrammeView : public QTextBrowser {
    Q_OBJECT
public:
    explicit TextProgrammeView(QWidget* parent);

    void ShowText(const QString& text);
};

} // namespace luming
