#pragma once
// The progress window as the rest of the launcher sees it: the ProgressUi
// interface that the dialog implements, and the process-wide operations that
// every other part calls (they respect silent mode).

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

class ProgressUi {
public:
    virtual ~ProgressUi() = default;
    // Pumps messages until the quit message; returns its code.
    virtual int runMessageLoop() = 0;
    virtual void setStatusText(const LauncherString& text) = 0;
    // Shows "%1!s! %2!s!" of the two texts.
    virtual void setStatusTexts(const LauncherString& one, const LauncherString& two) = 0;
    // Bar := (position + n) modulo 100. Throws LauncherException (IDS_NO_PROGRESS_BAR) without a bar.
    virtual void stepProgress(unsigned n) = 0;
    // Bar := n. Throws LauncherException (IDS_NO_PROGRESS_BAR) without a bar.
    virtual void setProgress(int n) = 0;
    virtual void show() = 0;
    // 0 hides at once; otherwise hides after the seconds while the bar ticks.
    virtual void hideAfter(std::uint16_t seconds) = 0;
    virtual bool isVisible() = 0;
    // A modal OK box owned by the dialog, with the dialog's title as caption.
    virtual void showMessage(const LauncherString& text) = 0;
    virtual LauncherString getTitle() = 0;
    virtual void setTitle(const LauncherString& text) = 0;
    // The chosen directory, or empty when the user cancels.
    virtual LauncherString chooseDirectory() = 0;
};

// The ProgressUi that the process-wide operations drive; null means there is
// no window (the operations then do nothing but keep their state). The
// operations do nothing visible while silent is on.
void installProgressUi(ProgressUi* ui);

// -nv:silent, -silent: no window, no message box.
void setSilent(bool on);
bool isSilent();

// A run's start: not silent, no status, no cancel request; the window stays.
void startProgressAfresh();

// The status line's primary text, its title inserted; none empties the line.
enum class Status {
    none = -1,
    initializing = 0,  // IDS_STATUS_INITIALIZING
    searching = 1,     // IDS_STATUS_SEARCHING
    notFound = 2,      // IDS_STATUS_NOT_FOUND
    running = 3,       // IDS_STATUS_RUNNING
    preparing = 4,     // IDS_STATUS_PREPARING
};

// The status line's secondary text, shown after the primary one.
enum class StatusDetail {
    none = 0,
    searching = 1,  // IDS_DETAIL_SEARCHING with the JVM's description; nothing without one
    scanning = 2,   // IDS_DETAIL_SCANNING
    verifying = 3,  // IDS_DETAIL_VERIFYING with the JVM's description; nothing without one
};

void setStatus(Status status);
// Adds the secondary text, or clears it (none, or a detail that lacks its text).
void setStatusDetail(StatusDetail detail, const LauncherString& text);

// Restores the secondary status that was in force when it was created.
class StatusDetailScope {
public:
    StatusDetailScope();
    ~StatusDetailScope();
    StatusDetailScope(const StatusDetailScope&) = delete;
    StatusDetailScope& operator=(const StatusDetailScope&) = delete;

private:
    StatusDetail detail_;
    LauncherString text_;
};

void stepProgress(unsigned n);
void setProgress(int n);
void showWindow();
void hideAfter(std::uint16_t seconds);
bool isWindowVisible();
void showMessage(const LauncherString& text);
LauncherString chooseDirectory();
void setTitle(const LauncherString& text);
LauncherString getTitle();

// The cancel request: set by the user-interface thread, read by long work,
// cleared by the run driver when a run starts.
void requestCancel();
void clearCancelRequest();
bool cancelRequested();

}  // namespace nv
