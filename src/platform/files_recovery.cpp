// Files' recovery at start-up and before each operation, and the sweeps of stray temporaries.
#include <algorithm>

#include "platform/files.h"
#include "platform/journal.h"

namespace vt {

using namespace journal;

namespace {

const char* const kJournalName = "C:\\Vantrope\\Journal~";
const char* const kJournalAdvice =
    "This record of an unfinished change cannot be read, or names files this program did not "
    "write there, so nothing it names was changed. Move Journal~ out of the program folder and "
    "start the program again.";

// A journal that recovery will not act on: its box names it and says what to do.
[[noreturn]] void refusejournal(int number = 75) {
    FileError e(number, errortext(number));
    e.file = kJournalName;
    e.advice = kJournalAdvice;
    throw e;
}

// A path with no "." or ".." component, as the program names the files it writes.
bool plainpath(const std::string& host) {
    if (host.empty() || host[0] != '/' || host.back() == '/') return false;
    for (size_t b = 1; b <= host.size();) {
        size_t e = std::min(host.find('/', b), host.size());
        std::string part = host.substr(b, e - b);
        if (part.empty() || part == "." || part == "..") return false;
        b = e + 1;
    }
    return true;
}

// True when `host` lies inside `folder`.
bool inside(const std::string& host, std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder.size() > 1 && host.size() > folder.size() &&
           host.compare(0, folder.size(), folder) == 0 && host[folder.size()] == '/';
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

void Files::recover() const {
    // Another copy's change in progress is not a crash's leftovers.
    if (holds && !holds(programfolder_)) throwfileerror(70);
    pending_ = true;  // until the journal is dealt with
    HostIo io{*this};
    std::string journal = programfolder_ + kJournal, journalnew = programfolder_ + kJournalNew;
    struct stat st;
    bool found = io.stat(journal, st) == 0;
    if (found || (errno != ENOENT && errno != ENOTDIR)) {
        std::string text = readjournal(io, journal, found, st);
        bool whole;
        Seal seal;
        auto entries = parsejournal(text, programfolder_, whole, seal);
        if (text.compare(0, std::string(kHeader).size(), kHeader) != 0) refusejournal();
        for (auto& e : entries)
            if (!plainpath(e.host)) refusejournal();
        if (whole) {
            // Made only when this program wrote it here: sealed for this program folder, or
            // (from before seals) naming only files of the program folder.
            if (seal == Seal::bad) refusejournal();
            if (seal == Seal::none)
                for (auto& e : entries)
                    if (!inside(e.host, programfolder_)) refusejournal();
            rollforward(io, entries);
        } else if (!discard(io, entries)) {
            throwfileerror(57);
        }
        if (io.unlink(journal) != 0 && errno != ENOENT) throwerrno(errno, journal);
        // Unchecked: a journal that comes back after a power cut finds its changes made (their
        // folders were synced) and is made again as nothing.
        io.fsyncdir(programfolder_);
    }
    found = io.stat(journalnew, st) == 0;
    if (found || (errno != ENOENT && errno != ENOTDIR)) {
        // A journal cut while it was written: only the program's own temporaries it names go.
        std::string text = readjournal(io, journalnew, found, st);
        bool whole;
        Seal seal;
        std::vector<JournalEntry> own;
        for (auto& e : parsejournal(text, programfolder_, whole, seal))
            if (plainpath(e.host)) own.push_back(e);
        if (!discard(io, own)) throwfileerror(57);
        if (io.unlink(journalnew) != 0 && errno != ENOENT) throwerrno(errno, journalnew);
    }
    pending_ = false;
}

std::optional<FileError> Files::startup() const {
    try {
        recover();
    } catch (const FileError& e) {
        // The journal stays; the next operation tries again and waits for it.
        if (e.file.empty()) return std::nullopt;
        return e;
    }
    HostIo io{*this};
    sweepfolder(io, programfolder_);
    swept_.insert(programfolder_);
    std::vector<std::string> subs;
    try {
        subs = listfolders(programfolder_);
    } catch (const FileError&) {
        return std::nullopt;  // no program folder yet: nothing to sweep
    }
    for (auto& sub : subs) {
        sweepfolder(io, programfolder_ + "/" + sub);
        swept_.insert(programfolder_ + "/" + sub);
    }
    return std::nullopt;
}

void Files::sweep(const std::string& logicalfolder) const {
    std::string host;
    try {
        host = hostpath(logicalfolder);
    } catch (const FileError&) {
        return;  // a drive not there
    }
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    if (swept_.count(host) || (holds && !holds(host))) return;
    HostIo io{*this};
    // While a journal waits (its recovery failed), the temporaries it names are its new files.
    struct stat st;
    if (pending_ || io.stat(programfolder_ + kJournal, st) == 0 || errno != ENOENT) return;
    swept_.insert(host);
    sweepfolder(io, host);
}

}  // namespace vt
