#pragma once
// The keyboard as the input being handled found it.

// Whether Shift was held when the key being handled was pressed. A key handler asks this rather
// than following Shift's own key-down and key-up: a Shift let go while another window had the
// focus (a message box, a dialog) never reaches the window that saw it go down.
bool ShiftHeld();
