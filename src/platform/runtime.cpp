#include "platform/runtime.h"

#include <sys/stat.h>

#include <cstring>

#include "platform/hostio.h"
#include "platform/text.h"

namespace vt {

Runtime::Runtime(Dialogs& dialogs, PrintSink& sink, std::string programfolder,
                 FolderLock::LockCall lockcall)
    : dialogs_(&dialogs),
      printer_(&sink),
      files_(std::move(programfolder)),
      lockcall_(std::move(lockcall)),
      programlock_(lockcall_),
      datalock_(lockcall_) {
    printer_.onprinterror = [this](const PrintError& e) { printfailbox(e); };
    printer_.onbusy = [this](bool on) {
        if (onbusy) onbusy(on);
    };
    files_.holds = [this](const std::string& host) { return holds(host); };
}

Runtime::~Runtime() = default;

int Runtime::msgbox(const std::string& prompt, int style, const std::string& title) {
    if (beforemodal) beforemodal();
    return dialogs_->msgbox(prompt, style, title.empty() ? kProgramTitle : title);
}

std::string Runtime::inputbox(const std::string& prompt, const std::string& title,
                              const std::string& defaulttext) {
    if (beforemodal) beforemodal();
    return dialogs_->inputbox(prompt, title.empty() ? kProgramTitle : title, defaulttext);
}

void Runtime::fileerrorbox(const FileError& e, const std::string& title) {
    // A full disk is one cause: told once an action, whichever files it stopped.
    const bool full = e.number == 61 && depth_ > 0;
    if (full && toldfull_) return;
    std::string prompt = e.message();
    if (!e.file.empty()) prompt += "\r\n" + filelocation(e.file, e.line);
    if (e.checkfile) prompt += "\r\nCheck it with Fix Files on the main menu.";
    if (!e.advice.empty()) prompt += "\r\n" + e.advice;
    if (filebox(e.file, prompt, title) && full) toldfull_ = true;
}

bool Runtime::filebox(const std::string& file, const std::string& prompt,
                      const std::string& title) {
    // Outside an event there is no action to count boxes in.
    if (!file.empty() && depth_ > 0 && !boxedfiles_.insert(ucase(file)).second) return false;
    msgbox(prompt, vbOKOnly, title);
    return true;
}

void Runtime::printfailbox(const PrintError& e, bool nothingchanged) {
    // Only a job that certainly did not print is called failed: one that may still come out
    // must not be printed again before the printer has been looked at.
    std::string last;
    if (e.mayprint)
        last = std::string(
                   "The printout may still come out: check the printer before printing "
                   "again.") +
               (nothingchanged ? " Nothing was changed." : "");
    else
        last = nothingchanged ? "The printout failed, so nothing was changed."
                              : "The printout failed.";
    msgbox(e.message() + "\r\n" + (e.advice.empty() ? "" : e.advice + "\r\n") + last, vbOKOnly,
           e.document.empty() ? "Printer" : e.document);
}

bool Runtime::enddoc(bool nothingchanged) {
    try {
        printer_.enddoc(nothingchanged);
        return true;
    } catch (const PrintError& e) {
        printfailbox(e, nothingchanged);
        return false;
    }
}

namespace {

const char* const kProgramFolderName = "C:\\Vantrope\\";

// A lock that lets this copy touch its folder: held, or its file system cannot lock.
bool lets(const FolderLock& lock) {
    return lock.outcome() == FolderLock::held || lock.outcome() == FolderLock::unlockable;
}

// What stands at a lock file's name instead of a plain file.
std::string filetypename(unsigned type) {
    switch (type) {
        case S_IFLNK:
            return "a link";
        case S_IFDIR:
            return "a folder";
        default:
            return "not a plain file";
    }
}

}  // namespace

bool Runtime::holds(const std::string& host) {
    const std::string& pf = files_.programfolder();
    if (infolder(host, pf)) {
        if (programlock_.outcome() == FolderLock::none ||
            programlock_.outcome() == FolderLock::nofolder)
            programlock_.take(pf);
        // A folder not yet made holds nothing to recover or sweep.
        return lets(programlock_) || programlock_.outcome() == FolderLock::nofolder;
    }
    return lets(datalock_) && infolder(host, datalock_.folder());
}

bool Runtime::claimprogramfolder() {
    if (programlock_.outcome() != FolderLock::held) programlock_.take(files_.programfolder());
    if (programlock_.outcome() == FolderLock::busy ||
        programlock_.outcome() == FolderLock::notafile) {
        refusedbox(kProgramFolderName, programlock_, "This copy ends without changing anything.");
        return false;
    }
    if (programlock_.outcome() == FolderLock::unlockable)
        unlockablebox(kProgramFolderName, programlock_);
    return true;
}

bool Runtime::claimdatafolder(const std::string& logical, bool ending) {
    std::string host;
    try {
        host = files_.hostpath(logical);
    } catch (const FileError&) {
        return true;  // a drive that is not there: its operations fail on their own
    }
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    if (samefolder(host, files_.programfolder())) {
        datalock_.release();
        return true;
    }
    if (datalock_.outcome() == FolderLock::held && samefolder(host, datalock_.folder()))
        return true;
    FolderLock next(lockcall_);
    switch (next.take(host)) {
        case FolderLock::busy:
        case FolderLock::notafile:
            refusedbox(logical, next,
                       ending ? "This copy ends without changing anything."
                              : "The data folder was not changed.");
            return false;
        case FolderLock::unlockable:
            unlockablebox(logical, next);
            break;
        default:
            break;
    }
    datalock_ = std::move(next);
    return true;
}

void Runtime::refusedbox(const std::string& logical, const FolderLock& lock,
                         const std::string& outcome) {
    if (lock.outcome() == FolderLock::notafile) {
        std::string file = logical + FolderLock::kLockName;
        msgbox("The lock file " + file + " is " + filetypename(lock.filetype()) +
                   ", so this copy cannot keep other copies of the program off the folder " +
                   logical + " while it runs.\r\nRemove or rename " + FolderLock::kLockName +
                   " in that folder (the program makes it again), then try again. " + outcome,
               vbOKOnly | vbExclamation, kProgramTitle);
        return;
    }
    msgbox("The folder " + logical +
               " is in use by another copy of the program.\r\nOnly one copy can use a folder at "
               "a time. " +
               outcome,
           vbOKOnly | vbExclamation, kProgramTitle);
}

void Runtime::unlockablebox(const std::string& logical, const FolderLock& lock) {
    if (!toldunlockable_.insert(lock.folder()).second) return;
    msgbox("The folder " + logical + " cannot be locked (" + std::strerror(lock.error()) +
               "), so nothing keeps a second copy of the program from using it at the same "
               "time.\r\nRun only one copy of the program on this folder.",
           vbOKOnly | vbExclamation, kProgramTitle);
}

void Runtime::dispatch(const std::function<void()>& handler) {
    // Before each operation an unfinished journal is dealt with; when that fails, the
    // operation's commit tries again and refuses while it cannot.
    if (depth_ == 0) {
        boxedfiles_.clear();
        toldfull_ = false;
        try {
            files_.recover();
        } catch (const FileError&) {
        }
    }
    ++depth_;
    try {
        if (handler) handler();
    } catch (...) {
        --depth_;
        finish();
        throw;
    }
    --depth_;
    finish();
}

void Runtime::finish() {
    if (depth_ != 0) return;
    eventended();
    if (onchanged) onchanged();
}

}  // namespace vt
