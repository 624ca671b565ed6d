// The claim of one instance and the window it brings forward, on the real
// system: the process plays both starts.
#include <windows.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "launcher/SingleInstance.h"

namespace nv {
namespace {

// A name of this test run alone.
LauncherString testName(const char* what) {
    return instanceName(
        LauncherString("C:\\nv-single-instance-test\\") + what + std::to_string(GetCurrentProcessId()).c_str(), false);
}

TEST(SingleInstanceWin, TheClaimIsHeldUntilItsOwnerGoes) {
    const LauncherString name = testName("held");
    auto first = std::make_unique<InstanceClaim>();
    ASSERT_TRUE(first->claim(name));
    InstanceClaim second;
    EXPECT_FALSE(second.claim(name));
    InstanceClaim other;
    EXPECT_TRUE(other.claim(testName("other")));
    first.reset();
    InstanceClaim next;
    EXPECT_TRUE(next.claim(name));
}

TEST(SingleInstanceWin, TheHoldersVisibleWindowIsRestoredAndBroughtForward) {
    const LauncherString name = testName("window");
    EXPECT_FALSE(bringInstanceForward(name));  // nobody holds it
    InstanceClaim claim;
    ASSERT_TRUE(claim.claim(name));
    EXPECT_FALSE(bringInstanceForward(name));  // the holder shows no window

    HWND window = CreateWindowExA(0, "STATIC", "nv single instance", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    EXPECT_TRUE(bringInstanceForward(name));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    DestroyWindow(window);
}

}  // namespace
}  // namespace nv
