#include "platform/transaction.h"

#include <algorithm>
#include <set>

#include "platform/hostio.h"

namespace vt {

namespace {

constexpr const char* kJournal = "/Journal~";         // a whole journal: its changes are to be made
constexpr const char* kJournalNew = "/Journal.new~";  // a journal being written: to be discarded
constexpr const char* kHeader = "VANTROPE JOURNAL 1\n";
constexpr const char* kTemp = ".tmp~";

std::string tempof(const std::string& host) { return host + kTemp; }

bool endswith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// One change named by a journal: 'R' puts <file>.tmp~ in place of <file>, 'D' deletes <file>.
struct JournalEntry {
    char kind;
    std::string host;
};

std::string journaltext(const std::vector<StagedFile>& files) {
    std::string out = kHeader;
    for (auto& f : files) out += std::string(f.removed ? "D " : "R ") + f.host + "\n";
    return out;
}

std::string endline(size_t count) { return "END " + std::to_string(count) + "\n"; }

// The entries of a journal, and whether it was written whole (header, entries, end line).
std::vector<JournalEntry> parsejournal(const std::string& text, bool& whole) {
    std::vector<JournalEntry> out;
    whole = false;
    if (text.compare(0, std::string(kHeader).size(), kHeader) != 0) return out;
    size_t pos = std::string(kHeader).size();
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) break;  // a line cut short
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (line.size() > 2 && (line[0] == 'R' || line[0] == 'D') && line[1] == ' ') {
            out.push_back({line[0], line.substr(2)});
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

}  // namespace

StagedFile* Staging::find(const std::string& host) {
    for (auto& f : files)
        if (f.host == host) return &f;
    return nullptr;
}

// ---- staging (and single-change transactions)

namespace {

// Stages into the open transaction of files, or runs a transaction of its own around stage.
template <class F>
void staged(const Files& files, Staging*& open, F stage) {
    if (open) {
        stage(*open);
        return;
    }
    Transaction tx(files);
    stage(*open);
    tx.commit();
}

StagedFile& slot(const Files& files, Staging& s, const std::string& logical,
                 const std::string& host) {
    if (StagedFile* f = s.find(host)) return *f;
    s.files.push_back(
        StagedFile{host, logical, files.labeler ? files.labeler() : std::string(), false, {}});
    return s.files.back();
}

void replaced(const Files& files, Staging*& open, const std::string& logical,
              const std::string& bytes, const std::string& from) try {
    std::string host = files.hostpath(logical);
    if (hostisdir(host)) throwfileerror(75);
    staged(files, open, [&](Staging& s) {
        StagedFile& f = slot(files, s, logical, host);
        f.removed = false;
        f.bytes = bytes;
        if (files.companion) files.companion(logical, &bytes, from);
    });
} catch (FileError& e) {
    nameerror(e, logical);
    throw;
}

}  // namespace

void Files::replacefile(const std::string& logical, const std::string& bytes) const {
    replaced(*this, open_, logical, bytes, "");
}

void Files::append(const std::string& logical, const std::string& bytes) const try {
    std::string host = hostpath(logical);
    staged(*this, open_, [&](Staging& s) {
        // Read before the slot is made: the slot would hide the file on disk.
        std::string old = exists(logical) ? readall(logical) : std::string();
        old += bytes;
        StagedFile& f = slot(*this, s, logical, host);
        f.removed = false;
        f.bytes = old;
        // The companion may stage more files: it is given its own copy, not the slot's.
        if (companion) companion(logical, &old, "");
    });
} catch (FileError& e) {
    nameerror(e, logical);
    throw;
}

void Files::remove(const std::string& logical) const try {
    std::string host = hostpath(logical);
    staged(*this, open_, [&](Staging& s) {
        if (!exists(logical)) throwfileerror(53);
        StagedFile& f = slot(*this, s, logical, host);
        f.removed = true;
        f.bytes.clear();
        if (companion) companion(logical, nullptr, "");
    });
} catch (FileError& e) {
    nameerror(e, logical);
    throw;
}

void Files::copy(const std::string& from, const std::string& to) const {
    replaced(*this, open_, to, readall(from), from);
}

// ---- recovery

void Files::recover() const {
    pending_ = true;  // until the journal is dealt with
    HostIo io{*this};
    std::string text;
    struct stat st;
    std::string journal = programfolder_ + kJournal, journalnew = programfolder_ + kJournalNew;
    if (io.stat(journal, st) == 0) {
        if (!readhost(io, journal, text)) throwerrno(errno, journal);
        bool whole;
        auto entries = parsejournal(text, whole);
        if (whole) {
            rollforward(io, entries);
        } else if (!discard(io, entries)) {
            throwfileerror(57);
        }
        if (io.unlink(journal) != 0 && errno != ENOENT) throwerrno(errno, journal);
        // Unchecked: a journal that comes back after a power cut finds its changes made (their
        // folders were synced) and is made again as nothing.
        io.fsyncdir(programfolder_);
    } else if (errno != ENOENT) {
        throwerrno(errno, journal);
    }
    if (io.stat(journalnew, st) == 0) {
        if (!readhost(io, journalnew, text)) throwerrno(errno, journalnew);
        bool whole;
        if (!discard(io, parsejournal(text, whole))) throwfileerror(57);
        if (io.unlink(journalnew) != 0 && errno != ENOENT) throwerrno(errno, journalnew);
    } else if (errno != ENOENT) {
        throwerrno(errno, journalnew);
    }
    pending_ = false;
}

void Files::startup() const {
    try {
        recover();
    } catch (const FileError&) {
        return;  // the journal stays; the next operation tries again and waits for it
    }
    HostIo io{*this};
    sweepfolder(io, programfolder_);
    swept_.insert(programfolder_);
    std::vector<std::string> subs;
    try {
        subs = listfolders(programfolder_);
    } catch (const FileError&) {
        return;  // no program folder yet: nothing to sweep
    }
    for (auto& sub : subs) {
        sweepfolder(io, programfolder_ + "/" + sub);
        swept_.insert(programfolder_ + "/" + sub);
    }
}

void Files::sweep(const std::string& logicalfolder) const {
    std::string host;
    try {
        host = hostpath(logicalfolder);
    } catch (const FileError&) {
        return;  // a drive not there
    }
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    if (swept_.count(host)) return;
    HostIo io{*this};
    // While a journal waits (its recovery failed), the temporaries it names are its new files.
    struct stat st;
    if (pending_ || io.stat(programfolder_ + kJournal, st) == 0 || errno != ENOENT) return;
    swept_.insert(host);
    sweepfolder(io, host);
}

// ---- commit

Transaction::Transaction(const Files& files) : files_(files) {
    if (files_.open_) return;  // joins the open transaction
    staging_ = std::make_unique<Staging>();
    files_.open_ = staging_.get();
}

Transaction::~Transaction() {
    if (staging_ && files_.open_ == staging_.get()) files_.open_ = nullptr;
}

void Transaction::commit() try {
    if (!staging_) return;
    files_.open_ = nullptr;
    std::unique_ptr<Staging> s = std::move(staging_);
    std::vector<StagedFile>& files = s->files;
    if (files.empty()) return;
    failedlabel_ = files.front().label;
    failedfile_ = files.front().logical;
    const Files& fl = files_;
    HostIo io{fl};
    const std::string& pf = fl.programfolder();
    std::string journal = pf + kJournal, journalnew = pf + kJournalNew;

    struct Span {
        const Files& f;
        long first;
        ~Span() { f.spans_.emplace_back(first, f.calls_); }
    } span{fl, fl.calls_ + 1};
    // A journal left by an earlier operation is made first, so this one cannot overtake it; when
    // it was pending while this operation read its files, this one is refused (it may have read
    // them old).
    bool waspending = fl.pending_;
    fl.recover();
    if (waspending) throwfileerror(57);
    // A program folder that has gone is not made again: the journal's write fails with 76.
    std::vector<JournalEntry> entries;
    for (auto& f : files) entries.push_back({f.removed ? 'D' : 'R', f.host});
    for (auto& folder : foldersof(entries))
        if (fl.swept_.insert(folder).second) sweepfolder(io, folder);

    // Before the commit point a failure takes back the temporaries and the journal.
    std::string jtext = journaltext(files);
    size_t written = 0;
    try {
        writesynced(io, journalnew, jtext);
        for (; written < files.size(); ++written) {
            const StagedFile& f = files[written];
            if (f.removed) continue;
            failedlabel_ = f.label;
            failedfile_ = f.logical;
            writesynced(io, tempof(f.host), f.bytes);
        }
        failedlabel_ = files.front().label;
        failedfile_ = files.front().logical;
        // The program folder first: a temporary whose name is on disk then always has the
        // unfinished journal that names it there too, so a recovery can take it away.
        for (auto& folder : syncorder(pf, entries))
            if (io.fsyncdir(folder) != 0) throwerrno(errno, folder);
        FdGuard fd{io.open(journalnew, O_WRONLY | O_APPEND)};
        if (fd.fd < 0 || !writeall(io, fd.fd, endline(entries.size())) || io.fsync(fd.fd) != 0)
            throwerrno(errno, journalnew);
        if (io.rename(journalnew, journal) != 0) throwerrno(errno, journal);  // the commit point
    } catch (const FileError&) {
        for (size_t i = 0; i < files.size() && i <= written; ++i)
            if (!files[i].removed) io.unlink(tempof(files[i].host));
        io.unlink(journalnew);
        throw;
    }
    // The commit point counts once its new name is on disk; when that cannot be made sure, the
    // operation is taken back and fails.
    if (io.fsyncdir(pf) != 0) {
        int err = errno;
        // The journal goes back to its unfinished name first, so no recovery makes it, then its
        // temporaries go. When even that rename fails, the journal stays for a recovery to
        // complete: the outcome is undecided, and later commits wait for that recovery.
        if (io.rename(journal, journalnew) != 0) {
            fl.pending_ = true;
            ++fl.undecided_;
        } else if (discard(io, entries) && io.unlink(journalnew) == 0) {
            io.fsyncdir(pf);
        }
        throwerrno(err, pf);
    }
    failedlabel_.clear();
    failedfile_.clear();
    ++fl.commits_;
    // The operation has happened. What cannot be put in place now is left to recover().
    try {
        rollforward(io, entries);
        // What is on disk now is this program's own version of each file.
        for (auto& f : files) fl.notewritten(f.host, f.removed);
        if (io.unlink(journal) != 0) throwerrno(errno, journal);
        io.fsyncdir(pf);
    } catch (const FileError&) {
        try {
            fl.recover();
        } catch (const FileError&) {
        }
    }
} catch (FileError& e) {
    // The box names the file the commit failed on.
    if (!failedfile_.empty()) nameerror(e, failedfile_);
    throw;
}

}  // namespace vt
