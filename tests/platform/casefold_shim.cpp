// A stand-in for a case-insensitive file system, preloaded (LD_PRELOAD) into
// a program under test. In the folder QV_CASEFOLD_DIR (an absolute path,
// spelt as the program spells it), a name finds the entry that equals it
// ignoring ASCII case, as on vfat, exfat or SMB; a new name keeps the case it
// is given. Renaming a name onto another spelling of itself succeeds and does
// nothing, as Linux does on such file systems. The environment also says
//   QV_CASEFOLD_NOREPLACE=1  RENAME_NOREPLACE is accepted (ext4 casefold);
//                            otherwise refused with EINVAL
//   QV_CASEFOLD_LINKS=1      hard links work (SMB); otherwise EPERM (vfat)
//   QV_CASEFOLD_FAULT=fail-second       the second rename or link in the
//                                       folder fails with EIO
//   QV_CASEFOLD_FAULT=term-after-first  the first one that succeeds is
//                                       followed by SIGTERM to the thread
// Only the calls the rename code makes are caught: renameat2, linkat,
// unlinkat, fstatat (with a folder descriptor, whose path is read from
// /proc/self/fd) and their path forms rename, link, unlink, lstat.

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int stepsInFolder = 0;

template <class Function> Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool enabled(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && std::strcmp(value, "1") == 0;
}

bool faultIs(const char* fault)
{
    const char* value = std::getenv("QV_CASEFOLD_FAULT");
    return value && std::strcmp(value, fault) == 0;
}

bool inFolder(const char* path)
{
    const char* folder = std::getenv("QV_CASEFOLD_DIR");
    if (!folder || !path) return false;
    const std::string prefix = std::string(folder) + "/";
    const std::string_view p(path);
    return p.starts_with(prefix) && p.find('/', prefix.size()) == std::string_view::npos;
}

// The path `name` names relative to the open folder `dir`, spelt as
// QV_CASEFOLD_DIR is when `dir` is that folder.
std::string pathAt(int dir, const char* name)
{
    if (dir == AT_FDCWD || name[0] == '/') return name;
    char opened[PATH_MAX], wanted[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(dir);
    const ssize_t length = readlink(link.c_str(), opened, sizeof opened - 1);
    if (length < 0) return name;
    opened[length] = '\0';
    const char* folder = std::getenv("QV_CASEFOLD_DIR");
    if (folder && realpath(folder, wanted) && std::strcmp(wanted, opened) == 0) return std::string(folder) + "/" + name;
    return std::string(opened) + "/" + name;
}

// The path of the entry `path` finds: its own when it exists as spelt or lies
// outside the folder, else that of an entry equal to it ignoring case, else
// `path` itself (a new name).
std::string resolve(const char* path)
{
    struct stat info;
    if (!inFolder(path) || next<int (*)(const char*, struct stat*)>("lstat")(path, &info) == 0) return path;
    const char* folder = std::getenv("QV_CASEFOLD_DIR");
    const char* name = path + std::strlen(folder) + 1;
    std::string found = path;
    if (DIR* dir = opendir(folder)) {
        while (const dirent* entry = readdir(dir))
            if (strcasecmp(entry->d_name, name) == 0) found = std::string(folder) + "/" + entry->d_name;
        closedir(dir);
    }
    return found;
}

// Counts a rename or link in the folder; false (errno EIO) when the fault
// plan fails this one.
bool stepGoesAhead()
{
    ++stepsInFolder;
    if (faultIs("fail-second") && stepsInFolder == 2) {
        errno = EIO;
        return false;
    }
    return true;
}

int afterStep(int result)
{
    if (result == 0 && faultIs("term-after-first") && stepsInFolder == 1) raise(SIGTERM);
    return result;
}

int renameInFolder(const char* from, const char* to, unsigned flags)
{
    if ((flags & RENAME_NOREPLACE) && !enabled("QV_CASEFOLD_NOREPLACE")) {
        errno = EINVAL;
        return -1;
    }
    const std::string source = resolve(from), target = resolve(to);
    if (!stepGoesAhead()) return -1;
    if (source == target && !(flags & RENAME_NOREPLACE)) return afterStep(0);
    using Renameat2 = int (*)(int, const char*, int, const char*, unsigned);
    return afterStep(next<Renameat2>("renameat2")(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), flags));
}

int linkInFolder(const char* from, const char* to)
{
    if (!enabled("QV_CASEFOLD_LINKS")) {
        errno = EPERM;
        return -1;
    }
    const std::string source = resolve(from), target = resolve(to);
    if (!stepGoesAhead()) return -1;
    return afterStep(next<int (*)(const char*, const char*)>("link")(source.c_str(), target.c_str()));
}

} // namespace

extern "C" {

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) noexcept
{
    const std::string source = pathAt(fromFolder, from), target = pathAt(toFolder, to);
    if (inFolder(source.c_str()) || inFolder(target.c_str()))
        return renameInFolder(source.c_str(), target.c_str(), flags);
    using Renameat2 = int (*)(int, const char*, int, const char*, unsigned);
    return next<Renameat2>("renameat2")(fromFolder, from, toFolder, to, flags);
}

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) noexcept
{
    const std::string source = pathAt(fromFolder, from), target = pathAt(toFolder, to);
    if (inFolder(source.c_str()) || inFolder(target.c_str())) return linkInFolder(source.c_str(), target.c_str());
    using Linkat = int (*)(int, const char*, int, const char*, int);
    return next<Linkat>("linkat")(fromFolder, from, toFolder, to, flags);
}

int unlinkat(int folder, const char* name, int flags) noexcept
{
    const std::string path = pathAt(folder, name);
    if (!inFolder(path.c_str())) return next<int (*)(int, const char*, int)>("unlinkat")(folder, name, flags);
    return next<int (*)(int, const char*, int)>("unlinkat")(AT_FDCWD, resolve(path.c_str()).c_str(), flags);
}

int fstatat(int folder, const char* name, struct stat* info, int flags) noexcept
{
    const std::string path = pathAt(folder, name);
    using Fstatat = int (*)(int, const char*, struct stat*, int);
    if (!inFolder(path.c_str())) return next<Fstatat>("fstatat")(folder, name, info, flags);
    return next<Fstatat>("fstatat")(AT_FDCWD, resolve(path.c_str()).c_str(), info, flags);
}

int rename(const char* from, const char* to) noexcept
{
    if (inFolder(from) || inFolder(to)) return renameInFolder(from, to, 0);
    return next<int (*)(const char*, const char*)>("rename")(from, to);
}

int link(const char* from, const char* to) noexcept
{
    if (inFolder(from) || inFolder(to)) return linkInFolder(from, to);
    return next<int (*)(const char*, const char*)>("link")(from, to);
}

int unlink(const char* path) noexcept
{
    return next<int (*)(const char*)>("unlink")(resolve(path).c_str());
}

int lstat(const char* path, struct stat* info) noexcept
{
    return next<int (*)(const char*, struct stat*)>("lstat")(resolve(path).c_str(), info);
}

} // extern "C"
