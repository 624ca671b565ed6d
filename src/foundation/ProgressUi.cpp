#include "foundation/ProgressUi.h"

#include "foundation/Messages.h"
#include <atomic>

#include "resources/StringIds.h"

namespace nv {

namespace {

// The progress window's status line: string ids, -1 for none.
struct StatusLine {
    int primaryResource = -1;
    int secondaryResource = -1;
    StatusDetail secondaryDetail = StatusDetail::none;
    LauncherString secondaryText;
};

// The window of the process and what the operations keep for it.
struct WindowState {
    ProgressUi* ui = nullptr;  // null: none
    bool silent = false;
    StatusLine status;
    // Set by the user-interface thread and read by long work without a lock.
    std::atomic<bool> cancelRequested{false};
};

WindowState& window() {
    static WindowState state;
    return state;
}

bool silent() { return window().silent; }
ProgressUi* ui() { return window().ui; }

const int statusResources[] = {IDS_STATUS_INITIALIZING, IDS_STATUS_SEARCHING, IDS_STATUS_NOT_FOUND, IDS_STATUS_RUNNING,
                               IDS_STATUS_PREPARING};

LauncherString primaryText() {
    const StatusLine& s = window().status;
    if (s.primaryResource < 0) return LauncherString();
    LauncherString title = ui() ? ui()->getTitle() : LauncherString();
    return formatResource(static_cast<unsigned>(s.primaryResource), title);
}

// Shows primary and secondary together, or only the primary when there is no
// secondary status and showPrimaryAlone is set.
void refresh(bool showPrimaryAlone) {
    const StatusLine& s = window().status;
    if (!ui()) return;
    if (s.secondaryResource < 0) {
        if (showPrimaryAlone) ui()->setStatusText(primaryText());
        return;
    }
    LauncherString detail = formatResource(static_cast<unsigned>(s.secondaryResource), s.secondaryText);
    ui()->setStatusTexts(primaryText(), detail);
}

// The detail's string id; -1 when it shows nothing.
int detailResource(StatusDetail detail, const LauncherString& text) {
    switch (detail) {
    case StatusDetail::searching:
        if (!text.empty()) return IDS_DETAIL_SEARCHING;
        break;
    case StatusDetail::scanning:
        return IDS_DETAIL_SCANNING;
    case StatusDetail::verifying:
        if (!text.empty()) return IDS_DETAIL_VERIFYING;
        break;
    case StatusDetail::none:
        break;
    }
    return -1;
}

}  // namespace

void installProgressUi(ProgressUi* ui) { window().ui = ui; }

void setSilent(bool on) { window().silent = on; }
bool isSilent() { return window().silent; }

void startProgressAfresh() {
    WindowState& state = window();
    state.silent = false;
    state.status = StatusLine();
    state.cancelRequested = false;
}

void setStatus(Status status) {
    StatusLine& s = window().status;
    if (silent()) return;
    const int index = static_cast<int>(status);
    if (index < 0 || index >= static_cast<int>(sizeof statusResources / sizeof statusResources[0])) {
        s.primaryResource = -1;
        if (ui()) ui()->setStatusText(LauncherString());
        return;
    }
    s.primaryResource = statusResources[index];
    refresh(true);
}

void setStatusDetail(StatusDetail detail, const LauncherString& text) {
    StatusLine& s = window().status;
    if (silent()) return;
    s.secondaryResource = detailResource(detail, text);
    if (s.secondaryResource >= 0) {
        s.secondaryDetail = detail;
        s.secondaryText = text;
    } else {
        s.secondaryDetail = StatusDetail::none;
        s.secondaryText = LauncherString();
    }
    refresh(false);
}

StatusDetailScope::StatusDetailScope()
    : detail_(window().status.secondaryDetail), text_(window().status.secondaryText) {}
StatusDetailScope::~StatusDetailScope() {
    try {
        setStatusDetail(detail_, text_);
    } catch (...) {
        // A destructor must not throw; the status line is cosmetic.
    }
}

void stepProgress(unsigned n) {
    if (!silent() && ui()) ui()->stepProgress(n);
}
void setProgress(int n) {
    if (!silent() && ui()) ui()->setProgress(n);
}
void showWindow() {
    if (!ui()) return;
    if (silent()) {
        ui()->hideAfter(0);
    } else {
        ui()->show();
    }
}
void hideAfter(std::uint16_t seconds) {
    if (ui()) ui()->hideAfter(seconds);
}
bool isWindowVisible() { return ui() && ui()->isVisible(); }
void showMessage(const LauncherString& text) {
    if (!silent() && ui()) ui()->showMessage(text);
}
LauncherString chooseDirectory() {
    if (silent() || !ui()) return LauncherString();
    return ui()->chooseDirectory();
}
void setTitle(const LauncherString& text) {
    if (ui()) ui()->setTitle(text);
}
LauncherString getTitle() { return ui() ? ui()->getTitle() : LauncherString(); }

void requestCancel() { window().cancelRequested = true; }
void clearCancelRequest() { window().cancelRequested = false; }
bool cancelRequested() { return window().cancelRequested; }

}  // namespace nv
