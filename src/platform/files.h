#pragma once
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/fileerror.h"
#include "platform/money.h"
#include "platform/spares.h"

namespace vt {

struct Staging;
class Transaction;
class HostIo;

// Keeps files that go with another in step with it: told inside the transaction right before each
// change of a file is staged, while the file still reads as it was (bytes: its new contents,
// nullptr when it is removed; from: the file it was copied from, else ""), so that what it stages
// joins the same change.
class FileCompanion {
  public:
    virtual ~FileCompanion() = default;
    virtual void changing(const std::string& logical, const std::string* bytes,
                          const std::string& from) = 0;
};

// What tells one version of a file on disk from another: size, modification time (ns), inode and
// device, and when it was looked at (ns, the same clock as the modification time).
struct FileStamp {
    bool exists = false;
    long long size = 0, mtime = 0, inode = 0, device = 0;
    long long seen = 0;
    bool samefile(const FileStamp& o) const {
        return exists == o.exists && size == o.size && mtime == o.mtime && inode == o.inode &&
               device == o.device;
    }
};

// Logical paths ("C:\Vantrope\Players", "E:\Bets") are kept inside the program; hostpath() turns
// one into a host path when a file is touched.
class Files {
  public:
    // programfolder: the host folder that stands for "C:\Vantrope".
    explicit Files(std::string programfolder);
    ~Files();
    const std::string& programfolder() const { return programfolder_; }

    // Throws FileError 52 for "." or ".." components or a control character, 68 for a drive
    // letter mapped to nothing.
    std::string hostpath(const std::string& logical) const;

    bool exists(const std::string& logical) const;
    // The file's stamp now (a look for a cache, not made through the HostIo).
    FileStamp stamp(const std::string& logical) const;
    // True when the file is as this program's last commit left it: its stamp is the one taken
    // right after the commit put it in place.
    bool ownversion(const std::string& logical, const FileStamp& now) const;
    // True while a transaction is open: reads then see its staged contents.
    bool staging() const { return open_ != nullptr; }
    bool isfolder(const std::string& logical) const;
    // Opens a file for input and closes it again, reading nothing: FileError as readall() would
    // throw on opening it (53 missing, 75 a folder, 70 no permission).
    void probe(const std::string& logical) const;
    // Whole file as bytes; FileError on failure. A file larger than any this program writes
    // (`kmaxread` bytes) is damage and is refused as it is read (7), so memory stays bounded.
    std::string readall(const std::string& logical) const;
    static constexpr size_t kmaxread = size_t{64} << 20;
    // Whole-file replacement, append (creating the file when missing) and deletion (53 when
    // missing). Inside an open Transaction they are staged into it, and readall/exists see the
    // staged contents; otherwise each is a transaction of its own, on disk when it returns.
    void replacefile(const std::string& logical, const std::string& bytes);
    void append(const std::string& logical, const std::string& bytes);
    void remove(const std::string& logical);
    void copy(const std::string& from, const std::string& to);
    void mkdir(const std::string& logical);  // 75 when it exists

    // Completes an unfinished journal when it was written whole, discards it with its
    // temporaries otherwise. FileError when that cannot be done now (the journal is kept). A
    // journal that cannot be read, or that this program did not write in this program folder
    // (its seal does not match), is refused whole: nothing it names is touched, and the
    // FileError names the journal and says what to do.
    void recover();
    // recover() at start-up, before any data file is read; also removes stray temporaries of the
    // program folder and its subfolders. Failures wait for the next operation; a journal that is
    // refused (see recover) is returned, for its box.
    std::optional<FileError> startup();
    // Removes stray temporaries ("*.tmp~") of a folder, once a run; failures wait for later.
    void sweep(const std::string& logicalfolder);

    // Set by the runtime: whether this copy holds a folder (host path) against other copies of
    // the program. Recovery and sweeps touch a folder only while it does (recover() refuses with
    // 70 otherwise); unset, always.
    std::function<bool(const std::string& hostfolder)> holds;

    // Told of each change of a file (the identity files kept beside the data files follow it).
    FileCompanion* companion = nullptr;

    // The host calls every file operation goes through: the system's, unless another is put in
    // place between operations (tests put one there that fails, crashes or cuts the power).
    const HostIo& hostio() const { return *io_; }
    void sethostio(std::unique_ptr<HostIo> io);
    // Names (not paths) in a folder; folders or files, pattern like "*.*" or "*.txt".
    std::vector<std::string> listfolders(const std::string& logical) const;
    std::vector<std::string> listfiles(const std::string& logical,
                                       const std::string& pattern = "*.*") const;

  private:
    friend class Transaction;
    // Opens a file for input (probe, readall) and, when `read`, returns its bytes.
    std::string input(const std::string& logical, bool read) const;
    std::string programfolder_;
    Staging* open_ = nullptr;  // the transaction changes are staged into
    std::unique_ptr<HostIo> io_;
    bool pending_ = false;         // a journal may be waiting: recover() failed or was cut short
    std::set<std::string> swept_;  // folders cleared of stray temporaries this run
    // The spares this run's commits may write into.
    Spares spares_;
    // Sweeps a folder's stray temporaries; in the program folder, the spares of files still
    // there stay and are taken once the folder is synced.
    void sweepkeeping(const std::string& folder);
    std::vector<std::string> ownfolders() const;
    // By host path: each file's stamp right after a commit of this program put it in place.
    std::map<std::string, FileStamp> written_;
    void notewritten(const std::string& host, bool removed);
};

// True when e is about the journal: refused, or not yet dealt with before an operation's commit.
// Its box says all there is.
bool isjournalrefusal(const FileError& e);

// Maps errno of a failed host call to the old error number.
int errnotonumber(int err, bool folder_missing);

// One field of a record as read: its text and whether it was quoted.
struct Field {
    std::string text;
    bool quoted = false;
};

// Builder of one record line: fields joined by commas, CR LF at the end.
class RecordWriter {
  public:
    RecordWriter& str(
        const std::string& s);  // FileError 5 when s holds a double quote or a line end
    RecordWriter& num(long long n);
    RecordWriter& num(int n) { return num(static_cast<long long>(n)); }
    RecordWriter& num(Money m);
    RecordWriter& num(double d);
    // Ends the record (CR LF).
    RecordWriter& end();
    const std::string& bytes() const { return out_; }
    void clear() {
        out_.clear();
        first_ = true;
    }

  private:
    void sep();
    std::string out_;
    bool first_ = true;
};

// A file kept open for appending for the whole run (the results file). Each write (the records
// of one print run) is synced and its sync checked; a failed write or sync takes its bytes back,
// so the file stays a run of whole records.
class AppendFile {
  public:
    void open(const Files& files, const std::string& logical);  // FileError on failure
    bool isopen() const { return fd_ >= 0; }
    void write(const std::string& bytes);  // FileError on failure
    void close();
    ~AppendFile() { close(); }

  private:
    const Files* files_ = nullptr;
    int fd_ = -1;
};

}  // namespace vt
