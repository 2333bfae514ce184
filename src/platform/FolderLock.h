// One writer per folder at a time, for a run that fills a whole folder with
// files (the batch's lists and summary): a second run into the same folder
// would tear the summary and mix the two runs' files.
#pragma once

#include <string>

namespace tavik {

// Makes the folder where it is missing and holds it until destroyed. The
// lock is the kernel's (flock on the folder itself), so it ends with the
// process however the process ends, and leaves no lock file behind. Throws
// OutputError naming the folder when another process holds it or the folder
// cannot be made; a folder the system cannot lock is taken unlocked.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder);
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

private:
    int fd_ = -1;
};

} // namespace tavik
