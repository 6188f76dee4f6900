#pragma once
// The help button and the maker link of the status column, and where the
// files installed with the program are found.

#include "app/url_opener.h"

#include <QObject>
#include <QString>
#include <QUrl>

class QAbstractButton;
class QLabel;

namespace qv::app {

inline const QString usageFileName = QStringLiteral("使用说明.txt");

// `name` among the program's installed data files (share/qorvane beside the
// executable's bin folder); in a build tree, the copy in the build's data
// folder. Empty when neither exists.
QString installedDataFile(const QString& name);

// The usage file to open: the one in `workingDir` when there is one, else
// `installedCopy` when it exists, else the one in `workingDir` (which then
// fails to open).
QString usageFilePath(const QString& workingDir, const QString& installedCopy);

// The project's home page, fixed when the program is built; empty when the
// build set none.
QUrl homePage();

// What the About box says: the program, its version, its licence and the
// usage file at `usagePath` (or that none was found there).
QString aboutText(const QString& usagePath);

// The help button (SpeedButton1) opens the usage file with the desktop's
// program for it, and shows it in a read-only window of its own
// ("usageWindow") when the desktop has none. The maker label (Label11)
// opens the home page, or an About box ("aboutBox") when the build set no
// home page. Both are children of the window, so the links live as long as
// it does.
class HelpLinks final : public QObject {
    Q_OBJECT
public:
    HelpLinks(QAbstractButton* help, QLabel* maker, QObject* parent);

    // Not owned; must outlive this object. The desktop's opener until set.
    void setUrlOpener(UrlOpener* opener) { opener_ = opener; }

    void SpeedButton1Click();
    void Label11Click();

private:
    void showUsageWindow(const QString& path);
    void showAboutBox();

    QLabel* maker_;
    DesktopUrlOpener desktop_;
    UrlOpener* opener_ = &desktop_;
};

} // namespace qv::app
