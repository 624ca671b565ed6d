#include "launcher/DialogCentring.h"

namespace nv {

namespace {

// One axis: the owner's start and length, the dialog's length, the screen's.
int centredOnOwner(int ownerStart, int ownerLength, int dialogLength, int screenLength) {
    int at = ownerStart + ownerLength / 2 - dialogLength / 2;
    if (at < 0) at = 0;
    const int limit = screenLength - dialogLength - 10;
    if (at >= limit) at = limit;
    return at;
}

}  // namespace

WindowPosition centredDialogPosition(const WindowRect& dialog, const WindowRect* owner, int screenWidth,
                                     int screenHeight) {
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    if (!owner) return WindowPosition{(screenWidth - width) / 2, (screenHeight - height) / 2};
    return WindowPosition{centredOnOwner(owner->left, owner->right - owner->left, width, screenWidth),
                          centredOnOwner(owner->top, owner->bottom - owner->top, height, screenHeight)};
}

}  // namespace nv
