#pragma once
// What `qorvane [OPTION...] [PATH...]` was started with (Qt's own options
// already taken out): the paths to open ("Open with" in a file manager
// passes the chosen files and folders), made absolute against the working
// folder so another window can use them, and the few options.

#include <QString>
#include <QStringList>

namespace qv::app {

struct LaunchArguments {
    QStringList paths;
    bool help = false;
    bool quitAfterStart = false; // a smoke check for installs: start, print the caption, quit
    QStringList unknownOptions;
};

// `arguments` without the program name. Arguments from "-" on are options
// until "--"; everything after "--" is a path.
LaunchArguments parseLaunchArguments(const QStringList& arguments, const QString& workingFolder);

inline const char* const launchUsage = "usage: qorvane [PATH...]\n"
                                       "Opens the window. Files among the PATHs are added to the file list,\n"
                                       "folders fill the search folder box; nothing is searched until \"搜索\"\n"
                                       "is pressed. With a window already open, the PATHs go to that window.\n";

} // namespace qv::app
