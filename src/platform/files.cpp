#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/text.h"

namespace vt {

namespace fs = std::filesystem;

std::string errortext(int n) {
    switch (n) {
        case 5: return "Invalid procedure call or argument";
        case 6: return "Overflow";
        case 9: return "Subscript out of range";
        case 13: return "Type mismatch";
        case 52: return "Bad file name or number";
        case 53: return "File not found";
        case 55: return "File already open";
        case 57: return "Device I/O error";
        case 58: return "File already exists";
        case 61: return "Disk full";
        case 62: return "Input past end of file";
        case 67: return "Too many files";
        case 68: return "Device unavailable";
        case 70: return "Permission denied";
        case 71: return "Disk not ready";
        case 75: return "Path/File access error";
        case 76: return "Path not found";
        default: return "Application-defined or object-defined error";
    }
}

void throwfileerror(int n) { throw FileError(n, errortext(n)); }

int errnotonumber(int err, bool folder_missing) {
    switch (err) {
        case ENOENT: return folder_missing ? 76 : 53;
        case ENOTDIR: return 76;
        case EEXIST: return 75;
        case EACCES: case EPERM: case EROFS: return 70;
        case ENOSPC: case EDQUOT: case EFBIG: return 61;
        case EMFILE: case ENFILE: return 67;
        case EISDIR: return 75;
        case ENAMETOOLONG: return 52;
        default: return 57;
    }
}

namespace {

bool hostisdir(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string parentof(const std::string& p) {
    auto s = p.find_last_of('/');
    if (s == std::string::npos) return ".";
    return s == 0 ? "/" : p.substr(0, s);
}

[[noreturn]] void throwerrno(int err, const std::string& host) {
    bool folder_missing = err == ENOENT && !hostisdir(parentof(host));
    throwfileerror(errnotonumber(err, folder_missing));
}

// Mounted removable folders: subfolders of /media, /run/media and /mnt (and one level of
// per-user folders under /media and /run/media), in path order.
std::vector<std::string> mountedfolders() {
    std::vector<std::string> out;
    for (const char* root : {"/media", "/run/media", "/mnt"}) {
        std::error_code ec;
        std::vector<std::string> level;
        for (auto& e : fs::directory_iterator(root, ec))
            if (e.is_directory(ec)) level.push_back(e.path().string());
        std::sort(level.begin(), level.end());
        for (auto& l : level) {
            bool user = std::string(root) != "/mnt" && !fs::is_empty(l, ec) && ::access((l + "/.").c_str(), R_OK) == 0;
            std::vector<std::string> sub;
            if (user && std::string(root) == "/run/media") {
                for (auto& e : fs::directory_iterator(l, ec))
                    if (e.is_directory(ec)) sub.push_back(e.path().string());
                std::sort(sub.begin(), sub.end());
                out.insert(out.end(), sub.begin(), sub.end());
            } else {
                out.push_back(l);
            }
        }
    }
    return out;
}

std::string driveroot(char letter, const std::string& programfolder) {
    letter = static_cast<char>(toupper(static_cast<unsigned char>(letter)));
    std::string env = std::string("VANTROPE_DRIVE_") + letter;
    if (const char* v = std::getenv(env.c_str()); v && *v) return v;
    (void)programfolder;
    if (letter == 'C') return "/";
    if (letter < 'D' || letter > 'Z') return "";
    auto m = mountedfolders();
    size_t i = static_cast<size_t>(letter - 'D');
    return i < m.size() ? m[i] : "";
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

Files::Files(std::string programfolder) : programfolder_(std::move(programfolder)) {
    while (programfolder_.size() > 1 && programfolder_.back() == '/') programfolder_.pop_back();
}

std::string Files::hostpath(const std::string& logical) const {
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
        root = driveroot(letter, programfolder_);
        if (root.empty()) throwfileerror(68);
    }
    std::string out = root;
    for (size_t i = skip; i < parts.size(); ++i) {
        if (out.empty() || out.back() != '/') out += '/';
        out += matchcase(out, parts[i]);
    }
    return out;
}

std::vector<char> Files::drives() const {
    std::vector<char> out{'c'};
    auto m = mountedfolders();
    for (char l = 'D'; l <= 'Z'; ++l) {
        std::string env = std::string("VANTROPE_DRIVE_") + l;
        const char* v = std::getenv(env.c_str());
        size_t i = static_cast<size_t>(l - 'D');
        if ((v && *v) || i < m.size()) out.push_back(static_cast<char>(tolower(l)));
    }
    return out;
}

bool Files::exists(const std::string& logical) const {
    struct stat st;
    return ::stat(hostpath(logical).c_str(), &st) == 0;
}

bool Files::isfolder(const std::string& logical) const { return hostisdir(hostpath(logical)); }

std::string Files::readall(const std::string& logical) const {
    std::string host = hostpath(logical);
    int fd = ::open(host.c_str(), O_RDONLY);
    if (fd < 0) throwerrno(errno, host);
    if (hostisdir(host)) {
        ::close(fd);
        throwfileerror(75);
    }
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            int err = errno;
            ::close(fd);
            throwerrno(err, host);
        }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return out;
}

namespace {
void writeallfd(int fd, const std::string& bytes, const std::string& host) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            throwerrno(err, host);
        }
        done += static_cast<size_t>(n);
    }
}
}  // namespace

void Files::replacefile(const std::string& logical, const std::string& bytes) const {
    std::string host = hostpath(logical);
    if (hostisdir(host)) throwfileerror(75);
    std::string tmp = host + ".tmp~";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throwerrno(errno, host);
    try {
        writeallfd(fd, bytes, tmp);
    } catch (...) {
        ::unlink(tmp.c_str());
        throw;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        throwerrno(err, host);
    }
    if (::rename(tmp.c_str(), host.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        throwerrno(err, host);
    }
    int dfd = ::open(parentof(host).c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

void Files::append(const std::string& logical, const std::string& bytes) const {
    std::string host = hostpath(logical);
    int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) throwerrno(errno, host);
    struct stat st;
    off_t before = ::fstat(fd, &st) == 0 ? st.st_size : -1;
    int err = 0;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            err = errno;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (!err && ::fsync(fd) != 0) err = errno;
    // A failed append takes back what it wrote: no half record is left at the end of the file.
    if (err && before >= 0 && ::ftruncate(fd, before) == 0) ::fsync(fd);
    ::close(fd);
    if (err) throwerrno(err, host);
}

void Files::mkdir(const std::string& logical) const {
    std::string host = hostpath(logical);
    if (::mkdir(host.c_str(), 0755) != 0) throwerrno(errno, host);
}

void Files::remove(const std::string& logical) const {
    std::string host = hostpath(logical);
    if (::unlink(host.c_str()) != 0) throwerrno(errno, host);
}

void Files::copy(const std::string& from, const std::string& to) const { replacefile(to, readall(from)); }

std::vector<std::string> Files::listfolders(const std::string& logical) const {
    std::string host = hostpath(logical);
    std::vector<std::string> out;
    DIR* d = ::opendir(host.c_str());
    if (!d) throwfileerror(errnotonumber(errno, true));  // the folder listed is the path
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        if (hostisdir(host + "/" + n)) out.push_back(n);
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return comparenocase(a, b) < 0; });
    return out;
}

std::vector<std::string> Files::listfiles(const std::string& logical, const std::string& pattern) const {
    std::string host = hostpath(logical);
    std::vector<std::string> out;
    DIR* d = ::opendir(host.c_str());
    if (!d) throwfileerror(errnotonumber(errno, true));  // the folder listed is the path
    std::string pat = pattern == "*.*" ? "*" : pattern;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == ".." || hostisdir(host + "/" + n)) continue;
        if (n.size() > 5 && n.substr(n.size() - 5) == ".tmp~") continue;
        if (::fnmatch(pat.c_str(), n.c_str(), FNM_CASEFOLD) == 0) out.push_back(n);
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return comparenocase(a, b) < 0; });
    return out;
}

// ---- record reader

RecordReader RecordReader::open(const Files& files, const std::string& logical) {
    return RecordReader(files.readall(logical));
}

bool RecordReader::eof() const {
    for (size_t i = pos_; i < data_.size(); ++i) {
        char c = data_[i];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\x1a') return false;
    }
    return true;
}

Field RecordReader::field() {
    if (eof()) throwfileerror(62);
    Field f;
    size_t n = data_.size();
    while (pos_ < n && (data_[pos_] == ' ' || data_[pos_] == '\t')) ++pos_;
    // Line ends before any field text: skip blank lines. After a comma a line end closes an
    // empty field instead.
    while (!aftercomma_ && pos_ < n && (data_[pos_] == '\r' || data_[pos_] == '\n')) {
        ++pos_;
        while (pos_ < n && (data_[pos_] == ' ' || data_[pos_] == '\t')) ++pos_;
    }
    aftercomma_ = false;
    if (pos_ < n && data_[pos_] == '"') {
        f.quoted = true;
        size_t close = data_.find('"', pos_ + 1);
        if (close == std::string::npos) close = n;
        f.text = data_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = std::min(n, close + 1);
        // Skip to the separator.
        while (pos_ < n && data_[pos_] != ',' && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
    } else {
        size_t s = pos_;
        while (pos_ < n && data_[pos_] != ',' && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
        f.text = trim(data_.substr(s, pos_ - s));
    }
    if (pos_ < n) {
        if (data_[pos_] == ',') {
            ++pos_;
            aftercomma_ = true;
        } else if (data_[pos_] == '\r') {
            ++pos_;
            if (pos_ < n && data_[pos_] == '\n') ++pos_;
        } else {
            ++pos_;
        }
    }
    return f;
}

std::string RecordReader::text() { return field().text; }

long long RecordReader::integer() {
    Field f = field();
    if (trim(f.text).empty()) return 0;
    double d;
    if (!parsenumber(f.text, d)) throwfileerror(13);
    if (std::fabs(d) >= 9.2e18) throwfileerror(6);
    return static_cast<long long>(std::llround(d));
}

double RecordReader::number() {
    Field f = field();
    if (trim(f.text).empty()) return 0;
    double d;
    if (!parsenumber(f.text, d)) throwfileerror(13);
    return d;
}

Money RecordReader::money() {
    Field f = field();
    if (trim(f.text).empty()) return Money();
    Money m;
    if (!Money::parse(f.text, m)) throwfileerror(13);
    return m;
}

std::string RecordReader::line() {
    if (pos_ >= data_.size()) throwfileerror(62);
    aftercomma_ = false;
    size_t s = pos_;
    while (pos_ < data_.size() && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
    std::string out = data_.substr(s, pos_ - s);
    if (pos_ < data_.size() && data_[pos_] == '\r') ++pos_;
    if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
    return out;
}

// ---- record writer

void RecordWriter::sep() {
    if (!first_) out_ += ',';
    first_ = false;
}

RecordWriter& RecordWriter::str(const std::string& s) {
    if (s.find('"') != std::string::npos) throwfileerror(5);
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
    f_ = std::fopen(host.c_str(), "ab");
    if (!f_) throwerrno(errno, host);
    // Unbuffered: each record goes to the file at once, and a failed one leaves no bytes behind.
    std::setvbuf(f_, nullptr, _IONBF, 0);
}

void AppendFile::write(const std::string& bytes) {
    if (!f_) throwfileerror(52);
    int fd = fileno(f_);
    struct stat st;
    off_t before = ::fstat(fd, &st) == 0 ? st.st_size : -1;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size() || std::fflush(f_) != 0) {
        int err = errno ? errno : EIO;
        // Take back a half-written record; the stream is unbuffered, so nothing of it is retried.
        std::clearerr(f_);
        if (before >= 0 && ::ftruncate(fd, before) == 0) ::fsync(fd);
        throwfileerror(errnotonumber(err, false));
    }
    ::fsync(fd);
}

void AppendFile::close() {
    if (f_) std::fclose(f_);
    f_ = nullptr;
}

}  // namespace vt
