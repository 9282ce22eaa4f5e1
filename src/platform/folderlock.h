#pragma once
#include <functional>
#include <string>

namespace vt {

// An exclusive advisory lock on a folder: a lock on the hidden file kLockName in it, kept while
// this object holds it. The system drops it when the process ends, however it ends, so a copy
// that crashed never keeps its folder; no lock is ever broken by its age. The lock file stays in
// the folder: removing it could let two copies lock two different files.
class FolderLock {
  public:
    enum Outcome {
        none,        // not tried
        held,        // this copy holds the folder
        busy,        // another copy holds it
        unlockable,  // its file system cannot lock (error() says why)
        nofolder,    // the folder is not there (yet)
        notafile,    // the lock file is not a plain file (a link, a folder, ...: filetype())
    };
    static constexpr const char* kLockName = ".Vantrope.lock";
    // The lock call: flock(2) unless another is passed in (a file system that cannot lock).
    using LockCall = std::function<int(int fd, int operation)>;

    explicit FolderLock(LockCall lockcall = {}) : lockcall_(std::move(lockcall)) {}
    ~FolderLock() { release(); }
    FolderLock(FolderLock&& o) noexcept { *this = std::move(o); }
    FolderLock& operator=(FolderLock&& o) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Tries once, without waiting, to lock `hostfolder`; gives up what this object held before.
    Outcome take(const std::string& hostfolder);
    void release();
    Outcome outcome() const { return outcome_; }
    int error() const { return error_; }
    // The host folder last tried ("" before any).
    const std::string& folder() const { return folder_; }
    // What stands at the lock file's name when it is not a plain file (S_IFDIR, S_IFLNK, ...).
    unsigned filetype() const { return filetype_; }

  private:
    LockCall lockcall_;
    int fd_ = -1;
    Outcome outcome_ = none;
    int error_ = 0;
    unsigned filetype_ = 0;
    std::string folder_;
};

// True when two host paths name the same folder (through links too).
bool samefolder(const std::string& a, const std::string& b);

}  // namespace vt
