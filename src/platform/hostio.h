#pragma once
// Host file-system calls of the file layer, each counted by the fault seam (Files::seam).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files.h"

namespace vt {

struct HostIo {
    const Files& f;

    bool fails() const {
        if (int e = f.seam()) {
            errno = e;
            return true;
        }
        return false;
    }
    int open(const std::string& p, int flags, mode_t mode = 0644) const {
        return fails() ? -1 : ::open(p.c_str(), flags, mode);
    }
    ssize_t read(int fd, void* buf, size_t n) const { return fails() ? -1 : ::read(fd, buf, n); }
    ssize_t write(int fd, const void* buf, size_t n) const {
        return fails() ? -1 : ::write(fd, buf, n);
    }
    int fsync(int fd) const { return fails() ? -1 : ::fsync(fd); }
    int ftruncate(int fd, off_t n) const { return fails() ? -1 : ::ftruncate(fd, n); }
    int rename(const std::string& a, const std::string& b) const {
        return fails() ? -1 : ::rename(a.c_str(), b.c_str());
    }
    int unlink(const std::string& p) const { return fails() ? -1 : ::unlink(p.c_str()); }
    int stat(const std::string& p, struct stat& st) const {
        return fails() ? -1 : ::stat(p.c_str(), &st);
    }
    int mkdir(const std::string& p) const { return fails() ? -1 : ::mkdir(p.c_str(), 0755); }
    DIR* opendir(const std::string& p) const { return fails() ? nullptr : ::opendir(p.c_str()); }
    // Syncs a folder so the names made or removed in it last (a failure is returned, not thrown).
    int fsyncdir(const std::string& folder) const {
        int fd = open(folder, O_RDONLY | O_DIRECTORY);
        if (fd < 0) return -1;
        int r = fsync(fd);
        int err = errno;
        ::close(fd);
        errno = err;
        return r;
    }
};

// Closes a descriptor when it goes, also when a crash of the seam unwinds past it.
struct FdGuard {
    int fd = -1;
    ~FdGuard() {
        if (fd >= 0) ::close(fd);
    }
};

bool hostisdir(const std::string& p);  // not counted by the seam
FileStamp stamphost(const std::string& p);  // not counted by the seam
std::string parentof(const std::string& p);
[[noreturn]] void throwerrno(int err, const std::string& host);
// Writes every byte; false (errno set) on failure.
bool writeall(const HostIo& io, int fd, const std::string& bytes);

}  // namespace vt
