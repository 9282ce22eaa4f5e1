// Files' recovery at start-up and before each operation, and the sweeps of stray temporaries.
#include <algorithm>
#include <cstdlib>

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/journal.h"

namespace vt {

using namespace journal;

namespace {

const char* const kJournalAdvice =
    "This record of an unfinished change cannot be read, or names files this program did not "
    "write there, so nothing it names was changed. Move Journal~ out of the program folder and "
    "start the program again.";

// A journal that recovery will not act on: its box names it and says what to do.
[[noreturn]] void refusejournal(int number = 75) {
    FileError e(number, errortext(number));
    e.file = kJournalLogical;
    e.advice = kJournalAdvice;
    throw e;
}

// The real location of a folder, links resolved; "" when it cannot be found.
std::string realfolder(const std::string& host) {
    char* real = ::realpath(host.c_str(), nullptr);
    if (!real) return "";
    std::string out = real;
    ::free(real);
    return out;
}

// True when `real` is `folder` or lies inside it (both with links resolved); the root holds none.
bool inside(const std::string& real, const std::string& folder) {
    return folder != "/" && infolder(real, folder);
}

// The changes of a journal at the real locations of their folders. A change whose folder is
// inside none of `folders` is refused (`refused` set) or, when `skip`, left out; one whose folder
// is gone (a drive taken out) is left out: nothing there can be changed.
std::vector<JournalEntry> located(const std::vector<JournalEntry>& entries,
                                  const std::vector<std::string>& folders, bool skip,
                                  bool& refused) {
    std::vector<JournalEntry> out;
    refused = false;
    for (auto& e : entries) {
        std::string parent = parentof(e.host);
        std::string real = realfolder(parent);
        if (real.empty() && (errno == ENOENT || errno == ENOTDIR)) continue;
        bool ok = !real.empty() && std::any_of(folders.begin(), folders.end(),
                                               [&](auto& f) { return inside(real, f); });
        if (!ok && skip) continue;
        if (!ok) {
            refused = true;
            return {};
        }
        out.push_back({e.kind, (real == "/" ? "" : real) + e.host.substr(parent.size())});
    }
    return out;
}

// Reads a journal the program folder holds (`found`: its stat succeeded, into `st`); one that is
// not a file, or cannot be read, is refused.
std::string readjournal(const HostIo& io, const std::string& host, bool found,
                        const struct stat& st) {
    std::string text;
    if (!found) refusejournal(errnotonumber(errno, false));
    if (!S_ISREG(st.st_mode)) refusejournal();
    if (!readhost(io, host, text)) refusejournal(errnotonumber(errno, false));
    return text;
}

}  // namespace

bool isjournalrefusal(const FileError& e) { return e.file == kJournalLogical; }

// The folders whose files a commit may have written, with links resolved: the program folder,
// the folders this run swept or committed into (the data folder), and the removable drives (the
// data folder of a transfer).
std::vector<std::string> Files::ownfolders() const {
    std::vector<std::string> out{realfolder(programfolder_)};
    for (auto& d : swept_) out.push_back(realfolder(d));
    for (char letter : driveletters()) try {
            if (letter != 'c') out.push_back(realfolder(hostpath(std::string(1, letter) + ":\\")));
        } catch (const FileError&) {
        }
    return out;
}

void Files::recover() {
    // Another copy's change in progress is not a crash's leftovers.
    if (holds && !holds(programfolder_)) throwfileerror(70);
    pending_ = true;  // until the journal is dealt with
    const HostIo& io = hostio();
    std::string journal = programfolder_ + kJournal, journalnew = programfolder_ + kJournalNew;
    struct stat st;
    bool found = io.stat(journal, st) == 0;
    if (found || (errno != ENOENT && errno != ENOTDIR)) {
        Parsed p = parsejournal(readjournal(io, journal, found, st), programfolder_);
        if (p.shape == Shape::bad) refusejournal();
        bool refused;
        if (p.shape == Shape::whole) {
            // Made only when this program sealed it here and it names only files of the folders
            // its commits write.
            auto entries = located(p.entries, ownfolders(), false, refused);
            if (refused) refusejournal();
            rollforward(io, entries);
        } else if (!discard(io, located(p.entries, ownfolders(), true, refused))) {
            // Cut short: only its temporaries in those folders go.
            throwfileerror(57);
        }
        if (io.unlink(journal) != 0 && errno != ENOENT) throwerrno(errno, journal);
        // Unchecked: a journal that comes back after a power cut finds its changes made (their
        // folders were synced) and is made again as nothing.
        io.fsyncdir(programfolder_);
    }
    found = io.stat(journalnew, st) == 0;
    if (found || (errno != ENOENT && errno != ENOTDIR)) {
        // A journal whose commit never happened: only the temporaries it names in those folders
        // go, and none of one that is not a journal this program wrote here.
        Parsed p = parsejournal(readjournal(io, journalnew, found, st), programfolder_);
        bool refused;
        if (p.shape != Shape::bad && !discard(io, located(p.entries, ownfolders(), true, refused)))
            throwfileerror(57);
        if (io.unlink(journalnew) != 0 && errno != ENOENT) throwerrno(errno, journalnew);
    }
    pending_ = false;
}

std::optional<FileError> Files::startup() {
    try {
        recover();
    } catch (const FileError& e) {
        // The journal stays; the next operation tries again and waits for it.
        if (e.file.empty()) return std::nullopt;
        return e;
    }
    sweepkeeping(programfolder_);
    swept_.insert(programfolder_);
    std::vector<std::string> subs;
    try {
        subs = listfolders(programfolder_);
    } catch (const FileError&) {
        return std::nullopt;  // no program folder yet: nothing to sweep
    }
    std::string real = realfolder(programfolder_);
    for (auto& sub : subs) {
        // A linked folder whose real location is elsewhere holds no temporaries of ours.
        std::string subreal = realfolder(programfolder_ + "/" + sub);
        if (subreal == real || !inside(subreal, real)) continue;
        sweepkeeping(programfolder_ + "/" + sub);
        swept_.insert(programfolder_ + "/" + sub);
    }
    return std::nullopt;
}

void Files::sweep(const std::string& logicalfolder) {
    std::string host;
    try {
        host = hostpath(logicalfolder);
    } catch (const FileError&) {
        return;  // a drive not there
    }
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    if (swept_.count(host) || (holds && !holds(host))) return;
    const HostIo& io = hostio();
    // While a journal waits (its recovery failed), the temporaries it names are its new files.
    struct stat st;
    if (pending_ || io.stat(programfolder_ + kJournal, st) == 0 || errno != ENOENT) return;
    swept_.insert(host);
    sweepkeeping(host);
}

void Files::sweepkeeping(const std::string& folder) {
    const HostIo& io = hostio();
    std::vector<std::string> kept = sweepfolder(io, folder, spares_.covers(folder));
    if (!kept.empty() && io.fsyncdir(folder) == 0) spares_.ready(kept);
}

}  // namespace vt
