#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "platform/drives.h"
#include "platform/hostio.h"
#include "platform/staging.h"
#include "platform/text.h"

namespace vt {

namespace fs = std::filesystem;

std::string errortext(int n) {
    switch (n) {
        case 5:
            return "Invalid procedure call or argument";
        case 6:
            return "Overflow";
        case 7:
            return "Out of memory";
        case 9:
            return "Subscript out of range";
        case 13:
            return "Type mismatch";
        case 52:
            return "Bad file name or number";
        case 53:
            return "File not found";
        case 55:
            return "File already open";
        case 57:
            return "Device I/O error";
        case 58:
            return "File already exists";
        case 61:
            return "Disk full";
        case 62:
            return "Input past end of file";
        case 67:
            return "Too many files";
        case 68:
            return "Device unavailable";
        case 70:
            return "Permission denied";
        case 71:
            return "Disk not ready";
        case 75:
            return "Path/File access error";
        case 76:
            return "Path not found";
        default:
            return "Application-defined or object-defined error";
    }
}

void throwfileerror(int n) { throw FileError(n, errortext(n)); }

void throwfileerror(int n, const std::string& file, long line) {
    FileError e(n, errortext(n));
    e.file = file;
    e.line = line;
    throw e;
}

std::string filename(const std::string& logical) {
    size_t cut = logical.find_last_of("\\/");
    std::string name = cut == std::string::npos ? logical : logical.substr(cut + 1);
    bool drive = logical.size() >= 2 && logical[1] == ':' &&
                 std::isalpha(static_cast<unsigned char>(logical[0])) &&
                 std::toupper(static_cast<unsigned char>(logical[0])) != 'C';
    if (!drive) return name;
    return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(logical[0])))) +
           ":\\" + name;
}

std::string filelocation(const std::string& logical, long line) {
    std::string out = filename(logical);
    if (line > 0) out += ", line " + std::to_string(line);
    return out;
}

int errnotonumber(int err, bool folder_missing) {
    switch (err) {
        case ENOENT:
            return folder_missing ? 76 : 53;
        case ENOTDIR:
            return 76;
        case EEXIST:
            return 75;
        case EACCES:
        case EPERM:
        case EROFS:
            return 70;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return 61;
        case EMFILE:
        case ENFILE:
            return 67;
        case EISDIR:
            return 75;
        case ENAMETOOLONG:
            return 52;
        default:
            return 57;
    }
}

bool hostisdir(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string parentof(const std::string& p) {
    auto s = p.find_last_of('/');
    if (s == std::string::npos) return ".";
    return s == 0 ? "/" : p.substr(0, s);
}

bool infolder(const std::string& p, const std::string& folder) {
    return !folder.empty() && p.compare(0, folder.size(), folder) == 0 &&
           (p.size() == folder.size() || p[folder.size()] == '/');
}

void throwerrno(int err, const std::string& host) {
    bool folder_missing = err == ENOENT && !hostisdir(parentof(host));
    throwfileerror(errnotonumber(err, folder_missing));
}

bool writeall(const HostIo& io, int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = io.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

namespace {

// Removes `name` in the open folder `at`, and when it is a folder everything in it first. Each
// entry is reached through its open folder and opened without following a link, so a link put
// in meanwhile is removed, never entered; a folder of another file system (a mount) is left.
bool removeat(int at, const std::string& name, dev_t device, int depth) {
    if (::unlinkat(at, name.c_str(), 0) == 0 || errno == ENOENT) return true;
    if (errno != EISDIR && errno != EPERM) return false;
    if (depth > 64) {
        errno = ELOOP;
        return false;
    }
    int fd =
        ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_dev != device) {
        ::close(fd);
        errno = EXDEV;
        return false;
    }
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return false;
    }
    std::vector<std::string> names;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    int err = 0;
    for (auto& n : names)
        if (!removeat(::dirfd(d), n, device, depth + 1) && !err) err = errno;
    ::closedir(d);
    if (err) {
        errno = err;
        return false;
    }
    return ::unlinkat(at, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT;
}

// The name of an existing entry of a folder that equals name but for letter case, else name as
// it stands: logical paths ignore case, host file systems may not.
std::string matchcase(const std::string& folder, const std::string& name) {
    struct stat st;
    if (::lstat((folder + name).c_str(), &st) == 0) return name;
    DIR* d = ::opendir(folder.c_str());
    if (!d) return name;
    std::string found;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (equalsnocase(n, name) && (found.empty() || n < found)) found = n;
    }
    ::closedir(d);
    return found.empty() ? name : found;
}

}  // namespace

int SystemIo::removeall(const std::string& p) const {
    std::string name = p.substr(p.find_last_of('/') + 1);
    if (name.empty() || name == "." || name == "..") {
        errno = EINVAL;
        return -1;
    }
    FdGuard at{::open(parentof(p).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    struct stat st;
    if (at.fd < 0 || ::fstat(at.fd, &st) != 0) return -1;
    return removeat(at.fd, name, st.st_dev, 0) ? 0 : -1;
}

namespace {

// Journals name files by absolute paths, and recovery takes no other.
std::string absolutefolder(const std::string& given) {
    std::string folder = given;
    std::error_code ec;
    if (!folder.empty() && folder[0] != '/')
        if (auto abs = fs::absolute(folder, ec); !ec) folder = abs.lexically_normal().string();
    // No slash at the end, but for the root.
    size_t last = folder.find_last_not_of('/');
    folder.resize(last == std::string::npos ? std::min<size_t>(folder.size(), 1) : last + 1);
    return folder;
}

}  // namespace

Files::Files(std::string programfolder)
    : programfolder_(absolutefolder(programfolder)),
      io_(std::make_unique<SystemIo>()),
      spares_(programfolder_) {}

Files::~Files() = default;

void Files::sethostio(std::unique_ptr<HostIo> io) { io_ = std::move(io); }

std::string Files::hostpath(const std::string& logical) const {
    // A name read from a file (the data folder of the setup file) may hold anything: a control
    // character names no file this program writes.
    for (unsigned char c : logical)
        if (c < 0x20 || c == 0x7f) throwfileerror(52);
    std::string p = logical;
    std::replace(p.begin(), p.end(), '/', '\\');
    char letter = 0;
    if (p.size() >= 2 && isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
        letter = static_cast<char>(toupper(static_cast<unsigned char>(p[0])));
        p = p.substr(2);
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= p.size()) {
        size_t e = p.find('\\', start);
        std::string part = p.substr(start, e == std::string::npos ? std::string::npos : e - start);
        if (part == "." || part == "..") throwfileerror(52);
        if (!part.empty()) parts.push_back(part);
        if (e == std::string::npos) break;
        start = e + 1;
    }
    if (!letter) {
        // No drive letter: a host path as it stands.
        std::replace(p.begin(), p.end(), '\\', '/');
        return p;
    }
    std::string root;
    size_t skip = 0;
    if (letter == 'C' && !parts.empty() && equalsnocase(parts[0], "Vantrope")) {
        root = programfolder_;
        skip = 1;
    } else {
        root = driveroot(letter);
        if (root.empty()) throwfileerror(68);
    }
    std::string out = root;
    for (size_t i = skip; i < parts.size(); ++i) {
        if (out.empty() || out.back() != '/') out += '/';
        out += matchcase(out, parts[i]);
    }
    return out;
}

bool Files::exists(const std::string& logical) const try {
    std::string host = hostpath(logical);
    if (open_)
        if (const StagedFile* f = open_->find(host)) return !f->removed;
    struct stat st;
    if (hostio().stat(host, st) == 0) return true;
    // A file that cannot be looked at is not taken for missing: a rewrite would drop it.
    if (errno != ENOENT && errno != ENOTDIR) throwerrno(errno, host);
    return false;
} catch (FileError& e) {
    nameerror(e, logical);
    throw;
}

namespace {

// A file's stamp, looked at directly (not through the HostIo).
FileStamp stamphost(const std::string& host) {
    FileStamp s;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    s.seen = now.tv_sec * 1000000000LL + now.tv_nsec;
    struct stat st;
    if (::stat(host.c_str(), &st) != 0) return s;
    s.exists = true;
    s.size = st.st_size;
    s.mtime = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    s.inode = static_cast<long long>(st.st_ino);
    s.device = static_cast<long long>(st.st_dev);
    return s;
}

}  // namespace

FileStamp Files::stamp(const std::string& logical) const { return stamphost(hostpath(logical)); }

bool Files::ownversion(const std::string& logical, const FileStamp& now) const {
    auto it = written_.find(hostpath(logical));
    return now.exists && it != written_.end() && it->second.samefile(now);
}

void Files::notewritten(const std::string& host, bool removed) {
    if (removed)
        written_.erase(host);
    else
        written_[host] = stamphost(host);
}

bool Files::isfolder(const std::string& logical) const { return hostisdir(hostpath(logical)); }

void Files::probe(const std::string& logical) const { input(logical, false); }

std::string Files::readall(const std::string& logical) const { return input(logical, true); }

std::string Files::input(const std::string& logical, bool read) const try {
    std::string host = hostpath(logical);
    if (open_)
        if (const StagedFile* f = open_->find(host)) {
            if (f->removed) throwfileerror(53);
            return read ? f->bytes : std::string();
        }
    const HostIo& io = hostio();
    // The open cannot wait (on a FIFO put in a file's place): only a plain file is read.
    FdGuard fd{io.open(host, O_RDONLY | O_NONBLOCK | O_NOCTTY)};
    if (fd.fd < 0) throwerrno(errno, host);
    struct stat st {};
    if (::fstat(fd.fd, &st) == 0 && !S_ISREG(st.st_mode)) throwfileerror(75);
    std::string out;
    if (!read) return out;
    if (st.st_size > static_cast<off_t>(kmaxread)) throwfileerror(7);
    char buf[65536];
    for (;;) {
        ssize_t n = io.read(fd.fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throwerrno(errno, host);
        if (n == 0) break;
        if (out.size() + static_cast<size_t>(n) > kmaxread) throwfileerror(7);
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
} catch (FileError& e) {
    nameerror(e, logical);
    throw;
}

void Files::mkdir(const std::string& logical) try {
    std::string host = hostpath(logical);
    if (hostio().mkdir(host) != 0) throwerrno(errno, host);
} catch (FileError& e) {
    nameerror(e, logical);
    throw;
}

std::vector<std::string> Files::listfolders(const std::string& logical) const {
    std::string host = hostpath(logical);
    std::vector<std::string> out;
    DIR* d = hostio().opendir(host);
    if (!d) throwfileerror(errnotonumber(errno, true));  // the folder listed is the path
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        if (hostisdir(host + "/" + n)) out.push_back(n);
    }
    ::closedir(d);
    // The program folder is "C:\Vantrope" wherever it lives on the host: it is always one of
    // the folders of drive C's root, so the way back to it is never lost.
    std::string rest = logical.size() >= 2 ? logical.substr(2) : "";
    bool croot = logical.size() >= 2 && toupper(static_cast<unsigned char>(logical[0])) == 'C' &&
                 logical[1] == ':' && rest.find_first_not_of("\\/") == std::string::npos;
    if (croot && std::none_of(out.begin(), out.end(),
                              [](const std::string& n) { return equalsnocase(n, "Vantrope"); }))
        out.push_back("Vantrope");
    std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return comparenocase(a, b) < 0; });
    return out;
}

std::vector<std::string> Files::listfiles(const std::string& logical,
                                          const std::string& pattern) const {
    std::string host = hostpath(logical);
    std::vector<std::string> out;
    DIR* d = hostio().opendir(host);
    if (!d) throwfileerror(errnotonumber(errno, true));  // the folder listed is the path
    std::string pat = pattern == "*.*" ? "*" : pattern;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == ".." || hostisdir(host + "/" + n)) continue;
        if (n.back() == '~') continue;   // temporaries and the journal
        if (n.front() == '.') continue;  // the program's own records beside the data files
        if (::fnmatch(pat.c_str(), n.c_str(), FNM_CASEFOLD) == 0) out.push_back(n);
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return comparenocase(a, b) < 0; });
    return out;
}

// ---- record writer

void RecordWriter::sep() {
    if (!first_) out_ += ',';
    first_ = false;
}

RecordWriter& RecordWriter::str(const std::string& s) {
    // A quote or a line end inside a text would make the line read back as something else.
    if (s.find_first_of("\"\r\n") != std::string::npos) throwfileerror(5);
    sep();
    out_ += '"' + s + '"';
    return *this;
}

RecordWriter& RecordWriter::num(long long n) {
    sep();
    out_ += std::to_string(n);
    return *this;
}

RecordWriter& RecordWriter::num(Money m) {
    sep();
    out_ += m.tostring();
    return *this;
}

RecordWriter& RecordWriter::num(double d) {
    sep();
    out_ += numtext(d);
    return *this;
}

RecordWriter& RecordWriter::end() {
    out_ += "\r\n";
    first_ = true;
    return *this;
}

// ---- append file

void AppendFile::open(const Files& files, const std::string& logical) {
    close();
    std::string host = files.hostpath(logical);
    files_ = &files;
    try {
        // Opened only as a plain file, without waiting (on a FIFO put in its place).
        FdGuard fd{files.hostio().open(host, O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK)};
        if (fd.fd < 0) throwerrno(errno, host);
        struct stat st;
        if (::fstat(fd.fd, &st) == 0 && !S_ISREG(st.st_mode)) throwfileerror(75);
        std::swap(fd_, fd.fd);
    } catch (FileError& e) {
        nameerror(e, logical);
        throw;
    }
}

namespace {

long long filesize(int fd) {
    struct stat st;
    return ::fstat(fd, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// Takes the file back to its size before a failed write or sync, so it ends on a whole record.
void takeback(int fd, long long size) {
    if (size >= 0 && ::ftruncate(fd, static_cast<off_t>(size)) == 0) ::fsync(fd);
}

}  // namespace

void AppendFile::write(const std::string& bytes) {
    if (fd_ < 0) throwfileerror(52);
    const HostIo& io = files_->hostio();
    long long before = filesize(fd_);
    if (!writeall(io, fd_, bytes) || io.fsync(fd_) != 0) {
        int err = errno ? errno : EIO;
        takeback(fd_, before);
        throwfileerror(errnotonumber(err, false));
    }
}

void AppendFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace vt
