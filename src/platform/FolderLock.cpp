#include "platform/FolderLock.h"

#include "platform/Error.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace tavik {

FolderLock::FolderLock(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder))
        throw OutputError("cannot create the folder " + folder + ": "
                          + (ec ? ec.message() : std::string("a file of that name is in the way")));
    // A folder that cannot be locked at all (one the user may write but not
    // list, a network file system without flock) is written unguarded, as
    // before: only a lock that someone else holds refuses the run.
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    int rc = 0;
    while ((rc = ::flock(fd_, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {}
    if (rc == 0) return;
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    if (error == EWOULDBLOCK)
        throw OutputError("cannot write into the folder " + folder
                          + ": another run is writing there; wait for it to end or choose another folder");
}

FolderLock::~FolderLock()
{
    // Closing the last descriptor of the open folder ends the lock.
    if (fd_ >= 0) ::close(fd_);
}

} // namespace tavik
