#include "platform/FileAccess.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tavik {

bool MayWrite(const FileOwnership& file, const UserIdentity& user)
{
    if (user.User == 0) return true;
    if (file.Owner == user.User) return (file.Mode & S_IWUSR) != 0;
    if (std::find(user.Groups.begin(), user.Groups.end(), file.Group) != user.Groups.end())
        return (file.Mode & S_IWGRP) != 0;
    return (file.Mode & S_IWOTH) != 0;
}

UserIdentity CurrentUser()
{
    UserIdentity user;
    user.User = ::geteuid();
    user.Groups.push_back(::getegid());
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> more(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, more.data());
        if (got > 0) user.Groups.insert(user.Groups.end(), more.begin(), more.begin() + got);
    }
    return user;
}

std::optional<std::string> ReadOnlyReason(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt; // nothing there yet: the writer makes it
    const UserIdentity user = CurrentUser();
    if (MayWrite({st.st_mode, st.st_uid, st.st_gid}, user)) return std::nullopt;
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    if (st.st_uid != user.User)
        return "it is read-only for you: it belongs to user " + std::to_string(st.st_uid) + " (mode " + mode
               + "), so replacing it would make it yours";
    return std::string("it is read-only for you (mode ") + mode + ")";
}

std::string BackupPath(const std::string& path) { return path + ".bak"; }

void KeepBackup(const std::string& path, std::string_view bytes)
{
    const std::string backup = BackupPath(path);
    struct stat original {};
    const bool known = ::stat(path.c_str(), &original) == 0;
    const mode_t bits = original.st_mode & 0777;
    struct stat copy {};
    if (known && ::lstat(backup.c_str(), &copy) != 0 && errno == ENOENT) {
        // A new copy is made empty first and given the file's bits before a
        // byte of the content goes in; the writer keeps them from then on.
        WriteFileAtomically(backup, {});
        if (::chmod(backup.c_str(), bits) != 0)
            throw OutputError("cannot write " + backup + ": " + std::strerror(errno));
    } else if (known && S_ISREG(copy.st_mode) && copy.st_uid == ::geteuid() && (copy.st_mode & 0777) != bits) {
        if (::chmod(backup.c_str(), bits) != 0)
            throw OutputError("cannot write " + backup + ": " + std::strerror(errno));
    }
    WriteFileAtomically(backup, bytes);
}

} // namespace tavik
