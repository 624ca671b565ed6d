// The claim of one instance and the window brought forward, on the real
// system: the process plays both starts.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "launcher/SingleInstance.h"

namespace nv {
namespace {

// A name of this test run alone.
LauncherString testName(const char* what) {
    return LauncherString("NorvaneTest") + what + std::to_string(GetCurrentProcessId()).c_str();
}

TEST(SingleInstanceWin, TheClaimIsHeldUntilItsOwnerGoesAndTellsTheHolder) {
    const LauncherString name = testName("held");
    InstanceClaim first;
    ASSERT_EQ(claimInstance(name, first), 0);
    ASSERT_TRUE(first.valid());
    InstanceClaim second;
    EXPECT_EQ(claimInstance(name, second), static_cast<long>(GetCurrentProcessId()));
    EXPECT_FALSE(second.valid());
    InstanceClaim other;
    EXPECT_EQ(claimInstance(testName("other"), other), 0);
    first.reset();
    InstanceClaim next;
    EXPECT_EQ(claimInstance(name, next), 0);
}

TEST(SingleInstanceWin, TheHoldersVisibleWindowIsRestoredAndBroughtForward) {
    const long self = static_cast<long>(GetCurrentProcessId());
    EXPECT_FALSE(bringProcessForward(self));  // no window yet

    HWND window = CreateWindowExA(0, "STATIC", "nv single instance", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    EXPECT_TRUE(bringProcessForward(self));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    DestroyWindow(window);
}

}  // namespace
}  // namespace nv
