#pragma once
// The progress window: a modeless dialog owned by the user-interface thread.
// Its operations may be called from any thread; they act on the dialog
// through window messages, so the user-interface thread must keep pumping.
#include <windows.h>

#include "foundation/ProgressUi.h"

namespace nv {

class WorkerThread;

class DialogProgressUi : public ProgressUi {
public:
    DialogProgressUi() = default;
    ~DialogProgressUi() override;
    DialogProgressUi(const DialogProgressUi&) = delete;
    DialogProgressUi& operator=(const DialogProgressUi&) = delete;

    // Creates the dialog from the template, owned by owner (may be null),
    // hidden. Call on the thread that will pump its messages. False when the
    // dialog cannot be created.
    bool createDialog(HINSTANCE instance, int templateId, HWND owner);
    // Destroys the dialog if it still exists. Call on the dialog's thread.
    void destroyDialog();
    // The dialog, or null before createDialog and after destroyDialog.
    HWND dialog() const { return dialog_; }
    // Stops the hide timer and the tick timer.
    void stopTimers();

    // Pumps the calling thread's messages until WM_QUIT and returns its code
    // (-1 when the system fails to deliver a message). While a watched worker
    // runs, its end is noticed too: one that ends without finishing its job
    // died on a fault, and the process ends after reporting it.
    int runMessageLoop() override;
    void watchWorker(const WorkerThread* worker) { worker_ = worker; }
    void setStatusText(const LauncherString& text) override;
    void setStatusTexts(const LauncherString& one, const LauncherString& two) override;
    void stepProgress(unsigned n) override;
    void setProgress(int n) override;
    void show() override;
    void hideAfter(std::uint16_t seconds) override;
    bool isVisible() override;
    void showMessage(const LauncherString& text) override;
    LauncherString getTitle() override;
    void setTitle(const LauncherString& text) override;
    LauncherString chooseDirectory() override;

private:
    // The progress bar; throws LauncherException (IDS_NO_PROGRESS_BAR) when absent.
    HWND progressBar() const;

    HWND dialog_ = nullptr;
    const WorkerThread* worker_ = nullptr;
};

}  // namespace nv
