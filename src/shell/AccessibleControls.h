#pragma once

#include <QString>

class QLabel;
class QObject;
class QWidget;

namespace luming {

// What a screen reader is told of the window's own drawn controls, which Qt's widgets do not
// describe by themselves: the title buttons are buttons, the position bar and the volume bar are
// sliders with their values, the state label is a status line. Hidden page tabs and web panes
// without the keyboard focus show nothing inside them, so that only the control with the focus
// says it has it.
namespace accessible {

enum class Kind {
    Button,      // an image control that acts on a click
    PositionBar, // the value is the time label's text, e.g. "00:14 / 00:23"
    Volume,      // a vertical slider with the loudest at the top; the value is the level
    Status,      // a label that tells the player's state; its text is its name
    Window,      // a window of the program's own
    Choice,      // a checkable item (QAction) of a menu of choices where one holds
    Switch,      // a checkable tool button: a check box, checked while its state holds
    Hint,        // a label shown only in some editions: while hidden it says nothing
    Overlay,     // the mouse's surface over a control a reader reaches itself: never shown
    Clock,       // a label whose text moves on by itself (the time): read when asked, never told
    Announcer,   // a notification a reader speaks whatever has the focus (see Announce)
    PoemText,    // a poem's line with its pinyin (a PoemLine): read when asked, never told
};

// Gives `control` its kind (a description Qt made of it before is dropped).
void SetKind(QObject* control, Kind kind);
// The volume as a screen reader reads it: in percent of the loudest.
int VolumePercent(int level, int maximum);

// The time of a position bar as a screen reader says it.
QString SpokenTime(QWidget* positionBar);

// The label whose text a position bar reads out as its value.
void SetTimeLabel(QWidget* positionBar, QLabel* label);

// Registers the descriptions with Qt, once per process, and has the controls of `window` that
// Qt described before described again (a control's description is made on first use and kept).
// The application then shows a reader only its windows that are shown: the web engine's views
// each keep a hidden window of their own for drawing.
void Install(QWidget* window);

// Has a screen reader speak `text` at once, politely (after what it is saying), wherever the
// focus is: for a change the child made that the control with the focus does not tell (a
// programme started by the next button, the number of search results). `announcer` is a control
// of kind Announcer. (Qt 6.4 tells a new name or description with the object in place of the
// text, which a reader cannot speak: a change of the focused control's own name is announced
// too.)
void Announce(QWidget* announcer, const QString& text);

// Says which row of `tree` has the focus (Qt tells only of the view when the focus comes to it).
void FocusedRowTold(QWidget* tree);

// The time label's "mm:ss/mm:ss" (hours in front from one hour on) as a screen reader says
// it, "mm:ss / mm:ss", and its two times in seconds (-1 where a time cannot be read).
struct TimeReading {
    QString spoken;
    int seconds = -1;
    int total = -1;
};
TimeReading ReadTimeText(const QString& text);

} // namespace accessible
} // namespace luming
