// The progress dialog on a real window: a thread of its own pumps its
// messages, as the user-interface thread does, while the test plays the worker.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "foundation/LauncherException.h"
#include "foundation/ProgressUi.h"
#include "foundation/RunSettings.h"
#include "foundation/win32/Handles.h"
#include "launcher/win32/DialogProgressUi.h"
#include "resources/StringIds.h"
#include "tests/support/RunTest.h"

namespace nv {
namespace {

class DialogThread {
public:
    DialogThread(DialogProgressUi& ui, int templateId)
        : ui_(ui), templateId_(templateId), ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_.reset(CreateThread(nullptr, 0, run, this, 0, &threadId_));
        WaitForSingleObject(ready_.get(), 10000);
    }
    ~DialogThread() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_.get(), 10000);
    }
    DialogThread(const DialogThread&) = delete;
    DialogThread& operator=(const DialogThread&) = delete;

private:
    static DWORD WINAPI run(LPVOID self) {
        DialogThread& t = *static_cast<DialogThread*>(self);
        t.ui_.createDialog(GetModuleHandleA(nullptr), t.templateId_, nullptr);
        SetEvent(t.ready_.get());
        t.ui_.runMessageLoop();
        t.ui_.destroyDialog();
        return 0;
    }

    DialogProgressUi& ui_;
    int templateId_;
    KernelHandle ready_;
    KernelHandle thread_;
    DWORD threadId_ = 0;
};

std::string itemText(HWND dialog, int id) {
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

int barPosition(HWND dialog) { return static_cast<int>(SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_GETPOS, 0, 0)); }

// The bar's position once the dialog's thread has taken the posted updates:
// the position, as soon as it equals `expected`, else the last one seen.
int settledBar(HWND dialog, int expected) {
    int position = barPosition(dialog);
    for (int i = 0; i < 250 && position != expected; ++i) {
        Sleep(20);
        position = barPosition(dialog);
    }
    return position;
}

class DialogProgressUiTest : public RunTest {
protected:
    DialogProgressUiTest() : thread_(ui_, IDD_PROGRESS_LARGE) {}
    void SetUp() override {
        ASSERT_NE(ui_.dialog(), nullptr);
        installProgressUi(&ui_);
    }
    void TearDown() override { installProgressUi(nullptr); }
    HWND dialog() const { return ui_.dialog(); }

    DialogProgressUi ui_;
    DialogThread thread_;
};

TEST_F(DialogProgressUiTest, OpensHiddenWithTheExplanation) {
    EXPECT_FALSE(IsWindowVisible(dialog()));
    EXPECT_EQ(itemText(dialog(), IDC_EXPLANATION),
              "Norvane\xAE is preparing the Norvane Wizard, which\nwill guide you through the rest of the "
              "process.\nPlease wait...");
}

TEST_F(DialogProgressUiTest, BarIsSetAndStepsCycle) {
    setProgress(100);
    EXPECT_EQ(settledBar(dialog(), 100), 100);
    setProgress(0);
    for (int i = 0; i < 4; ++i) stepProgress(30);
    EXPECT_EQ(settledBar(dialog(), 20), 20);
}

TEST_F(DialogProgressUiTest, StatusLineJoinsPrimaryAndDetail) {
    setStatus(Status::searching);
    EXPECT_EQ(itemText(dialog(), IDC_STATUS), "Searching for Java(tm) Virtual Machine...");
    setStatusDetail(StatusDetail::verifying, "C:\\jdk");
    EXPECT_EQ(itemText(dialog(), IDC_STATUS), "Searching for Java(tm) Virtual Machine... Verifying C:\\jdk");
    setStatusDetail(StatusDetail::none, "");
    EXPECT_EQ(itemText(dialog(), IDC_STATUS), "Searching for Java(tm) Virtual Machine... Verifying C:\\jdk");
    setStatus(Status::searching);
    EXPECT_EQ(itemText(dialog(), IDC_STATUS), "Searching for Java(tm) Virtual Machine...");
    setStatus(Status::none);
    EXPECT_EQ(itemText(dialog(), IDC_STATUS), "");
}

TEST_F(DialogProgressUiTest, TitleIsTheInsertOfTheStatus) {
    setTitle("Demo Setup");
    EXPECT_EQ(getTitle().str(), "Demo Setup");
    setStatus(Status::initializing);
    EXPECT_EQ(itemText(dialog(), IDC_STATUS), "Initializing Demo Setup...");
}

TEST_F(DialogProgressUiTest, HideAfterZeroHidesAtOnce) {
    showWindow();
    EXPECT_TRUE(isWindowVisible());
    hideAfter(0);
    EXPECT_FALSE(isWindowVisible());
}

TEST_F(DialogProgressUiTest, HideAfterSecondsTicksThenHides) {
    // Only bounds that a loaded machine cannot break: a timer never fires
    // early, and a late one still fires within the generous limit.
    setProgress(0);
    showWindow();
    const DWORD start = GetTickCount();
    hideAfter(2);
    EXPECT_TRUE(isWindowVisible());
    int furthest = 0;
    while (isWindowVisible() && GetTickCount() - start < 30000) {
        furthest = std::max(furthest, barPosition(dialog()));
        Sleep(20);
    }
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_FALSE(isWindowVisible());
    EXPECT_GE(elapsed, 1900u);
    EXPECT_GT(furthest, 0) << "the bar did not tick while waiting to hide";
    // Hiding stops the ticks too.
    const int position = barPosition(dialog());
    Sleep(400);
    EXPECT_EQ(barPosition(dialog()), position);
}

TEST_F(DialogProgressUiTest, SilentModeShowsNothing) {
    setSilent(true);
    showWindow();
    EXPECT_FALSE(isWindowVisible());
    showMessage("must not block");
    EXPECT_TRUE(chooseDirectory().empty());
    setTitle("Quiet");
    EXPECT_EQ(getTitle().str(), "Quiet");
}

struct FoundBrowser {
    HWND browser = nullptr;
    bool titled = false;
};

BOOL CALLBACK findBrowser(HWND window, LPARAM out) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
    reinterpret_cast<FoundBrowser*>(out)->browser = window;
    return FALSE;
}

BOOL CALLBACK findBrowserTitle(HWND child, LPARAM out) {
    char text[128] = {};
    GetWindowTextA(child, text, sizeof text);
    if (std::string(text) == "Choose the JVM Destination Directory")
        reinterpret_cast<FoundBrowser*>(out)->titled = true;
    return TRUE;
}

// The folder browser opens on the calling thread, as on the worker; the test plays the user.
TEST_F(DialogProgressUiTest, CancelledFolderBrowserGivesEmpty) {
    struct Call {
        DialogProgressUi& ui;
        LauncherString result;
        static DWORD WINAPI run(LPVOID self) {
            Call& call = *static_cast<Call*>(self);
            call.result = call.ui.chooseDirectory();
            return 0;
        }
    } call{ui_, "not called"};
    DWORD threadId = 0;
    const KernelHandle thread(CreateThread(nullptr, 0, Call::run, &call, 0, &threadId));
    FoundBrowser found;
    for (int i = 0; i < 200 && !found.browser; ++i) {
        Sleep(50);
        EnumThreadWindows(threadId, findBrowser, reinterpret_cast<LPARAM>(&found));
    }
    ASSERT_NE(found.browser, nullptr) << "no folder browser";
    EnumChildWindows(found.browser, findBrowserTitle, reinterpret_cast<LPARAM>(&found));
    EXPECT_TRUE(found.titled);
    EXPECT_EQ(GetWindow(found.browser, GW_OWNER), dialog());
    PostMessageA(found.browser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(call.result.empty());
}

TEST_F(DialogProgressUiTest, SmallDialogHidesTheExplanation) {
    DialogProgressUi small;
    DialogThread thread(small, IDD_PROGRESS_SMALL);
    ASSERT_NE(small.dialog(), nullptr);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(small.dialog(), IDC_EXPLANATION), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog(), IDC_EXPLANATION), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(DialogProgressUiTest, CloseAndCancelButtonRequestCancel) {
    struct Case {
        UINT message;
        WPARAM wParam;
        bool cancels;
    };
    const Case cases[] = {{WM_CLOSE, 0, true}, {WM_COMMAND, IDC_CANCEL, true}, {WM_COMMAND, IDOK, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        clearCancelRequest();
        SendMessageA(dialog(), c.message, c.wParam, 0);
        EXPECT_TRUE(IsWindow(dialog())) << "the dialog stays until the worker ends";
        EXPECT_EQ(cancelRequested(), c.cancels);
    }
}

TEST(DialogProgressUiWithoutDialog, BarUpdatesFail) {
    DialogProgressUi ui;
    for (int step = 0; step < 2; ++step) {
        try {
            if (step == 0) ui.stepProgress(1);
            if (step == 1) ui.setProgress(1);
            ADD_FAILURE() << "no exception";
        } catch (const LauncherException& e) {
            EXPECT_EQ(e.message().str(), "The progress bar has not been created yet");
        }
    }
}

}  // namespace
}  // namespace nv
