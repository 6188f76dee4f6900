#include "app/main_window.h"

#include "app/dialogs.h"
#include "app/drop_handler.h"
#include "app/file_list_model.h"
#include "app/gbk_text.h"
#include "app/grid_menu.h"
#include "app/help_links.h"
#include "app/history.h"
#include "app/name_cell_delegate.h"
#include "app/opened_paths.h"
#include "app/pages/operation_pages.h"
#include "app/pages/page_kit.h"
#include "app/preview_column.h"
#include "app/tips_strip.h"
#include "app/window_host.h"
#include "template/catalogue.h"
#include "text/bytes.h"
#include "text/run_error.h"
#include "window/list_commands.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <new>

namespace qv::app {
namespace {

// The list grows past the 511,999 entries the grid was once limited to;
// the status bar says so.
constexpr std::size_t formerCapacity = 511999;

QLabel* counterLabel(const char* name, const char* colour)
{
    auto* label = named(new QLabel(QStringLiteral("0")), name);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
    return label;
}

QToolButton* speedButton(const char* name, const QString& text, const QString& hint)
{
    auto* button = named(new QToolButton, name);
    button->setText(text);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    return button;
}

CalendarDate calendarDateOf(const QDate& date)
{
    return CalendarDate{date.year(), date.month(), date.day()};
}

} // namespace

QRect centredWithin(QSize preferred, const QRect& available)
{
    const QSize size = preferred.boundedTo(available.size());
    const QSize margin = (available.size() - size) / 2;
    return QRect(available.topLeft() + QPoint(margin.width(), margin.height()), size);
}

MainWindow::MainWindow(std::unique_ptr<Dialogs> dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(windowCaption());
    if (const std::optional<std::string> journal = defaultJournalPath()) journal_.emplace(*journal);
    host_ = std::make_unique<WindowHost>(*dialogs_, statusBar(), [this] {
        model_->flushPendingRows();
        refreshCounters();
    });

    auto* upper = named(new QWidget, "Panel1");
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(4, 4, 4, 0);
    upperLayout->addWidget(buildSearchGroup());
    upperLayout->addWidget(buildListCommandRow());
    upperLayout->addWidget(buildGrid(), 1);

    auto* lower = named(new QWidget, "pnl1");
    auto* lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(4, 0, 4, 0);
    lowerLayout->addWidget(buildStatusColumn());
    lowerLayout->addWidget(buildPages(), 1);

    splitter_ = named(new QSplitter(Qt::Vertical), "Splitter1");
    splitter_->addWidget(upper);
    splitter_->addWidget(lower);
    splitter_->setStretchFactor(0, 1);
    splitter_->setSizes({350, 250});
    // On a screen smaller than the controls need (a high scale factor), the
    // window still fits and its content scrolls.
    auto* scroller = new QScrollArea;
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(splitter_);
    setCentralWidget(scroller);
    setWindowIcon(QIcon(QStringLiteral(":/qorvane.svg")));

    // Hints are also read out by screen readers.
    for (QWidget* widget : findChildren<QWidget*>())
        if (!widget->toolTip().isEmpty() && widget->accessibleDescription().isEmpty())
            widget->setAccessibleDescription(widget->toolTip());

    const QScreen* screen = QGuiApplication::primaryScreen();
    setGeometry(screen ? centredWithin(QSize(800, 600), screen->availableGeometry()) : QRect(0, 0, 800, 600));
    applyStartupDefaults();
    attachHistories();
    putStartButtonsLastInTabOrder();
}

MainWindow::~MainWindow()
{
    history_->saveLayout(this, splitter_);
}

Host& MainWindow::host()
{
    return *host_;
}

std::optional<OperationResult> MainWindow::runOperation(QPushButton* start, const Operation& operation)
{
    std::optional<OperationResult> result;
    preview_->pause();
    host_->beginOperation();
    std::optional<JournaledRun> journaled;
    FileSystem* fs = &fs_;
    if (journal_) {
        journaled.emplace(*journal_, journalNameOf(start), pageParameters(start->parentWidget()));
        fs = &journaled->fileSystem(fs_);
    }
    runGuarded(start, [&] { result = operation(ws_, *host_, *fs); });
    journaled.reset(); // the run's end goes into the journal before anything else happens
    host_->endOperation();
    // No result: a run error ended a run that had passed its checks.
    if (!result || result->ran()) rememberTemplateBoxes(start);
    preview_->resume();
    return result;
}

std::function<void()> MainWindow::offerPreview(QWidget* page, PreviewSource source, QLabel* summary)
{
    previews_[page] = {std::move(source), summary};
    return [this, page] {
        if (pgcOne_ && pgcOne_->currentWidget() == page) preview_->parametersChanged();
    };
}

void MainWindow::showPreviewOf(QWidget* page)
{
    const auto found = previews_.find(page);
    if (found == previews_.end())
        preview_->show({}, nullptr);
    else
        preview_->show(found->second.first, found->second.second);
}

std::size_t MainWindow::currentGridRow() const
{
    const QModelIndex current = sgFiles_->currentIndex();
    return current.isValid() ? static_cast<std::size_t>(current.row()) + 1 : 1;
}

QGroupBox* MainWindow::buildSearchGroup()
{
    auto* group = named(new QGroupBox(QStringLiteral("搜索文件")), "GroupBox7");
    auto* grid = new QGridLayout(group);

    edFolder_ = named(new QLineEdit, "edFolder");
    edFolder_->setToolTip(QStringLiteral("可用分号(;)隔开多个目录"));
    auto* btnOpen = named(new QToolButton, "btnOpen");
    btnOpen->setText(QStringLiteral("..."));
    btnOpen->setAccessibleName(QStringLiteral("请选择搜索目录"));
    btnOpen->setToolTip(QStringLiteral("请选择搜索目录"));
    cmbFileType_ = named(new QComboBox, "cmbFileType");
    cmbFileType_->setEditable(true);
    cmbFileType_->setToolTip(QStringLiteral("可用分号(;)隔开多个文件类型"));
    cmbFileType_->addItems({"*.txt", "*.ini", "*.dat", "*.xls", "*.csv", "*.vcf", "*.htm", "*.asp", "*.jsp", "*.php"});
    addCaptioned(grid, QStringLiteral("文件目录："), edFolder_, 0, 0, 4);
    grid->addWidget(btnOpen, 0, 5);
    addCaptioned(grid, QStringLiteral("文件类型："), cmbFileType_, 0, 6, 3);

    ckFileSize_ = named(new QCheckBox(QStringLiteral("文件大小(字节)")), "ckFileSize");
    edMin_ = named(new QLineEdit(QStringLiteral("0")), "edMin");
    edMax_ = named(new QLineEdit(QStringLiteral("50000")), "edMax");
    grid->addWidget(ckFileSize_, 1, 0);
    addCaptioned(grid, QStringLiteral("从"), edMin_, 1, 1);
    addCaptioned(grid, QStringLiteral("到"), edMax_, 1, 3);

    ckFileDate_ = named(new QCheckBox(QStringLiteral("文件日期：")), "ckFileDate");
    cbDateType_ = named(new QComboBox, "cbDateType");
    cbDateType_->addItems({QStringLiteral("修改时间"), QStringLiteral("创建时间"), QStringLiteral("最后访问时间")});
    cbDateType_->setAccessibleName(QStringLiteral("文件日期："));
    dtMin_ = named(new QDateEdit, "dtMin");
    dtMax_ = named(new QDateEdit, "dtMax");
    for (QDateEdit* picker : {dtMin_, dtMax_}) {
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    grid->addWidget(ckFileDate_, 1, 5);
    grid->addWidget(cbDateType_, 1, 6);
    addCaptioned(grid, QStringLiteral("从"), dtMin_, 1, 7);
    addCaptioned(grid, QStringLiteral("到"), dtMax_, 2, 7);

    ckSub_ = named(new QCheckBox(QStringLiteral("搜索时包含子目录")), "ckSub");
    ckSub_->setChecked(true);
    cbSearch_ = named(new QPushButton(QStringLiteral("搜索")), "cbSearch");
    btnStopSearch_ = named(new QPushButton(QStringLiteral("停止")), "btnStopSearch");
    btnStopSearch_->setEnabled(false);
    grid->addWidget(ckSub_, 2, 0, 1, 3);
    grid->addWidget(cbSearch_, 2, 4);
    grid->addWidget(btnStopSearch_, 2, 5);

    for (QWidget* w : std::initializer_list<QWidget*>{edMin_, edMax_, cbDateType_, dtMin_, dtMax_})
        w->setEnabled(false);
    connect(ckFileSize_, &QCheckBox::toggled, this, [this](bool on) {
        edMin_->setEnabled(on);
        edMax_->setEnabled(on);
        criteria_.sizeFilter = on;
    });
    connect(ckFileDate_, &QCheckBox::toggled, this, [this](bool on) {
        cbDateType_->setEnabled(on);
        dtMin_->setEnabled(on);
        dtMax_->setEnabled(on);
        criteria_.dateFilter = on;
    });
    connect(ckSub_, &QCheckBox::toggled, this, [this](bool on) { criteria_.subfolders = on; });
    connect(cbSearch_, &QPushButton::clicked, this, &MainWindow::cbSearchClick);
    connect(btnStopSearch_, &QPushButton::clicked, this, &MainWindow::btnStopSearchClick);
    connect(btnOpen, &QToolButton::clicked, this, &MainWindow::btnOpenClick);
    return group;
}

QWidget* MainWindow::buildListCommandRow()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* btnSelAll = speedButton("btnSelAll", QStringLiteral("全选"), QStringLiteral("选择所有文件"));
    auto* btnDeSelAll = speedButton("btnDeSelAll", QStringLiteral("全不选"), QStringLiteral("全部取消选择"));
    auto* btnInverse = speedButton("btnInverse", QStringLiteral("反选"), QStringLiteral("反向选择"));
    auto* btnAdd = speedButton("btnAdd", QStringLiteral("添加"), QStringLiteral("添加文件,可以多选."));
    auto* btnDel = speedButton("btnDel", QStringLiteral("移除"), QStringLiteral("删除所选文件,不删除物理文件."));
    auto* btnExp = named(new QPushButton(QStringLiteral("导出文件名")), "btnExp");
    btnExp->setToolTip(QStringLiteral("导出当前选择的文件名称,保存到文本文件中."));
    auto* btnExpDir = named(new QPushButton(QStringLiteral("导出目录名")), "btnExpDir");
    btnExpDir->setToolTip(QStringLiteral("导出当前选择的文件所在目录,保存到文本文件中."));
    auto* cbDel = named(new QPushButton(QStringLiteral("删除")), "cbDel");
    cbDel->setToolTip(QStringLiteral("删除当前选择的磁盘文件,删除后不能恢复."));
    auto* btnUndo = named(new QPushButton(QStringLiteral("撤销")), "btnUndo");
    btnUndo->setToolTip(QStringLiteral("撤销上一次更改文件的操作 (Ctrl+Z)"));
    auto* btnUndoHistory = named(new QPushButton(QStringLiteral("操作记录")), "btnUndoHistory");
    btnUndoHistory->setToolTip(QStringLiteral("列出以往的操作，选择一次撤销"));
    for (QWidget* w : std::initializer_list<QWidget*>{btnSelAll, btnDeSelAll, btnInverse, btnAdd, btnDel, btnExp,
                                                      btnExpDir, cbDel, btnUndo, btnUndoHistory})
        layout->addWidget(w);
    layout->addStretch(1);
    connectUndo(btnUndo, btnUndoHistory);

    connect(btnSelAll, &QToolButton::clicked, this, [this] { runGuarded(nullptr, [this] { btnSelAllClick(ws_); }); });
    connect(btnDeSelAll, &QToolButton::clicked, this,
            [this] { runGuarded(nullptr, [this] { btnDeSelAllClick(ws_); }); });
    connect(btnInverse, &QToolButton::clicked, this, [this] { runGuarded(nullptr, [this] { btnInverseClick(ws_); }); });
    connect(btnDel, &QToolButton::clicked, this, [this] { runGuarded(nullptr, [this] { btnDelClick(ws_); }); });
    connect(btnAdd, &QToolButton::clicked, this, &MainWindow::btnAddClick);
    connect(btnExp, &QPushButton::clicked, this,
            [this, btnExp] { runGuarded(btnExp, [this] { btnExpClick(ws_, *host_, fs_); }); });
    connect(btnExpDir, &QPushButton::clicked, this,
            [this, btnExpDir] { runGuarded(btnExpDir, [this] { btnExpDirClick(ws_, *host_, fs_); }); });
    connect(cbDel, &QPushButton::clicked, this, [this, cbDel] {
        runGuarded(cbDel, [this] {
            host_->startRun();
            qv::cbDelClick(ws_, *host_, fs_);
        });
    });
    return row;
}

QTableView* MainWindow::buildGrid()
{
    sgFiles_ = named(new QTableView, "sgFiles");
    sgFiles_->setToolTip(QStringLiteral("点击列标题可以排序"));
    sgFiles_->setAccessibleName(QStringLiteral("文件列表"));
    model_ = new FileListModel(ws_.files, this);
    preview_ = new PreviewColumn(ws_, fs_, this);
    model_->setPreview(preview_);
    sgFiles_->setModel(model_);
    connect(preview_, &PreviewColumn::shownChanged, this, [this](bool shown) {
        if (shown) sgFiles_->setColumnWidth(FileListModel::PreviewColumnIndex, 220);
    });
    // A preview follows the list: its rows, names and marks.
    const auto listChanged = [this] { preview_->parametersChanged(); };
    connect(model_, &QAbstractItemModel::rowsInserted, preview_, listChanged);
    connect(model_, &QAbstractItemModel::rowsRemoved, preview_, listChanged);
    connect(model_, &QAbstractItemModel::modelReset, preview_, listChanged);
    connect(model_, &QAbstractItemModel::dataChanged, preview_, [this](const QModelIndex& first) {
        if (first.column() < FileListModel::PreviewColumnIndex) preview_->parametersChanged();
    });
    sgFiles_->setItemDelegateForColumn(0, new NameCellDelegate(sgFiles_));
    sgFiles_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgFiles_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgFiles_->setWordWrap(false);
    sgFiles_->verticalHeader()->hide();
    sgFiles_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgFiles_->verticalHeader()->setDefaultSectionSize(22);
    QHeaderView* header = sgFiles_->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    const int widths[] = {150, 199, 86, 121, 120, 57};
    for (int column = 0; column < 6; ++column) sgFiles_->setColumnWidth(column, widths[column]);
    header->setStretchLastSection(true);
    // The current cell is a grid position: it stays where it was (clamped to
    // the rows left) when the list is reset.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex current = sgFiles_->currentIndex();
        currentBeforeReset_ =
            current.isValid() ? std::optional<QPoint>(QPoint(current.column(), current.row())) : std::nullopt;
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (!currentBeforeReset_ || model_->rowCount() == 0) return;
        const QModelIndex cell =
            model_->index(std::min(currentBeforeReset_->y(), model_->rowCount() - 1), currentBeforeReset_->x());
        sgFiles_->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
    });
    sgFiles_->viewport()->installEventFilter(this);
    header->viewport()->installEventFilter(this);
    // Tab leaves the grid for the next control; the arrow keys move the cell.
    sgFiles_->setTabKeyNavigation(false);
    new GridMenu(sgFiles_, ws_, [this](const std::function<void()>& change) { runGuarded(nullptr, change); });
    new DropHandler(sgFiles_->viewport(), [this](const QStringList& paths) { openPaths(paths); });
    return sgFiles_;
}

QWidget* MainWindow::buildStatusColumn()
{
    auto* column = named(new QWidget, "pnl2");
    column->setFixedWidth(208);
    auto* layout = new QGridLayout(column);
    layout->setContentsMargins(0, 4, 0, 4);
    stSrcCount_ = counterLabel("stSrcCount", "blue");
    stChangeCount_ = counterLabel("stChangeCount", "red");
    stDeleteCount_ = counterLabel("stDeleteCount", "red");
    addCaptioned(layout, QStringLiteral("搜索文件数量："), stSrcCount_, 0, 0);
    addCaptioned(layout, QStringLiteral("更改文件数量："), stChangeCount_, 1, 0);
    addCaptioned(layout, QStringLiteral("删除文件数量："), stDeleteCount_, 2, 0);

    cmbOpt_ = named(new QComboBox, "cmbOpt");
    cmbOpt_->setMaxVisibleItems(10);
    for (const OperationPage& page : operationPages()) cmbOpt_->addItem(page.optionText);
    layout->addWidget(captionFor(QStringLiteral("请选择批处理方式："), cmbOpt_), 3, 0, 1, 2);
    layout->addWidget(cmbOpt_, 4, 0, 1, 2);

    cmbVar_ = named(new QComboBox, "cmbVar");
    cmbVar_->setToolTip(QStringLiteral("变量或函数的使用说明"));
    cmbVar_->setAccessibleDescription(QStringLiteral("变量或函数的使用说明"));
    for (const CatalogueEntry& entry : catalogueEntries()) cmbVar_->addItem(fromGbk(entry.text));
    layout->addWidget(captionFor(QStringLiteral("请选择变量或函数："), cmbVar_), 5, 0, 1, 2);
    layout->addWidget(cmbVar_, 6, 0, 1, 2);

    layout->addWidget(named(new QLabel(QStringLiteral("版本：V3.1.730")), "Label10"), 7, 0, 1, 2);
    auto* maker = named(new QLabel(QStringLiteral("Qorvane")), "Label11");
    maker->setStyleSheet(QStringLiteral("color: blue;"));
    maker->setCursor(Qt::PointingHandCursor);
    auto* help = speedButton("SpeedButton1", QStringLiteral("?"), QStringLiteral("查看使用说明"));
    layout->addWidget(maker, 8, 0);
    layout->addWidget(help, 8, 1, Qt::AlignRight);
    new HelpLinks(help, maker, this);
    layout->setRowStretch(9, 1);

    connect(cmbOpt_, &QComboBox::currentIndexChanged, this, &MainWindow::cmbOptChange);
    connect(cmbVar_, &QComboBox::activated, this, &MainWindow::cmbVarChange);
    return column;
}

QWidget* MainWindow::buildPages()
{
    auto* right = named(new QWidget, "Panel2");
    auto* layout = new QVBoxLayout(right);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    pgcOne_ = named(new QTabWidget, "pgcOne");
    for (const OperationPage& row : operationPages()) pgcOne_->addTab(row.build(row, *this), row.caption);
    layout->addWidget(pgcOne_, 1);

    auto* strip = named(new QWidget, "Panel3");
    strip->setFixedHeight(20);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(4, 0, 4, 0);
    auto* tips = named(new QLabel, "lblTips");
    QFont underlined = tips->font();
    underlined.setUnderline(true);
    tips->setFont(underlined);
    tips->setCursor(Qt::PointingHandCursor);
    // A long tip is cut off rather than widening the window (the tooltip
    // holds all of it).
    tips->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    stripLayout->addWidget(tips, 1);
    (new TipsStrip(tips, tips_, ws_.random, TipsSettings::fromEnvironment(), this))->start();
    layout->addWidget(strip);
    return right;
}

void MainWindow::applyStartupDefaults()
{
    const QDate today = QDate::currentDate();
    dtMax_->setDate(today);
    dtMin_->setDate(today.addMonths(-1)); // the day is clamped to the month's last day
    edFolder_->setText(QDir::currentPath());
    cmbOpt_->setCurrentIndex(1);
    switchPage(1, -1);
    refreshCounters();
}

void MainWindow::cmbOptChange(int index)
{
    switchPage(index, -1);
}

void MainWindow::switchPage(int first, int second)
{
    for (int page = 0; page < pgcOne_->count(); ++page) pgcOne_->setTabVisible(page, page == first || page == second);
    if (first >= 0 && first < pgcOne_->count()) pgcOne_->setCurrentIndex(first);
    showPreviewOf(pgcOne_->currentWidget());
}

void MainWindow::readSearchCriteria()
{
    criteria_.types = toGbk(cmbFileType_->currentText());
    criteria_.sizeFilter = ckFileSize_->isChecked();
    criteria_.minSize = toGbk(edMin_->text());
    criteria_.maxSize = toGbk(edMax_->text());
    criteria_.dateFilter = ckFileDate_->isChecked();
    const int kind = cbDateType_->currentIndex();
    criteria_.dateKind = kind == 1 ? DateKind::Creation : kind == 2 ? DateKind::LastAccess : DateKind::LastWrite;
    criteria_.minDate = calendarDateOf(dtMin_->date());
    criteria_.maxDate = calendarDateOf(dtMax_->date());
    criteria_.subfolders = ckSub_->isChecked();
}

void MainWindow::cbSearchClick()
{
    readSearchCriteria();
    const std::optional<std::string> folders = toGbkExactly(edFolder_->text());
    if (!folders) {
        dialogs_->message(QMessageBox::Critical,
                          QStringLiteral("目录名称无法以GBK编码表示，请重新选择目录：") + edFolder_->text());
        return;
    }
    criteria_.folders = *folders;
    if (text::trim(criteria_.types).empty()) {
        runGuarded(nullptr, [this] { qv::cbSearchClick(ws_, *host_, fs_, criteria_); });
        return;
    }
    history_->remember(edFolder_);
    history_->remember(cmbFileType_->lineEdit());
    cbSearch_->setEnabled(false);
    btnStopSearch_->setEnabled(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    host_->startRun();
    SearchOutcome outcome;
    runGuarded(nullptr, [&] { outcome = qv::cbSearchClick(ws_, *host_, fs_, criteria_); });
    host_->noteMissingFolders(outcome.missingFolders);
    QApplication::restoreOverrideCursor();
    cbSearch_->setEnabled(true);
    btnStopSearch_->setEnabled(false);
}

void MainWindow::btnStopSearchClick()
{
    host_->requestStop();
    cbSearch_->setEnabled(true);
    btnStopSearch_->setEnabled(false);
}

void MainWindow::btnOpenClick()
{
    // The picker opens at the first folder in the box when it exists.
    const QString first = edFolder_->text().section(QLatin1Char(';'), 0, 0).trimmed();
    const QString start = QFileInfo(first).isDir() ? first : QString();
    if (const std::optional<QString> folder = dialogs_->chooseFolder(QStringLiteral("请选择搜索目录"), start))
        edFolder_->setText(*folder);
}

void MainWindow::btnAddClick()
{
    const QStringList chosen = dialogs_->chooseFilesToAdd();
    if (chosen.isEmpty()) return;
    // The add command takes the paths as the system writes them; it reads
    // each name as UTF-8 or GBK and tells what it had to leave out.
    std::vector<std::string> paths;
    for (const QString& path : chosen) paths.push_back(QFile::encodeName(path).toStdString());
    addFiles(paths);
}

void MainWindow::addFiles(const std::vector<std::string>& paths)
{
    if (!paths.empty())
        runGuarded(nullptr, [&] {
            host_->startRun();
            qv::btnAddClick(ws_, *host_, fs_, paths);
        });
}

void MainWindow::cmbVarChange(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= catalogueEntries().size()) return;
    const std::string& insertion = catalogueEntries()[static_cast<std::size_t>(index)].insertion;
    const auto page = static_cast<std::size_t>(pgcOne_->currentIndex());
    const QString target = page < operationPages().size() ? operationPages()[page].templateBox : QString();
    QLineEdit* box = target.isEmpty() ? nullptr : pgcOne_->currentWidget()->findChild<QLineEdit*>(target);
    if (!box) {
        QGuiApplication::clipboard()->setText(fromGbk(insertion));
        return;
    }
    // The box counts UTF-16 units, the core code page 936 bytes.
    const QString boxText = box->text();
    const int start = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
    const int length = box->hasSelectedText() ? box->selectionLength() : 0;
    const auto byteStart = static_cast<text::Pos>(toGbk(boxText.left(start)).size());
    const auto byteLength = static_cast<text::Pos>(toGbk(boxText.mid(start, length)).size());
    box->setText(fromGbk(insertCatalogueItem(toGbk(boxText), byteStart, byteLength, insertion)));
    box->setFocus();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (watched == sgFiles_->horizontalHeader()->viewport()) {
            const int column = sgFiles_->horizontalHeader()->logicalIndexAt(at);
            gridMouseReleased(column >= 0 ? std::optional<GridCell>(GridCell{0, column}) : std::nullopt);
        } else if (watched == sgFiles_->viewport()) {
            const QModelIndex cell = sgFiles_->indexAt(at);
            gridMouseReleased(cell.isValid() ? std::optional<GridCell>(
                                                   GridCell{static_cast<std::size_t>(cell.row()) + 1, cell.column()})
                                             : std::nullopt);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::gridMouseReleased(std::optional<GridCell> underPointer)
{
    const QModelIndex current = sgFiles_->currentIndex();
    const GridCell currentCell =
        current.isValid() ? GridCell{static_cast<std::size_t>(current.row()) + 1, current.column()} : GridCell{0, 0};
    runGuarded(nullptr, [&] { sgFilesMouseUp(ws_, underPointer, currentCell); });
}

void MainWindow::runGuarded(QWidget* button, const std::function<void()>& handler)
{
    if (button) button->setEnabled(false);
    ++runDepth_;
    try {
        handler();
    } catch (const RunError& error) {
        dialogs_->message(QMessageBox::Critical, fromGbk(error.what()));
    } catch (const std::bad_alloc&) {
        dialogs_->message(QMessageBox::Critical, QStringLiteral("内存不足，处理已中止！"));
    } catch (...) {
        // Anything else is a fault of the program; a library's exception text
        // would mean nothing to the user.
        dialogs_->message(QMessageBox::Critical, QStringLiteral("程序内部错误，处理已中止！"));
    }
    --runDepth_;
    model_->flushPendingRows();
    if (button) button->setEnabled(true);
    refreshCounters();
    if (ws_.files.entryCount() > formerCapacity)
        statusBar()->showMessage(QStringLiteral("文件列表共有 %1 项，已超过 %2 项，列表继续增长。")
                                     .arg(ws_.files.entryCount())
                                     .arg(formerCapacity));
    if (closeRequested_ && runDepth_ == 0) close();
}

void MainWindow::refreshCounters()
{
    stSrcCount_->setText(QString::fromStdString(counterText(ws_.counters.stSrcCount)));
    stChangeCount_->setText(QString::fromStdString(counterText(ws_.counters.stChangeCount)));
    stDeleteCount_->setText(QString::fromStdString(counterText(ws_.counters.stDeleteCount)));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (runDepth_ > 0) {
        host_->requestStop();
        closeRequested_ = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

} // namespace qv::app
