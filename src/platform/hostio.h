#pragma once
// Host file-system calls of the file layer, each counted by the fault seam (Files::seam).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files.h"
#include "platform/powercut.h"

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
    // The power-cut mode of the seam follows what each change does (nothing otherwise).
    PowerCutModel* power() const { return f.power_.get(); }
    static bool writing(int flags) { return flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC); }

    int open(const std::string& p, int flags, mode_t mode = 0644) const {
        if (fails()) return -1;
        if (power() && writing(flags)) power()->beforechange(p);
        int fd = ::open(p.c_str(), flags, mode);
        if (power() && writing(flags) && fd >= 0) power()->opened(p);
        return fd;
    }
    ssize_t read(int fd, void* buf, size_t n) const { return fails() ? -1 : ::read(fd, buf, n); }
    ssize_t write(int fd, const void* buf, size_t n) const {
        if (fails()) return -1;
        if (power()) power()->beforechange(fd);
        return ::write(fd, buf, n);
    }
    int fsync(int fd) const {
        if (fails()) return -1;
        int r = ::fsync(fd);
        if (power() && r == 0) power()->synced(fd);
        return r;
    }
    // Starts writing a file's data to the disk without waiting: its fsync later finds the work
    // under way. Syncs nothing, so the power-cut mode need not know.
    int startwriteback(int fd) const {
        return fails() ? -1 : ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    int ftruncate(int fd, off_t n) const {
        if (fails()) return -1;
        if (power()) power()->beforechange(fd);
        return ::ftruncate(fd, n);
    }
    int rename(const std::string& a, const std::string& b) const {
        if (fails()) return -1;
        if (power()) power()->beforechange(a), power()->beforechange(b);
        int r = ::rename(a.c_str(), b.c_str());
        if (power() && r == 0) power()->renamed(a, b);
        return r;
    }
    int unlink(const std::string& p) const {
        if (fails()) return -1;
        if (power()) power()->beforechange(p);
        int r = ::unlink(p.c_str());
        if (power() && r == 0) power()->removed(p);
        return r;
    }
    int stat(const std::string& p, struct stat& st) const {
        return fails() ? -1 : ::stat(p.c_str(), &st);
    }
    int mkdir(const std::string& p) const {
        if (fails()) return -1;
        if (power()) power()->beforechange(p);
        int r = ::mkdir(p.c_str(), 0755);
        if (power() && r == 0) power()->madefolder(p);
        return r;
    }
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

bool hostisdir(const std::string& p);       // not counted by the seam
FileStamp stamphost(const std::string& p);  // not counted by the seam
std::string parentof(const std::string& p);
[[noreturn]] void throwerrno(int err, const std::string& host);
// Writes every byte; false (errno set) on failure.
bool writeall(const HostIo& io, int fd, const std::string& bytes);

}  // namespace vt
