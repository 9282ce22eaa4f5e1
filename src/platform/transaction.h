#pragma once
// One transaction per operation: every change an operation makes to the data files goes to disk
// together, or none does, through crashes and failed writes.
//
//   Transaction tx(app.files(), "Bets Output");  // the operation's title
//   app.files().replacefile(path, bytes);   // staged: nothing is written yet
//   tx.title("Betsbackup Output");          // the title of the changes staged from here on
//   app.files().append(path2, record);      // staged as the whole new file (old + new bytes)
//   app.files().remove(path3);              // staged deletion
//   ... readall/exists now see the staged contents ...
//   if (!app.commit(tx)) return;            // the first failure's box was shown; files as before
//
// A Transaction opened while another is open joins it: its commit does nothing and the outer
// one commits everything (so writeentries inside a scratch is part of the scratch). Without an
// open transaction each Files write is a transaction of its own. A Transaction that goes out of
// scope uncommitted discards what it staged.
//
// Commit: each new file is written aside ("<file>.tmp~" in its own folder) and synced; a journal
// naming them ("Journal~" in the program folder, full host paths, so data folders elsewhere and
// removable drives are covered) is written whole and renamed into place - the commit point, which
// counts once the program folder is synced (if that sync fails the commit is taken back and
// fails); then the files are renamed over the old ones, deletions made, and the journal removed.
// A commit never makes a folder: into a folder that has gone it fails with 76. Files::
// recover() - run at start-up and before each event - completes a whole journal and discards an
// unfinished one ("Journal.new~") with its temporaries. After the commit point the operation has
// happened: a failure while putting files in place leaves the journal for recover() to finish,
// and every later commit first waits for that.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/staging.h"

namespace vt {

class Transaction {
  public:
    // title: the operation's name, the label of the changes staged into it (and the title of the
    // box of a failure on them) until title() names another. A nested transaction's title holds
    // for what it stages, and the outer one's comes back when it ends.
    explicit Transaction(Files& files, std::string title = {});
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Puts every staged change on disk together (nothing when nested). Throws the first
    // FileError, with every file as before; failedlabel() then names the file's label.
    void commit();
    bool nested() const { return !staging_; }
    // Names the changes staged from now on.
    void title(std::string t);
    const std::string& failedlabel() const { return failedlabel_; }
    // The logical path of that file.
    const std::string& failedfile() const { return failedfile_; }

  private:
    Files& files_;
    std::unique_ptr<Staging> staging_;
    Staging* outer_ = nullptr;  // the open transaction a nested one joins
    std::string outertitle_;    // its title when this one joined it
    std::string failedlabel_;
    std::string failedfile_;
};

}  // namespace vt
