#include "platform/transaction.h"

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

// Tells the io where a commit begins and ends, also when it fails.
struct Steps {
    const HostIo& io;
    explicit Steps(const HostIo& i) : io(i) { io.commitstep(CommitStep::begin); }
    ~Steps() { io.commitstep(CommitStep::end); }
    Steps(const Steps&) = delete;
    Steps& operator=(const Steps&) = delete;
};

// What one commit works on.
struct Plan {
    const HostIo& io;
    const std::string& programfolder;
    const std::vector<StagedFile>& files;
    std::vector<JournalEntry> entries;
    std::string journal, journalnew;
    Plan(const HostIo& i, const std::string& pf, const std::vector<StagedFile>& f)
        : io(i), programfolder(pf), files(f), journal(pf + kJournal), journalnew(pf + kJournalNew) {
        for (auto& file : files) entries.push_back({file.removed ? 'D' : 'R', file.host});
    }
};

// The staged file a failure is told against: its label titles the box, its path names the file.
struct Blame {
    std::string& label;
    std::string& file;
    void operator()(const StagedFile& f) {
        label = f.label;
        file = f.logical;
    }
};

// Writes every new version into its temporary and syncs them; `begun` counts the staged files
// reached. Each temporary's write-back is started at once, before any is synced: the disk writes
// them together, and each fsync finds its file's work done or under way instead of starting it.
// Each is synced with its own error checked; no sync of the whole file system, which would also
// wait for other programs' unsaved data.
void writetemporaries(const Plan& plan, Spares& spares, Blame& blame, size_t& begun) {
    const HostIo& io = plan.io;
    const std::vector<StagedFile>& files = plan.files;
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
        begun = i + 1;
        std::string temp = tempof(files[i].host);
        bool reused = false;
        int fd = spares.opentemp(io, files[i].host, temp, reused);
        if (fd < 0) throwerrno(errno, temp);
        waiting.fds.emplace_back(fd, i);
        if (!writeall(io, fd, files[i].bytes)) throwerrno(errno, temp);
        if (reused && io.ftruncate(fd, off_t(files[i].bytes.size())) != 0) throwerrno(errno, temp);
        io.startwriteback(fd);  // only a hint: a write-back error shows at the fsync
        if (waiting.fds.size() == kBatch) syncwaiting();
    }
    syncwaiting();
}

// Takes back what was written before the commit point: the temporaries of the first `begun`
// staged files and the unfinished journal.
void takeback(const Plan& plan, size_t begun) {
    for (size_t i = 0; i < begun; ++i)
        if (!plan.files[i].removed) plan.io.unlink(tempof(plan.files[i].host));
    plan.io.unlink(plan.journalnew);
}

// Before the commit point: the unfinished journal, whole and synced, before any temporary it
// names is made; then the temporaries; then their folders are synced, the program folder first (a
// temporary whose name is on disk then always has the unfinished journal that names it there too,
// so a recovery can take it away). A program folder that has gone is not made again: the
// journal's write fails with 76. A failure takes back what was written.
void writeaside(const Plan& plan, Spares& spares, Blame& blame) {
    size_t begun = 0;
    try {
        writesynced(plan.io, plan.journalnew, journaltext(plan.files, plan.programfolder));
        writetemporaries(plan, spares, blame, begun);
        blame(plan.files.front());
        for (auto& folder : syncorder(plan.programfolder, plan.entries))
            if (plan.io.fsyncdir(folder) != 0) throwerrno(errno, folder);
    } catch (const FileError&) {
        takeback(plan, begun);
        throw;
    }
}

// The commit point: the journal renamed whole into place. It counts once its new name is on disk;
// when that cannot be made sure, the operation is taken back and fails: the journal goes back to
// its unfinished name first, so no recovery makes it, then its temporaries go. When even that
// rename fails, the journal stays for a recovery to complete: the outcome is undecided
// (`undecided` set), and later commits wait for that recovery.
void passcommitpoint(const Plan& plan, bool& undecided) {
    const HostIo& io = plan.io;
    try {
        if (io.rename(plan.journalnew, plan.journal) != 0) throwerrno(errno, plan.journal);
    } catch (const FileError&) {
        takeback(plan, plan.files.size());
        throw;
    }
    if (io.fsyncdir(plan.programfolder) == 0) return;
    int err = errno;
    if (io.rename(plan.journal, plan.journalnew) != 0) {
        undecided = true;
        io.commitstep(CommitStep::undecided);
    } else if (discard(io, plan.entries) && io.unlink(plan.journalnew) == 0) {
        io.fsyncdir(plan.programfolder);
    }
    throwerrno(err, plan.programfolder);
}

}  // namespace

Transaction::Transaction(Files& files, std::string title) : files_(files) {
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
    const std::unique_ptr<Staging> staged = std::move(staging_);
    if (staged->files.empty()) return;
    Files& fl = files_;
    const Plan plan(fl.hostio(), fl.programfolder(), staged->files);
    Blame blame{failedlabel_, failedfile_};
    blame(plan.files.front());
    Steps steps(plan.io);

    // A journal left by an earlier operation is made first, so this one cannot overtake it; when
    // it was pending while this operation read its files, this one is refused (it may have read
    // them old). The box blames the journal, not this operation's files.
    const bool waspending = fl.pending_;
    try {
        fl.recover();
        if (waspending) throwfileerror(57);
    } catch (FileError& e) {
        nameerror(e, kJournalLogical);
        throw;
    }
    for (auto& folder : foldersof(plan.entries))
        if (fl.swept_.insert(folder).second) fl.sweepkeeping(folder);

    // Write the temporaries, pass the commit point, put in place.
    writeaside(plan, fl.spares_, blame);
    passcommitpoint(plan, fl.pending_);
    failedlabel_.clear();
    failedfile_.clear();
    plan.io.commitstep(CommitStep::point);

    // The operation has happened. Each file is put in place (its previous version kept as its
    // spare where Spares covers it); what cannot be put in place now is left to recover().
    try {
        fl.spares_.ready(rollforward(plan.io, plan.entries, &fl.spares_));
        // What is on disk now is this program's own version of each file.
        for (auto& f : plan.files) fl.notewritten(f.host, f.removed);
        // The journal's removal is not synced here. Should a power cut bring it back, its
        // changes are on disk (their folders were synced above) and its recovery makes them again
        // as nothing. The next commit syncs the program folder before the names of its own
        // temporaries or its commit point are on disk, so a journal that comes back never meets
        // newer files; only commits write the files a journal names.
        if (plan.io.unlink(plan.journal) != 0) throwerrno(errno, plan.journal);
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
