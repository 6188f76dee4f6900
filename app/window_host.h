#pragma once
// The window's Host: messages and questions through the window's dialogs,
// the save dialog, pending events at most every ~50 ms, and progress in the
// status bar.

#include "filelist/host.h"

#include <QElapsedTimer>

#include <functional>

class QStatusBar;

namespace qv::app {

class Dialogs;

class WindowHost final : public Host {
public:
    // `beforeEvents` runs each time pending events are about to be handled
    // (the window refreshes its counters there). Neither pointer is owned.
    WindowHost(Dialogs& dialogs, QStatusBar* statusBar, std::function<void()> beforeEvents);

    void showMessage(MessageKind kind, std::string_view text) override;
    bool ask(std::string_view question) override;
    std::optional<std::string> chooseSavePath(std::string_view suggestedName) override;
    // Handles pending events when ~50 ms have passed since it last did, so a
    // loop calling it per line or per file pays almost nothing for it.
    void processEvents() override;
    // total 0 (the search): `done` entries found after one more folder.
    void reportProgress(std::int64_t done, std::int64_t total) override;

    // Starts a run: the next processEvents() handles events at once, and
    // folder counting for the search starts from zero.
    void startRun();

private:
    Dialogs& dialogs_;
    QStatusBar* statusBar_;
    std::function<void()> beforeEvents_;
    QElapsedTimer sinceEvents_;
    std::int64_t foldersVisited_ = 0;
};

} // namespace qv::app
