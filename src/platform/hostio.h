#pragma once
// Host file-system calls of the file layer. Files makes each of them through one HostIo: the
// program's own (SystemIo) calls the system and does nothing else; a test can put another in its
// place (Files::sethostio) that counts the calls and fails one of them.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace vt {

// Where a commit has got to, told to the HostIo it writes through.
enum class CommitStep {
    begin,      // before its first call
    point,      // its commit point is on disk: the operation has happened
    undecided,  // failed after its commit point and could not be taken back: left to recovery
    end,        // after its last call, also when it failed
};

class HostIo {
  public:
    virtual ~HostIo() = default;
    // Files are made with mode 0644.
    virtual int open(const std::string& p, int flags) const = 0;
    virtual ssize_t read(int fd, void* buf, size_t n) const = 0;
    virtual ssize_t write(int fd, const void* buf, size_t n) const = 0;
    virtual int fsync(int fd) const = 0;
    // Starts writing a file's data to the disk without waiting: its fsync later finds the work
    // under way. Syncs nothing.
    virtual int startwriteback(int fd) const = 0;
    virtual int ftruncate(int fd, off_t n) const = 0;
    virtual int rename(const std::string& a, const std::string& b) const = 0;
    virtual int unlink(const std::string& p) const = 0;
    virtual int stat(const std::string& p, struct stat& st) const = 0;
    virtual int mkdir(const std::string& p) const = 0;  // mode 0755
    virtual DIR* opendir(const std::string& p) const = 0;
    // Removes whatever stands at p (a file, a link, a FIFO, a folder with all it holds) without
    // following a link and without leaving p's file system; 0, or -1 with errno.
    virtual int removeall(const std::string& p) const = 0;
    virtual void commitstep(CommitStep) const {}

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

// The system's calls, as they stand.
class SystemIo final : public HostIo {
  public:
    int open(const std::string& p, int flags) const override {
        return ::open(p.c_str(), flags, 0644);
    }
    ssize_t read(int fd, void* buf, size_t n) const override { return ::read(fd, buf, n); }
    ssize_t write(int fd, const void* buf, size_t n) const override { return ::write(fd, buf, n); }
    int fsync(int fd) const override { return ::fsync(fd); }
    int startwriteback(int fd) const override {
        return ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    int ftruncate(int fd, off_t n) const override { return ::ftruncate(fd, n); }
    int rename(const std::string& a, const std::string& b) const override {
        return ::rename(a.c_str(), b.c_str());
    }
    int unlink(const std::string& p) const override { return ::unlink(p.c_str()); }
    int stat(const std::string& p, struct stat& st) const override {
        return ::stat(p.c_str(), &st);
    }
    int mkdir(const std::string& p) const override { return ::mkdir(p.c_str(), 0755); }
    DIR* opendir(const std::string& p) const override { return ::opendir(p.c_str()); }
    int removeall(const std::string& p) const override;
};

// Closes a descriptor when it goes, also when an exception unwinds past it.
struct FdGuard {
    int fd = -1;
    ~FdGuard() {
        if (fd >= 0) ::close(fd);
    }
};

bool hostisdir(const std::string& p);  // not through HostIo
std::string parentof(const std::string& p);
// True when host path `p` is `folder` or lies inside it (compared as written).
bool infolder(const std::string& p, const std::string& folder);
[[noreturn]] void throwerrno(int err, const std::string& host);
// Writes every byte; false (errno set) on failure.
bool writeall(const HostIo& io, int fd, const std::string& bytes);

}  // namespace vt
