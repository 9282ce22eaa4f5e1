#include "platform/journal.h"

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

// The entries of a journal, whether it was written whole (header, entries, seal, end line) and
// whether its seal is the one written for `programfolder` (a journal from before seals had none).
std::vector<JournalEntry> parsejournal(const std::string& text, const std::string& programfolder,
                                       bool& whole, Seal& seal) {
    std::vector<JournalEntry> out;
    whole = false;
    seal = Seal::none;
    if (text.compare(0, std::string(kHeader).size(), kHeader) != 0) return out;
    size_t pos = std::string(kHeader).size();
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) break;  // a line cut short
        std::string line = text.substr(pos, eol - pos);
        size_t start = pos;
        pos = eol + 1;
        if (line.size() > 2 && (line[0] == 'R' || line[0] == 'D') && line[1] == ' ') {
            out.push_back({line[0], line.substr(2)});
        } else if (seal == Seal::none && line.compare(0, kSeal.size(), kSeal) == 0) {
            seal = line == sealof(programfolder, text.substr(0, start)) ? Seal::good : Seal::bad;
        } else {
            whole = line + "\n" == endline(out.size()) && pos == text.size();
            break;
        }
    }
    return out;
}

bool readhost(const HostIo& io, const std::string& host, std::string& out) {
    FdGuard fd{io.open(host, O_RDONLY)};
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
void rollforward(const HostIo& io, const std::vector<JournalEntry>& entries) {
    for (auto& e : entries) {
        if (e.kind == 'R') {
            if (io.rename(tempof(e.host), e.host) != 0 && errno != ENOENT)
                throwerrno(errno, e.host);
        } else if (io.unlink(e.host) != 0 && errno != ENOENT) {
            throwerrno(errno, e.host);
        }
    }
    for (auto& folder : foldersof(entries))
        if (io.fsyncdir(folder) != 0 && errno != ENOENT) throwerrno(errno, folder);
}

// Removes the temporaries of a journal that is not to be made; false when one stays.
bool discard(const HostIo& io, const std::vector<JournalEntry>& entries) {
    bool ok = true;
    for (auto& e : entries)
        if (e.kind == 'R' && io.unlink(tempof(e.host)) != 0 && errno != ENOENT) ok = false;
    return ok;
}

// Removes stray temporaries ("*.tmp~") of one folder; failures wait for another time. Callers
// sweep only while no journal waits: the temporaries it names are what its recovery puts in place.
void sweepfolder(const HostIo& io, const std::string& folder) {
    DIR* d = io.opendir(folder);
    if (!d) return;
    std::vector<std::string> strays;
    while (dirent* e = ::readdir(d))
        if (endswith(e->d_name, kTemp)) strays.push_back(folder + "/" + e->d_name);
    ::closedir(d);
    for (auto& s : strays) io.unlink(s);
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
