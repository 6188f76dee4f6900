// Renames FROM to TO (code page 936 paths) with PosixFileSystem and prints
// the FsStatus as a number: the program the case-insensitive rename tests
// run under their preloaded stand-in file system.

#include "platform/posix_file_system.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FROM TO\n", argv[0]);
        return 2;
    }
    qv::PosixFileSystem fs;
    std::printf("%d\n", static_cast<int>(fs.renameNoReplace(argv[1], argv[2])));
    return 0;
}
