#pragma once

class QWidget;

// The main window's placement under "MainForm_WS", "MainForm_L", "MainForm_T", "MainForm_W" and
// "MainForm_H", on the primary screen's available area. Left and top are the frame's corner; width and
// height are the client size, because the frame is unknown before a window is first shown and storing the
// outer size would grow the window by its frame at every start.

// Call before the first show, with Form at its design size: centres it, then applies the stored state and,
// for a normal window whose four bounds are all stored, the stored bounds, clamped into the screen (or
// maximized when the window is larger than the screen). A value of another type counts as absent; state
// values other than 0, 1 and 2 count as normal.
void LoadFormPosition(QWidget* Form);

// Stores the state (0 normal, 2 maximized or minimized) and, only for a normal window, its bounds. Runs as
// the window closes, so it never throws: returns false when nothing or not everything could be stored.
bool SaveFormPosition(QWidget* Form);
