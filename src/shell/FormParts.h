#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QFrame;
class QLabel;
class QObject;
class QToolButton;
class QWidget;

namespace luming {

class ImageControl;
class tLxsimage;

// Small builders for the controls of the form, so that each control reads as one line: its
// name, its design properties and nothing else. Hints double as tool tips and accessible names.
namespace form {

// "宋体" where it is installed, else the CJK fonts a Linux desktop has.
QFont SongTi(int pixelSize);
// The tree's font: "MS Sans Serif" where it exists, with the same CJK fall-backs.
QFont TreeFont(int pixelSize);

enum class Bevel { None, Raised, Lowered };

QFrame* Panel(QWidget* parent, const char* name, QColor colour = {}, Bevel bevel = Bevel::None);
ImageControl* Image(QWidget* parent, const char* name, const QString& picture, bool stretch);
tLxsimage* TitleButton(QWidget* parent, const char* name, const QString& picture);
QToolButton* SpeedButton(QWidget* parent, const char* name, const QString& hint,
                         const QString& caption = {});
// Names a label and gives it the form's font and text colour.
void StyleLabel(QLabel* label, const char* name, const QFont& font, QColor colour);
QLabel* Label(QWidget* parent, const char* name, const QString& text, const QFont& font,
              QColor colour);

// The control's hint: its tool tip and its accessible name. A control with a key of its own
// shows the key after the hint in the tool tip, e.g. "下一首 (N)".
void SetHint(QWidget* control, const QString& hint);
inline constexpr char kKeyHintProperty[] = "keyHint";
void SetKeyHint(QWidget* control, const QString& key);

// The form's tag of a control (0 unless set). Tag 99 keeps a control out of the skin.
void SetTag(QObject* control, int tag);
int Tag(const QObject* control);

} // namespace form
} // namespace luming
