#include "platform/transaction.h"

#include <algorithm>
#include <set>

#include "platform/journal.h"

namespace vt {

using namespace journal;

namespace {

// How many temporaries wait open, their write-back under way, before they are synced.
constexpr size_t kBatch = 64;

// Temporaries written and waiting for their sync (descriptor, staged file); closed when they go,
// also when an exception unwinds past them.
struct Waiting {
    std::vector<std::pair<int, size_t>> fds;
    ~Waiting() { closeall(); }
    void closeall() {
        for (auto& w : fds) ::close(w.first);
        fds.clear();
    }
};

// Opens a spare to be written over, when it is a plain file of one name. The open follows no
// link and cannot wait (on a FIFO); anything else is closed unwritten: -1.
int openplain(const HostIo& io, const std::string& p) {
    int fd = io.open(p, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    struct stat st;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

// Makes a temporary afresh. Whatever stands at its name (a spare that was not a plain file, one
// left by a commit cut short, a folder or a link put there) is removed first, never opened or
// followed.
int freshtemp(const HostIo& io, const std::string& p) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
    int fd = io.open(p, flags);
    if (fd >= 0 || errno != EEXIST) return fd;
    if (io.removeall(p) != 0) return -1;
    return io.open(p, flags);
}

}  // namespace

StagedFile* Staging::find(const std::string& host) {
    for (auto& f : files)
        if (f.host == host) return &f;
    return nullptr;
}

Transaction::Transaction(const Files& files, std::string title) : files_(files) {
    if (files_.open_) {  // joins the open transaction
        outer_ = files_.open_;
        outertitle_ = outer_->title;
        if (!title.empty()) outer_->title = std::move(title);
        return;
    }
    staging_ = std::make_unique<Staging>();
    staging_->title = std::move(title);
    files_.open_ = staging_.get();
}

Transaction::~Transaction() {
    if (staging_ && files_.open_ == staging_.get()) files_.open_ = nullptr;
    if (outer_ && files_.open_ == outer_) outer_->title = std::move(outertitle_);
}

void Transaction::title(std::string t) {
    if (Staging* s = staging_ ? staging_.get() : outer_; s && files_.open_ == s)
        s->title = std::move(t);
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
    const HostIo& io = fl.hostio();
    const std::string& pf = fl.programfolder();
    std::string journal = pf + kJournal, journalnew = pf + kJournalNew;

    // The io hears where the commit begins and ends, also when it fails.
    struct Steps {
        const HostIo& io;
        ~Steps() { io.commitstep(CommitStep::end); }
    } steps{io};
    io.commitstep(CommitStep::begin);
    // A journal left by an earlier operation is made first, so this one cannot overtake it; when
    // it was pending while this operation read its files, this one is refused (it may have read
    // them old).
    bool waspending = fl.pending_;
    try {
        fl.recover();
        if (waspending) throwfileerror(57);
    } catch (FileError& e) {
        nameerror(e, kJournalLogical);  // the box blames the journal, not this operation's files
        throw;
    }
    // A program folder that has gone is not made again: the journal's write fails with 76.
    std::vector<JournalEntry> entries;
    for (auto& f : files) entries.push_back({f.removed ? 'D' : 'R', f.host});
    for (auto& folder : foldersof(entries))
        if (fl.swept_.insert(folder).second) fl.sweepkeeping(folder);

    // Before the commit point a failure takes back the temporaries and the journal.
    std::vector<bool> made(files.size(), false);
    auto blame = [&](const StagedFile& f) {
        failedlabel_ = f.label;
        failedfile_ = f.logical;
    };
    try {
        // The journal first, whole and synced, before any temporary it names is made.
        writesynced(io, journalnew, journaltext(files, pf));
        // Then every temporary is written, its write-back started at once, before any is synced:
        // the disk writes them together, and each fsync finds its file's work done or under way
        // instead of starting it. Each is synced with its own error checked, as before; no sync
        // of the whole file system, which would also wait for other programs' unsaved data.
        Waiting waiting;
        auto syncwaiting = [&] {
            for (auto& [fd, i] : waiting.fds) {
                blame(files[i]);
                if (io.fsync(fd) != 0) throwerrno(errno, tempof(files[i].host));
            }
            waiting.closeall();
        };
        for (size_t i = 0; i < files.size(); ++i) {
            if (files[i].removed) continue;
            blame(files[i]);
            made[i] = true;
            std::string temp = tempof(files[i].host);
            // The file's spare, when a commit of this run made it or a sweep kept it and its
            // folder was synced since (so that no name on disk but the spare's stands for it),
            // is written over in place while it is still a plain file of one name.
            int fd = -1;
            if (fl.spares_.erase(files[i].host) && io.rename(spareof(files[i].host), temp) == 0)
                fd = openplain(io, temp);
            bool reuse = fd >= 0;
            if (!reuse) fd = freshtemp(io, temp);
            if (fd < 0) throwerrno(errno, temp);
            waiting.fds.emplace_back(fd, i);
            if (!writeall(io, fd, files[i].bytes)) throwerrno(errno, temp);
            if (reuse && io.ftruncate(fd, off_t(files[i].bytes.size())) != 0)
                throwerrno(errno, temp);
            io.startwriteback(fd);  // only a hint: a write-back error shows at the fsync
            if (waiting.fds.size() == kBatch) syncwaiting();
        }
        syncwaiting();
        blame(files.front());
        // The program folder first: a temporary whose name is on disk then always has the
        // unfinished journal that names it there too, so a recovery can take it away.
        for (auto& folder : syncorder(pf, entries))
            if (io.fsyncdir(folder) != 0) throwerrno(errno, folder);
        if (io.rename(journalnew, journal) != 0) throwerrno(errno, journal);  // the commit point
    } catch (const FileError&) {
        for (size_t i = 0; i < files.size(); ++i)
            if (made[i]) io.unlink(tempof(files[i].host));
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
            io.commitstep(CommitStep::undecided);
        } else if (discard(io, entries) && io.unlink(journalnew) == 0) {
            io.fsyncdir(pf);
        }
        throwerrno(err, pf);
    }
    failedlabel_.clear();
    failedfile_.clear();
    io.commitstep(CommitStep::point);
    // The operation has happened. What cannot be put in place now is left to recover().
    try {
        for (auto& host : rollforward(io, entries, pf)) fl.spares_.insert(host);
        // What is on disk now is this program's own version of each file.
        for (auto& f : files) fl.notewritten(f.host, f.removed);
        // The journal's removal is not synced here. Should a power cut bring it back, its
        // changes are on disk (their folders were synced above) and its recovery makes them again
        // as nothing. The next commit syncs the program folder before the names of its own
        // temporaries or its commit point are on disk, so a journal that comes back never meets
        // newer files; only commits write the files a journal names.
        if (io.unlink(journal) != 0) throwerrno(errno, journal);
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
