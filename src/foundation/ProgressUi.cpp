#include "foundation/ProgressUi.h"

#include <atomic>

#include "foundation/Messages.h"
#include "foundation/RunSettings.h"
#include "resources/StringIds.h"

namespace nv {

namespace {

// Process-wide user-interface state. Everything but the cancel request is
// touched by the worker thread only.
struct UiState {
    ProgressUi* ui = nullptr;
    int primaryResource = -1;
    int secondaryResource = -1;
    int secondaryKind = 0;
    LauncherString secondaryText;
};

UiState& state() {
    static UiState s;
    return s;
}

// The one datum the user-interface thread and the worker share without a lock.
std::atomic<bool> cancelFlag{false};

bool silent() { return runSettings().silent; }

const int statusResources[] = {IDS_STATUS_INITIALIZING, IDS_STATUS_SEARCHING, IDS_STATUS_NOT_FOUND,
                               IDS_STATUS_RUNNING, IDS_STATUS_PREPARING};

LauncherString primaryText() {
    UiState& s = state();
    if (s.primaryResource < 0) return LauncherString();
    LauncherString title = s.ui ? s.ui->getTitle() : LauncherString();
    return formatResource(static_cast<unsigned>(s.primaryResource), title);
}

// Shows primary and secondary together, or only the primary when there is no
// secondary status and showPrimaryAlone is set.
void refresh(bool showPrimaryAlone) {
    UiState& s = state();
    if (!s.ui) return;
    if (s.secondaryResource < 0) {
        if (showPrimaryAlone) s.ui->setStatusText(primaryText());
        return;
    }
    LauncherString detail = formatResource(static_cast<unsigned>(s.secondaryResource), s.secondaryText);
    s.ui->setStatusTexts(primaryText(), detail);
}

}  // namespace

void installProgressUi(ProgressUi* ui) { state().ui = ui; }

void setStatus(int code) {
    UiState& s = state();
    if (silent()) return;
    if (code < 0 || code > 4) {
        s.primaryResource = -1;
        if (s.ui) s.ui->setStatusText(LauncherString());
        return;
    }
    s.primaryResource = statusResources[code];
    refresh(true);
}

void setStatusDetail(int kind, const LauncherString& text) {
    UiState& s = state();
    if (silent()) return;
    if (((kind == 1 || kind == 3) && !text.empty()) || kind == 2) {
        s.secondaryKind = kind;
        s.secondaryText = text;
        s.secondaryResource = kind == 1 ? IDS_DETAIL_SEARCHING : kind == 2 ? IDS_DETAIL_SCANNING : IDS_DETAIL_VERIFYING;
    } else {
        s.secondaryKind = 0;
        s.secondaryText = LauncherString();
        s.secondaryResource = -1;
    }
    refresh(false);
}

StatusDetailScope::StatusDetailScope() : kind_(state().secondaryKind), text_(state().secondaryText) {}
StatusDetailScope::~StatusDetailScope() {
    try {
        setStatusDetail(kind_, text_);
    } catch (...) {
        // A destructor must not throw; the status line is cosmetic.
    }
}

void stepProgress(unsigned n) {
    if (!silent() && state().ui) state().ui->stepProgress(n);
}
void setProgress(int n) {
    if (!silent() && state().ui) state().ui->setProgress(n);
}
void showWindow() {
    if (!state().ui) return;
    if (silent()) {
        state().ui->hideAfter(0);
    } else {
        state().ui->show();
    }
}
void hideAfter(std::uint16_t seconds) {
    if (state().ui) state().ui->hideAfter(seconds);
}
bool isWindowVisible() { return state().ui && state().ui->isVisible(); }
void showMessage(const LauncherString& text) {
    if (!silent() && state().ui) state().ui->showMessage(text);
}
LauncherString chooseDirectory() {
    if (silent() || !state().ui) return LauncherString();
    return state().ui->chooseDirectory();
}
void setTitle(const LauncherString& text) {
    if (state().ui) state().ui->setTitle(text);
}
LauncherString getTitle() { return state().ui ? state().ui->getTitle() : LauncherString(); }

void requestCancel() { cancelFlag = true; }
void clearCancelRequest() { cancelFlag = false; }
bool cancelRequested() { return cancelFlag; }

}  // namespace nv
