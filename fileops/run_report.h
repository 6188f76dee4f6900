#pragma once
// How the name and metadata operations end a run: the closing count, and one
// notice per kind of file the run had to leave alone for a reason the user
// must hear about (as opposed to a target that exists or a file in use,
// which are skipped without a word).

#include <cstdint>

namespace qv {

class Host;
struct Workspace;

// The information message "成功处理文件总数量：" followed by stChangeCount.
void showClosingMessage(Host& host, const Workspace& ws);

enum class LeftAlone {
    UnsafeName,            // rename computed an empty name, ".", ".." or a name with "/"
    UnsafeExtension,       // change extension did
    AttributesNotStored,   // the file system cannot keep the DOS attribute bits
    CreationTimeNotStored, // the file system cannot keep a creation time
    LinkAttributes,        // symbolic links carry no attribute bits
    LinkCreationTime,      // symbolic links carry no creation time
};

// Tells the user, as one error message, that `count` files were left alone
// and why. Nothing when `count` is 0. Each operation calls it once per kind,
// just before its closing message.
void tellLeftAlone(Host& host, LeftAlone why, std::int64_t count);

} // namespace qv
