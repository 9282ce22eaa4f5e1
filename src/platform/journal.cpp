#include "platform/journal.h"

#include <algorithm>
#include <set>

namespace vt::journal {

std::string tempof(const std::string& host) { return host + kTemp; }

bool endswith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

namespace {

std::string endline(size_t count) { return "END " + std::to_string(count) + "\n"; }

}  // namespace

namespace {

// The seal of a journal: a hash of the program folder it was written in and of its changes. A
// journal damaged, or copied into another program folder, does not carry its own seal.
std::string sealof(const std::string& programfolder, const std::string& body) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (const std::string* part : {&programfolder, &body})
        for (unsigned char c : *part + "\n") {
            h ^= c;
            h *= 1099511628211ull;
        }
    static const char* digits = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) out[size_t(i)] = digits[h & 15];
    return kSeal + out;
}

}  // namespace

std::string journaltext(const std::vector<StagedFile>& files, const std::string& programfolder) {
    std::string out = kHeader;
    for (auto& f : files) out += std::string(f.removed ? "D " : "R ") + f.host + "\n";
    return out + sealof(programfolder, out) + "\n" + endline(files.size());
}

bool plainpath(const std::string& host) {
    if (host.empty() || host[0] != '/' || host.back() == '/') return false;
    for (unsigned char c : host)
        if (c < 0x20 || c == 0x7f) return false;
    for (size_t b = 1; b <= host.size();) {
        size_t e = std::min(host.find('/', b), host.size());
        std::string part = host.substr(b, e - b);
        if (part.empty() || part == "." || part == "..") return false;
        b = e + 1;
    }
    return true;
}

namespace {

bool startswith(const std::string& s, const std::string& start) {
    return s.compare(0, start.size(), start) == 0;
}

// True when `part` (a last line without its line end) can be the beginning of a line that may
// stand there: a change or the seal before the seal, the end line after it.
bool beginsline(const std::string& part, bool sealed, size_t count) {
    if (sealed) return startswith(endline(count), part);
    if ((part[0] == 'R' || part[0] == 'D') && (part.size() == 1 || part[1] == ' ')) return true;
    return startswith(kSeal, part) || startswith(part, kSeal);
}

}  // namespace

Parsed parsejournal(const std::string& text, const std::string& programfolder) {
    Parsed bad, out;
    // A power cut can leave a file's last blocks as zero bytes: they are where it was cut.
    size_t size = text.find_last_not_of('\0');
    size = size == std::string::npos ? 0 : size + 1;
    std::string t = text.substr(0, size);
    bool zeros = size != text.size();
    for (unsigned char c : t)
        if ((c < 0x20 && c != '\n') || c == 0x7f) return bad;
    const std::string header = kHeader;
    if (t.size() < header.size()) {
        out.shape = startswith(header, t) ? Shape::cut : Shape::bad;
        return out;
    }
    if (!startswith(t, header)) return bad;
    bool sealed = false;
    size_t pos = header.size();
    while (pos < t.size()) {
        size_t eol = t.find('\n', pos);
        if (eol == std::string::npos) {
            // A last line cut short: never acted on.
            if (!beginsline(t.substr(pos), sealed, out.entries.size())) return bad;
            break;
        }
        std::string line = t.substr(pos, eol - pos);
        size_t start = pos;
        pos = eol + 1;
        if (sealed) {
            // Only the end line follows the seal, and nothing follows the end line.
            if (line + "\n" != endline(out.entries.size()) || pos != t.size() || zeros) return bad;
            out.shape = Shape::whole;
            return out;
        }
        if (line.size() > 2 && (line[0] == 'R' || line[0] == 'D') && line[1] == ' ') {
            if (!plainpath(line.substr(2))) return bad;
            out.entries.push_back({line[0], line.substr(2)});
        } else if (startswith(line, kSeal) && line == sealof(programfolder, t.substr(0, start))) {
            sealed = true;
        } else {
            return bad;  // a seal of another folder or of other lines, or no line of a journal
        }
    }
    out.shape = Shape::cut;
    return out;
}

bool readhost(const HostIo& io, const std::string& host, std::string& out) {
    FdGuard fd{io.open(host, O_RDONLY | O_NOFOLLOW)};
    if (fd.fd < 0) return false;
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = io.read(fd.fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buf, static_cast<size_t>(n));
    }
}

// Creates or truncates a file, writes it whole and syncs it; FileError on failure.
void writesynced(const HostIo& io, const std::string& host, const std::string& bytes) {
    FdGuard fd{io.open(host, O_WRONLY | O_CREAT | O_TRUNC)};
    if (fd.fd < 0) throwerrno(errno, host);
    if (!writeall(io, fd.fd, bytes) || io.fsync(fd.fd) != 0) throwerrno(errno, host);
}

std::vector<std::string> foldersof(const std::vector<JournalEntry>& entries) {
    std::set<std::string> folders;
    for (auto& e : entries) folders.insert(parentof(e.host));
    return {folders.begin(), folders.end()};
}

// Makes the changes of a whole journal. A change already made (its temporary gone) is skipped, as
// is one whose folder is gone (a drive taken out): what it held cannot be changed any more.
std::vector<std::string> rollforward(const HostIo& io, const std::vector<JournalEntry>& entries,
                                     const Spares* spares) {
    std::vector<std::string> spared;
    for (auto& e : entries) {
        if (e.kind == 'R') {
            std::string temp = tempof(e.host);
            struct stat st;
            bool spare = spares && spares->covers(e.host);
            // Only while the new version waits beside it is the file moved aside: once the
            // temporary is gone the file in place is the new one.
            if (spare && io.stat(temp, st) != 0) {
                if (errno == ENOENT || errno == ENOTDIR) continue;
                throwerrno(errno, temp);
            }
            bool moved = spare && Spares::moveaside(io, e.host);
            if (io.rename(temp, e.host) != 0 && errno != ENOENT) throwerrno(errno, e.host);
            if (moved) spared.push_back(e.host);
        } else if (io.unlink(e.host) != 0 && errno != ENOENT) {
            throwerrno(errno, e.host);
        }
    }
    for (auto& folder : foldersof(entries))
        if (io.fsyncdir(folder) != 0 && errno != ENOENT) throwerrno(errno, folder);
    return spared;
}

// Removes the temporaries of a journal that is not to be made; false when one stays.
bool discard(const HostIo& io, const std::vector<JournalEntry>& entries) {
    bool ok = true;
    for (auto& e : entries) {
        struct stat st;
        if (e.kind != 'R' || (::lstat(tempof(e.host).c_str(), &st) == 0 && S_ISDIR(st.st_mode)))
            continue;
        if (io.unlink(tempof(e.host)) != 0 && errno != ENOENT) ok = false;
    }
    // The removals are on disk before the journal naming them goes: a power cut must not bring
    // back, in another folder, temporaries no journal names any more.
    for (auto& folder : foldersof(entries))
        if (io.fsyncdir(folder) != 0 && errno != ENOENT) ok = false;
    return ok;
}

// Removes stray temporaries ("*.tmp~") of one folder; failures wait for another time. Callers
// sweep only while no journal waits: the temporaries it names are what its recovery puts in place.
std::vector<std::string> sweepfolder(const HostIo& io, const std::string& folder, bool own) {
    std::vector<std::string> strays, kept;
    DIR* d = io.opendir(folder);
    if (!d) return kept;
    const size_t spare = std::string(kSpare).size();
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (!endswith(name, kTemp)) continue;
        std::string path = folder + "/" + name;
        if (own && name.size() > spare + 1 && name[0] == '.' && endswith(name, kSpare)) {
            std::string host = folder + "/" + name.substr(1, name.size() - 1 - spare);
            if (Spares::keepable(host)) {
                kept.push_back(host);
                continue;
            }
        }
        strays.push_back(path);
    }
    ::closedir(d);
    // A stray that is a folder (what a spare became) goes whole where the name is the program's.
    for (auto& s : strays)
        if (io.unlink(s) != 0 && (errno == EISDIR || errno == EPERM) && own) io.removeall(s);
    return kept;
}

// The folders a commit syncs before its commit point: the program folder (which holds the
// unfinished journal) first, then every other folder it puts a temporary in.
std::vector<std::string> syncorder(const std::string& pf,
                                   const std::vector<JournalEntry>& entries) {
    std::vector<std::string> out{pf};
    for (auto& folder : foldersof(entries))
        if (folder != pf) out.push_back(folder);
    return out;
}

}  // namespace vt::journal
