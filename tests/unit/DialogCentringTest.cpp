#include "launcher/DialogCentring.h"

#include <gtest/gtest.h>

namespace nv {
namespace {

TEST(DialogCentring, CentresOnOwnerAndStaysOnScreen) {
    struct Case {
        const char* what;
        WindowRect owner;
        int x;
        int y;
    };
    // A 200 x 100 dialog on a 1024 x 768 screen.
    const WindowRect dialog{0, 0, 200, 100};
    const Case cases[] = {
        {"centred on the owner", {100, 100, 601, 401}, 250, 200},
        {"owner near the top left: not off the screen", {-300, -200, 100, 50}, 0, 0},
        {"owner near the bottom right: 10 pixels inside", {800, 600, 1200, 900}, 814, 658},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const WindowPosition at = centredDialogPosition(dialog, &c.owner, 1024, 768);
        EXPECT_EQ(at.x, c.x);
        EXPECT_EQ(at.y, c.y);
    }
}

TEST(DialogCentring, WithoutOwnerCentresOnScreen) {
    const WindowRect dialog{500, 500, 701, 601};
    const WindowPosition at = centredDialogPosition(dialog, nullptr, 1024, 768);
    EXPECT_EQ(at.x, 411);
    EXPECT_EQ(at.y, 333);
}

}  // namespace
}  // namespace nv
