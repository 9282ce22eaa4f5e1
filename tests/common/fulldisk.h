#pragma once
// A disk that is full: a file or folder cannot be made and no byte can be written; everything
// else (reading, renaming, removing) works.
#include "platform/hostio.h"

namespace vt::test {

class FullDisk final : public HostIo {
  public:
    int open(const std::string& p, int flags) const override {
        struct stat st;
        if ((flags & O_CREAT) && ::lstat(p.c_str(), &st) != 0) return full();
        return io_.open(p, flags);
    }
    ssize_t read(int fd, void* buf, size_t n) const override { return io_.read(fd, buf, n); }
    ssize_t write(int fd, const void* buf, size_t n) const override {
        return n == 0 ? io_.write(fd, buf, n) : full();
    }
    int fsync(int fd) const override { return io_.fsync(fd); }
    int startwriteback(int fd) const override { return io_.startwriteback(fd); }
    int ftruncate(int fd, off_t n) const override { return io_.ftruncate(fd, n); }
    int rename(const std::string& a, const std::string& b) const override {
        return io_.rename(a, b);
    }
    int unlink(const std::string& p) const override { return io_.unlink(p); }
    int stat(const std::string& p, struct stat& st) const override { return io_.stat(p, st); }
    int mkdir(const std::string& p) const override {
        struct stat st;
        if (::lstat(p.c_str(), &st) == 0) {
            errno = EEXIST;
            return -1;
        }
        return full();
    }
    DIR* opendir(const std::string& p) const override { return io_.opendir(p); }
    int removeall(const std::string& p) const override { return io_.removeall(p); }

  private:
    static int full() {
        errno = ENOSPC;
        return -1;
    }
    SystemIo io_;
};

}  // namespace vt::test
