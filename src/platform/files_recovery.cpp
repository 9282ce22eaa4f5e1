// Files' recovery at start-up and before each operation, and the sweeps of stray temporaries.
#include "platform/files.h"
#include "platform/journal.h"

namespace vt {

using namespace journal;

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

}  // namespace vt
