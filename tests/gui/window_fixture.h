#pragma once
// The GUI tests' window: a MainWindow whose message boxes and file dialogs
// are answered by ScriptedDialogs, and helpers to reach its controls.

#include "app/file_list_model.h"
#include "app/main_window.h"
#include "support/gbk.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace qv::app::testing {

using qv::testing::gbk;

class ScriptedDialogs final : public Dialogs {
public:
    struct Message {
        QMessageBox::Icon icon;
        QString text;
        QString details;
        QString title; // empty: the window caption
    };
    void message(QMessageBox::Icon icon, const QString& text) override
    {
        if (onMessage) onMessage();
        messages.push_back({icon, text, {}, {}});
    }
    void messageWithDetails(QMessageBox::Icon icon, const QString& text, const QString& details) override
    {
        messages.push_back({icon, text, details, {}});
    }
    void titledError(const QString& title, const QString& text) override
    {
        messages.push_back({QMessageBox::Critical, text, {}, title});
    }
    bool question(const QString& text, QMessageBox::StandardButton) override
    {
        questions.push_back(text);
        return answer;
    }
    std::optional<QString> chooseFolder(const QString&, const QString& startFolder) override
    {
        folderPickerStart = startFolder;
        return folder;
    }
    QStringList chooseFilesToAdd() override { return filesToAdd; }
    std::optional<QString> chooseExportPath() override { return exportPath; }
    std::optional<int> chooseRun(const QStringList&, const QList<QStringList>& rows) override
    {
        runRows = rows;
        return runChoice;
    }

    std::vector<Message> messages;
    std::function<void()> onMessage; // runs while a message would be up
    std::vector<QString> questions;
    bool answer = true;
    std::optional<QString> folder;
    QString folderPickerStart;
    QStringList filesToAdd;
    std::optional<QString> exportPath;
    QList<QStringList> runRows;
    std::optional<int> runChoice;
};

// The windows of a test keep their history in a fresh folder, never in the
// user's configuration folder.
struct SettingsFolder {
    SettingsFolder() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path()); }
    QString file() const { return dir.filePath(QStringLiteral("qorvane/qorvane.conf")); }
    QTemporaryDir dir;
};

class Window : public ::testing::Test {
protected:
    Window() : dialogs(new ScriptedDialogs), window(std::unique_ptr<Dialogs>(dialogs))
    {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        grid = window.findChild<QTableView*>("sgFiles");
    }

    template <typename W> W* control(const char* name)
    {
        W* found = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString label(const char* name) { return control<QLabel>(name)->text(); }
    // Chooses the operation whose page has objectName `pageName` in cmbOpt.
    void choosePage(const char* pageName)
    {
        auto* pages = control<QTabWidget>("pgcOne");
        const int index = pages->indexOf(pages->findChild<QWidget*>(QString::fromLatin1(pageName)));
        ASSERT_GE(index, 0) << pageName;
        control<QComboBox>("cmbOpt")->setCurrentIndex(index);
        EXPECT_EQ(pages->currentWidget()->objectName(), QString::fromLatin1(pageName));
    }
    void click(const char* name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
    QString cellText(int gridRow, int column) { return grid->model()->index(gridRow - 1, column).data().toString(); }

    void clickCell(int gridRow, int column)
    {
        const QModelIndex cell = grid->model()->index(gridRow - 1, column);
        grid->scrollTo(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    }
    void clickHeader(int column)
    {
        QHeaderView* header = grid->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    // Entries added through the core, as the search would.
    void entries(std::initializer_list<std::pair<const char*, std::int64_t>> rows)
    {
        for (const auto& [name, size] : rows) window.workspace().files.append(ListEntry{gbk(name), "/d", size, 0, 0});
        window.workspace().counters.stSrcCount = static_cast<std::int64_t>(window.workspace().files.entryCount());
        QCoreApplication::processEvents(); // the grid hears of rows when the event loop comes round
    }
    std::vector<bool> marks()
    {
        std::vector<bool> out;
        for (std::size_t row = 1; row <= window.workspace().files.lastRow(); ++row)
            out.push_back(window.workspace().files.isMarked(row));
        return out;
    }
    QStringList names()
    {
        QStringList out;
        for (int row = 1; row <= grid->model()->rowCount(); ++row) out << cellText(row, 0);
        return out;
    }

    SettingsFolder settings;
    ScriptedDialogs* dialogs; // owned by the window
    MainWindow window;
    QTableView* grid = nullptr;
};

class WindowOnDisk : public Window {
protected:
    QString file(const QString& relative, int size = 0)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QByteArray(size, 'x'));
        return path;
    }

    // The search lists a folder in the order the disk gives; sort by name so
    // the rows are known.
    void sortByName()
    {
        window.workspace().sortAscending = false;
        clickHeader(0);
    }

    QTemporaryDir dir;
};

} // namespace qv::app::testing
