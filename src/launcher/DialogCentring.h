#pragma once
// Where the progress dialog goes: centred on its owner, kept on the screen.

namespace nv {

struct WindowRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct WindowPosition {
    int x;
    int y;
};

// The top-left corner that centres dialog on owner, not above or left of the
// screen and at least 10 pixels inside its right and bottom edges; without an
// owner (null), the corner that centres dialog on the screen.
WindowPosition centredDialogPosition(const WindowRect& dialog, const WindowRect* owner, int screenWidth,
                                     int screenHeight);

}  // namespace nv
