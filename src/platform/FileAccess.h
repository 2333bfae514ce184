// Whether the user may change a file, and the copy of a file kept before an
// update changes it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace tavik {

// The facts of a file that decide who may write it.
struct FileOwnership {
    mode_t Mode = 0;
    uid_t Owner = 0;
    gid_t Group = 0;
};

// The user asking: the effective user and all the groups the process has.
struct UserIdentity {
    uid_t User = 0;
    std::vector<gid_t> Groups;
};

// The kernel's rule for opening a file to write, on the permission bits:
// root may always (as cp does); the owner by the owner's bit, a member of
// the file's group by the group's bit, anyone else by the others' bit.
bool MayWrite(const FileOwnership& file, const UserIdentity& user);

// The user running this process.
UserIdentity CurrentUser();

// Why the user may not change the file at path (links followed): its mode
// and owner in words, such as "it is read-only for you (mode 0444)". Nothing
// when the user may write it or when there is no file there yet.
std::optional<std::string> ReadOnlyReason(const std::string& path);

// The name the previous content of path is kept under.
std::string BackupPath(const std::string& path);

// Writes bytes, the content path has before an update, to BackupPath(path)
// through the safe writer, replacing an older copy. The copy gets the
// permission bits of the file at path, so that a private file is not
// copied where others may read it. Throws OutputError naming the copy.
void KeepBackup(const std::string& path, std::string_view bytes);

} // namespace tavik
