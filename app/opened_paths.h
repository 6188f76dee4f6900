#pragma once
// Paths handed to the window from outside: the command line ("Open with" in
// a file manager), a later start of the program, or a drop on the grid.
// Files go to the list as the add command adds them; folders go to the
// search folder box. Nothing is searched.

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace qv {
class FileSystem;
}

namespace qv::app {

struct OpenedPaths {
    std::vector<std::string> files; // disk paths, for the add command
    QStringList folders;            // for the folder box, in the order given
    // Folders whose name holds ";", which the folder box would cut in two.
    QStringList unusableFolders;
};

// Sorts `paths` (local paths, absolute or relative to the working folder)
// into files and folders. A path that names nothing goes with the files,
// where the add command skips it; a symbolic link is not followed.
OpenedPaths sortOpenedPaths(const QStringList& paths, const FileSystem& fs);

// The message for folders the folder box cannot hold.
QString unusableFoldersMessage(const QStringList& folders);

} // namespace qv::app
