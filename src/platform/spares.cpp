#include "platform/spares.h"

#include "platform/hostio.h"

namespace vt {

namespace {

// True when a look at a name shows a plain file of one name.
bool plainfile(const struct stat& st) { return S_ISREG(st.st_mode) && st.st_nlink == 1; }

// Opens a file to be written over, when it is a plain file of one name. The open follows no link
// and cannot wait (on a FIFO); anything else is closed unwritten: -1.
int openplain(const HostIo& io, const std::string& p) {
    int fd = io.open(p, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    struct stat st;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && plainfile(st)) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

// Makes a file afresh. Whatever stands at its name (a spare that was not a plain file, one left
// by a commit cut short, a folder or a link put there) is removed first, never opened or
// followed.
int freshfile(const HostIo& io, const std::string& p) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
    int fd = io.open(p, flags);
    if (fd >= 0 || errno != EEXIST) return fd;
    if (io.removeall(p) != 0) return -1;
    return io.open(p, flags);
}

}  // namespace

std::string spareof(const std::string& host) {
    size_t slash = host.rfind('/');
    size_t name = slash == std::string::npos ? 0 : slash + 1;
    return host.substr(0, name) + "." + host.substr(name) + kSpare;
}

bool Spares::covers(const std::string& host) const { return infolder(host, folder_); }

void Spares::ready(const std::vector<std::string>& hosts) {
    ready_.insert(hosts.begin(), hosts.end());
}

int Spares::opentemp(const HostIo& io, const std::string& host, const std::string& temp,
                     bool& reused) {
    int fd = -1;
    if (ready_.erase(host) && io.rename(spareof(host), temp) == 0) fd = openplain(io, temp);
    reused = fd >= 0;
    return reused ? fd : freshfile(io, temp);
}

bool Spares::keepable(const std::string& host) {
    struct stat spare, file;
    return ::lstat(spareof(host).c_str(), &spare) == 0 && plainfile(spare) &&
           ::lstat(host.c_str(), &file) == 0 && S_ISREG(file.st_mode);
}

bool Spares::moveaside(const HostIo& io, const std::string& host) {
    std::string spare = spareof(host);
    if (io.rename(host, spare) == 0) return true;
    if (errno == ENOENT) return false;
    if (errno != EISDIR) throwerrno(errno, host);
    return io.removeall(spare) == 0 && io.rename(host, spare) == 0;
}

}  // namespace vt
