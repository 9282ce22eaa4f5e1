#include "platform/transaction.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/journal.h"

namespace vt {

using namespace journal;

namespace {

// A file system a commit writes to. One of its folders is held open from before the commit's
// first write, so that the file system's sync reports a write-back error of any of them.
struct Disk {
    dev_t device;
    int fd;
    std::string folder;
    std::vector<size_t> files;  // the staged files it takes, by index
};

// The file systems of the folders a commit writes into, each with its new files.
struct Disks {
    std::vector<Disk> list;  // the program folder's first
    Disks() = default;
    Disks(const Disks&) = delete;
    Disks& operator=(const Disks&) = delete;
    ~Disks() {
        for (auto& d : list) ::close(d.fd);
    }

    // A folder that has gone fails as a write into it would (76), named for its first file
    // (blame), or for the journal in the program folder.
    void open(const HostIo& io, const std::string& pf, const std::string& journalnew,
              const std::vector<StagedFile>& files, const std::vector<JournalEntry>& entries,
              const StagedFile*& blame) {
        std::map<std::string, size_t> diskof;  // folder -> its file system in list
        for (auto& folder : syncorder(pf, entries)) {
            auto first = std::find_if(files.begin(), files.end(), [&](const StagedFile& f) {
                return parentof(f.host) == folder;
            });
            if (folder != pf && first != files.end()) blame = &*first;
            std::string named = folder == pf ? journalnew : blame->host;
            int fd = io.open(folder, O_RDONLY | O_DIRECTORY);
            struct stat st;
            if (fd < 0) throwerrno(errno, named);
            if (::fstat(fd, &st) != 0) {
                int err = errno;
                ::close(fd);
                throwerrno(err, named);
            }
            auto same = std::find_if(list.begin(), list.end(),
                                     [&](const Disk& d) { return d.device == st.st_dev; });
            if (same != list.end()) {
                ::close(fd);
            } else {
                list.push_back({st.st_dev, fd, folder, {}});
                same = list.end() - 1;
            }
            diskof[folder] = static_cast<size_t>(same - list.begin());
        }
        blame = &files.front();
        for (size_t i = 0; i < files.size(); ++i)
            if (!files[i].removed) list[diskof[parentof(files[i].host)]].files.push_back(i);
    }
};

}  // namespace

StagedFile* Staging::find(const std::string& host) {
    for (auto& f : files)
        if (f.host == host) return &f;
    return nullptr;
}

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
    Disks disks;
    const StagedFile* blame = &files.front();
    try {
        disks.open(io, pf, journalnew, files, entries, blame);
    } catch (const FileError&) {
        failedlabel_ = blame->label;
        failedfile_ = blame->logical;
        throw;
    }
    std::string jtext = journaltext(files) + endline(files.size());
    std::vector<bool> made(files.size(), false);
    try {
        // Everything is written first and each file system synced once, not each file: the
        // program folder's first, with the journal. A temporary whose name is on disk then always
        // has the unfinished journal that names it there too, so a recovery can take it away.
        for (Disk& disk : disks.list) {
            if (&disk == &disks.list.front()) writeaside(io, journalnew, jtext);
            for (size_t i : disk.files) {
                failedlabel_ = files[i].label;
                failedfile_ = files[i].logical;
                made[i] = true;
                writeaside(io, tempof(files[i].host), files[i].bytes);
            }
            failedlabel_ = files.front().label;
            failedfile_ = files.front().logical;
            if (io.syncfs(disk.fd) != 0) throwerrno(errno, disk.folder);
        }
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
        // The journal's removal is not synced here. Should a power cut bring it back, its
        // changes are on disk (their folders were synced above) and its recovery makes them again
        // as nothing; and the next commit syncs the program folder before its own temporaries or
        // commit point can reach the disk, so a journal that comes back never meets newer files.
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
