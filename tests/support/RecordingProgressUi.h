#pragma once
// The progress window for tests: installed as the process's ProgressUi while
// it lives, it records what the process-wide operations do to it. The rest
// of the run state is RunTest's to reset.

#include <functional>
#include <string>
#include <vector>

#include "foundation/ProgressUi.h"

namespace nv {

class RecordingProgressUi : public ProgressUi {
public:
    RecordingProgressUi() { installProgressUi(this); }
    ~RecordingProgressUi() override { installProgressUi(nullptr); }
    RecordingProgressUi(const RecordingProgressUi&) = delete;
    RecordingProgressUi& operator=(const RecordingProgressUi&) = delete;

    // "status T", "show", "hide N", "title T" in the order they happened.
    std::vector<std::string> events;
    // The texts of the message boxes.
    std::vector<std::string> messages;
    // Each step's size.
    std::vector<unsigned> steps;
    int progress = -1;
    std::string title;
    // Called after each recorded step (to cancel part-way, for instance).
    std::function<void()> onStep;

    int runMessageLoop() override { return 0; }
    void setStatusText(const LauncherString& text) override { events.push_back("status " + text.str()); }
    void setStatusTexts(const LauncherString& one, const LauncherString& two) override {
        events.push_back("status " + one.str() + " | " + two.str());
    }
    void stepProgress(unsigned n) override {
        steps.push_back(n);
        if (onStep) onStep();
    }
    void setProgress(int n) override { progress = n; }
    void show() override { events.push_back("show"); }
    void hideAfter(std::uint16_t seconds) override { events.push_back("hide " + std::to_string(seconds)); }
    bool isVisible() override { return false; }
    void showMessage(const LauncherString& text) override { messages.push_back(text.str()); }
    LauncherString getTitle() override { return LauncherString(title); }
    void setTitle(const LauncherString& text) override {
        title = text.str();
        events.push_back("title " + title);
    }
    LauncherString chooseDirectory() override { return LauncherString(); }
};

}  // namespace nv
