#include "platform/folderlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vt {

FolderLock& FolderLock::operator=(FolderLock&& o) noexcept {
    if (this != &o) {
        release();
        lockcall_ = o.lockcall_;
        fd_ = o.fd_;
        outcome_ = o.outcome_;
        error_ = o.error_;
        filetype_ = o.filetype_;
        folder_ = std::move(o.folder_);
        o.fd_ = -1;
        o.outcome_ = none;
        o.error_ = 0;
        o.filetype_ = 0;
        o.folder_.clear();
    }
    return *this;
}

FolderLock::Outcome FolderLock::take(const std::string& hostfolder) {
    release();
    folder_ = hostfolder;
    std::string path = hostfolder + "/" + kLockName;
    // Made when missing, never truncated; a folder this copy may only read is locked through a
    // lock file that is there already. The open follows no link and cannot wait (on a FIFO).
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | flags, 0644);
    if (fd < 0) {
        error_ = errno;
        if (error_ == EACCES || error_ == EROFS) fd = ::open(path.c_str(), O_RDONLY | flags);
    }
    // Only a plain file locks the folder: what else stands at its name is the lock file gone
    // wrong, not a file system that cannot lock.
    struct stat st;
    if (fd >= 0 ? ::fstat(fd, &st) == 0 : ::lstat(path.c_str(), &st) == 0)
        if (!S_ISREG(st.st_mode)) {
            if (fd >= 0) ::close(fd);
            filetype_ = st.st_mode & S_IFMT;
            return outcome_ = notafile;
        }
    if (fd < 0) {
        outcome_ = (error_ == ENOENT || error_ == ENOTDIR) ? nofolder : unlockable;
        return outcome_;
    }
    int r;
    do {
        r = lockcall_ ? lockcall_(fd, LOCK_EX | LOCK_NB) : ::flock(fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    if (r == 0) {
        fd_ = fd;
        return outcome_ = held;
    }
    error_ = errno;
    ::close(fd);
    return outcome_ = (error_ == EWOULDBLOCK || error_ == EAGAIN) ? busy : unlockable;
}

void FolderLock::release() {
    // Closing the only descriptor of the lock file drops the lock.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    outcome_ = none;
    error_ = 0;
    filetype_ = 0;
}

bool samefolder(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return a == b;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace vt
