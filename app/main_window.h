#pragma once
// The main window: the search group, the list-command row and the grid
// above a splitter; below it the status counters, the operation selector,
// the catalogue and the operation pages. It owns the workspace and binds
// each control to the core: a handler reads its controls, calls the core
// with the window's Host, and shows the result. Every control's objectName
// is its name in the program's vocabulary (cbSearch, sgFiles, cmbOpt, ...).

#include "app/dialogs.h"
#include "app/pages/run_operation.h"
#include "app/window_host.h"
#include "operation/workspace.h"
#include "platform/journal_store.h"
#include "platform/posix_file_system.h"
#include "undo/undo_run.h"
#include "window/mouse_release.h"
#include "window/search.h"
#include "window/tips.h"

#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;

namespace qv::app {

class BoxHistory;
class FileListModel;
class PreviewColumn;

// The window's place on a screen whose free area is `available`: the
// `preferred` size, shrunk to fit, centred in it.
QRect centredWithin(QSize preferred, const QRect& available);

class MainWindow final : public QMainWindow, public PageRunner {
    Q_OBJECT
public:
    // `dialogs` answers every message box and file dialog; the real Qt
    // dialogs when none is given.
    explicit MainWindow(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    Workspace& workspace() { return ws_; }
    // The Host the window's handlers give to the core.
    Host& host();

    // PageRunner: how the operation pages run their operations.
    std::optional<OperationResult> runOperation(QPushButton* start, const Operation& operation) override;
    std::size_t currentGridRow() const override;
    const Workspace& previewWorkspace() const override { return ws_; }
    const FileSystem& previewFileSystem() const override { return fs_; }
    std::function<void()> offerPreview(QWidget* page, PreviewSource source, QLabel* summary) override;

    // Paths from outside (the command line, a later start, a drop on the
    // grid): files are added to the list as the add command adds them,
    // folders replace the search folder box's text, joined with ";".
    // Nothing is searched.
    void openPaths(const QStringList& paths);

    // Offers, once per run, to take back a run of the journal that was
    // interrupted (the program was killed or the machine lost power).
    void offerInterruptedRun();

protected:
    // Closing while a run is going on stops it; the window closes when the
    // run has ended.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildSearchGroup();
    QWidget* buildListCommandRow();
    QTableView* buildGrid();
    QWidget* buildStatusColumn();
    QWidget* buildPages();
    void applyStartupDefaults();

    void cmbOptChange(int index);
    void switchPage(int first, int second);
    void showPreviewOf(QWidget* page);
    void cbSearchClick();
    void btnStopSearchClick();
    void btnOpenClick();
    void btnAddClick();
    // The undo buttons: "撤销" (and Ctrl+Z) takes back the newest run after
    // a question; "操作记录" lists the runs and takes back the chosen one.
    void connectUndo(QPushButton* undo, QPushButton* history);
    void undoNewest();
    void undoFromHistory();
    void takeBackAsked(const TakeBack& back, const QString& question);
    // A run's name in the journal: the selector text of the page whose start
    // button is `start`; and the page's parameters: its boxes and switches.
    static std::string journalNameOf(const QPushButton* start);
    static std::vector<RunParameter> pageParameters(const QWidget* page);
    void addFiles(const std::vector<std::string>& paths);
    void attachHistories();
    // Tab goes through a page's boxes before its start button.
    void putStartButtonsLastInTabOrder();
    void rememberTemplateBoxes(const QPushButton* start);
    void cmbVarChange(int index);
    void gridMouseReleased(std::optional<GridCell> underPointer);

    // Runs a handler with `button` disabled. A run error that escapes it is
    // shown with its text (the general error report); running out of memory
    // or any other exception with a sentence in the program's words. The
    // button is enabled again and the counters refreshed either way.
    void runGuarded(QWidget* button, const std::function<void()>& handler);
    void refreshCounters();
    void readSearchCriteria();

    std::unique_ptr<Dialogs> dialogs_;
    Workspace ws_;
    // The rotating tips under the operation pages.
    TipRotation tips_;
    PosixFileSystem fs_;
    std::optional<PosixJournalStore> journal_; // none when no data folder is known
    std::unique_ptr<WindowHost> host_;
    FileListModel* model_ = nullptr;
    BoxHistory* history_ = nullptr;
    QSplitter* splitter_ = nullptr;
    PreviewColumn* preview_ = nullptr;
    // The pages that offer a preview: what they plan and their summary line.
    std::unordered_map<QWidget*, std::pair<PreviewSource, QLabel*>> previews_;
    // The running search reads its switches from here, so toggling them
    // while it runs changes the rest of the run.
    SearchCriteria criteria_;
    std::optional<QPoint> currentBeforeReset_; // column, row
    int runDepth_ = 0;
    bool closeRequested_ = false;

    QLineEdit* edFolder_ = nullptr;
    QComboBox* cmbFileType_ = nullptr;
    QCheckBox* ckFileSize_ = nullptr;
    QLineEdit* edMin_ = nullptr;
    QLineEdit* edMax_ = nullptr;
    QCheckBox* ckFileDate_ = nullptr;
    QComboBox* cbDateType_ = nullptr;
    QDateEdit* dtMin_ = nullptr;
    QDateEdit* dtMax_ = nullptr;
    QCheckBox* ckSub_ = nullptr;
    QPushButton* cbSearch_ = nullptr;
    QPushButton* btnStopSearch_ = nullptr;
    QTableView* sgFiles_ = nullptr;
    QLabel* stSrcCount_ = nullptr;
    QLabel* stChangeCount_ = nullptr;
    QLabel* stDeleteCount_ = nullptr;
    QComboBox* cmbOpt_ = nullptr;
    QComboBox* cmbVar_ = nullptr;
    QTabWidget* pgcOne_ = nullptr;
};

} // namespace qv::app
