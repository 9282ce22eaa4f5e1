#pragma once
// What the shared procedures work on: the shared state and the runtime that reaches the files, the
// boxes and the printer. App provides one, so screens pass the App where a Context is asked for.
#include <functional>
#include <memory>
#include <string>

#include "platform/runtime.h"
#include "platform/transaction.h"
#include "records/betscache.h"
#include "records/origins.h"
#include "records/shared.h"

namespace vt {

class Context {
  public:
    // `identities`: where new identities come from (the system's random source when empty).
    Context(Shared& shared, Runtime& runtime, std::function<Identity()> identities = {})
        : shared_(shared), runtime_(runtime), origins_(runtime.files(), std::move(identities)) {}

    Shared& shared() { return shared_; }
    Files& files() { return runtime_.files(); }
    // The identities of the bets and bettors, kept beside their files.
    Origins& origins() { return origins_; }
    // The Bets files as last read, while unchanged.
    BetsCache& betscache() {
        betscache_->maxbets = shared_.maxbets;
        return *betscache_;
    }
    Printer& printer() { return runtime_.printer(); }
    int msgbox(const std::string& prompt, int style = vbOKOnly, const std::string& title = "") {
        return runtime_.msgbox(prompt, style, title);
    }
    // The file-error box, titled with the title the error carries (what its file was staged or
    // committed for), else with `fileop`. It names the data file the operator knows: an identity
    // file's error is told as its data file's.
    void fileerrorbox(const FileError& e);

    // Ends the printer's document; false after the print-failure box (titled with the document)
    // when it cannot be printed.
    bool enddoc(bool nothingchanged = false) { return runtime_.enddoc(nothingchanged); }
    // A box about one file, titled with `fileop`; told once per file per action (Runtime::filebox).
    void filebox(const std::string& file, const std::string& prompt) {
        runtime_.filebox(file, prompt, shared_.fileop);
    }

    // Commits an operation's transaction; on failure shows the file-error box of its first
    // failure (titled with the title under which its transaction staged that file, which the
    // error carries and which becomes `fileop`) and returns false.
    // `beforebox` is told of the failure first, for a message that goes before the box; it may
    // also say more in the box (the file the operator sees, what was not done).
    bool commit(Transaction& tx, const std::function<void(FileError&)>& beforebox = {}) {
        try {
            tx.commit();
            return true;
        } catch (const FileError& failed) {
            FileError e = failed;
            if (!tx.failedlabel().empty()) e.title = shared_.fileop = tx.failedlabel();
            if (beforebox) beforebox(e);
            fileerrorbox(e);
            return false;
        }
    }

  private:
    Shared& shared_;
    Runtime& runtime_;
    Origins origins_;
    std::shared_ptr<BetsCache> betscache_ = std::make_shared<BetsCache>();
};

}  // namespace vt
