#pragma once

class QWidget;

namespace luming {

// The window's skin: a style sheet for the standard controls (buttons, menus, edits, track
// bars, scroll bars, tabs, panels with a bevel). A control whose tag is 99 keeps the plain look;
// the drawn frame, title bar and tree scroll bar are pictures and are not touched.
void ApplySkin(QWidget* window);

// True when the skin draws this control.
bool IsSkinned(const QWidget* control);

} // namespace luming
