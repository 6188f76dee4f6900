#pragma once
// The window's Host: messages and questions through the window's dialogs,
// the save dialog, pending events at most every ~50 ms, and, during an
// operation run that reports progress, the files done, a progress bar and a
// stop button in the status bar.

#include "operation/host.h"

#include <QElapsedTimer>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace qv::app {

class Dialogs;

class WindowHost final : public Host {
public:
    // `beforeEvents` runs each time pending events are about to be handled
    // (the window refreshes its counters there). Neither pointer is owned;
    // the progress text ("lblRunProgress"), the progress bar ("prgRun") and
    // the stop button ("btnStopRun") are added to `statusBar`, hidden until
    // a run reports its first progress.
    WindowHost(Dialogs& dialogs, QStatusBar* statusBar, std::function<void()> beforeEvents);

    void showMessage(MessageKind kind, std::string_view text) override;
    void showMessageWithDetails(MessageKind kind, std::string_view text, std::string_view details) override;
    void showTitledError(std::string_view title, std::string_view text) override;
    bool ask(std::string_view question) override;
    bool askDefaultNo(std::string_view question) override;
    std::optional<std::string> chooseSavePath(std::string_view suggestedName) override;
    // Handles pending events when ~50 ms have passed since it last did, so a
    // loop calling it per line or per file pays almost nothing for it.
    void processEvents() override;
    // total 0 (the search): `done` entries found after one more folder;
    // otherwise the progress bar and its text show `done` of `total`.
    void reportProgress(std::int64_t done, std::int64_t total) override;
    // The text adds the share of a large file done so far: "2 / 5 (37%)".
    void reportFileProgress(std::uint64_t done, std::uint64_t total) override;
    // True once a stop button was clicked (or requestStop called) during the
    // current run: the search's stop button and the operations' one.
    bool stopRequested() override { return stopRequested_; }

    // Starts a run: the next processEvents() handles events at once, folder
    // counting for the search starts from zero, and, outside an operation,
    // no stop request is pending.
    void startRun();
    // An operation run between the two: the stop request starts cleared and
    // is cleared again at the end, and the progress and the stop button are
    // shown once the run reports progress. Runs started inside a run (from a
    // nested event loop) share the outer run's controls and stop request.
    void beginOperation();
    void endOperation();
    void requestStop() { stopRequested_ = true; }
    // Adds to the search's status line that `folders` (code page 936, as
    // typed) do not exist; nothing when there are none.
    void noteMissingFolders(const std::vector<std::string>& folders);

private:
    // The progress text: files done of the total, plus `percent` of the
    // current file when it is 0 or more.
    void showFilePercent(int percent);
    // Shows the progress and the stop button during an operation run.
    void showRunControls();

    Dialogs& dialogs_;
    QStatusBar* statusBar_;
    std::function<void()> beforeEvents_;
    QElapsedTimer sinceEvents_;
    std::int64_t foldersVisited_ = 0;
    QLabel* progressText_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* stop_ = nullptr;
    std::int64_t done_ = 0;  // files done, as the text shows them
    std::int64_t total_ = 0; // 0 until the run's first report
    int filePercent_ = -1;   // what the text shows of the current file; -1 for nothing
    int operationDepth_ = 0;
    bool stopRequested_ = false;
};

} // namespace qv::app
