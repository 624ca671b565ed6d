// GoogleTest's Notification, written with a Win32 event: its own is written
// with std::mutex, which MinGW's win32 thread model does not have. Forced into
// every GoogleTest compilation of the Windows build.
#pragma once
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

// Lets threads wait until the controller thread notifies them; once notified, stays so.
class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing
