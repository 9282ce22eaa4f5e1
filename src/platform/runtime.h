#pragma once
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folderlock.h"
#include "platform/printer.h"

namespace vt {

class Form;

// What forms and controls need of their surroundings: boxes, printer, files, the screen, and
// event dispatch that defers dropping unloaded forms until the outermost handler returns.
class Runtime {
  public:
    // lockcall: the lock call of the folder locks (flock(2) when empty).
    Runtime(Dialogs& dialogs, PrintSink& sink, std::string programfolder,
            FolderLock::LockCall lockcall = {});
    virtual ~Runtime();

    Dialogs& dialogs() { return *dialogs_; }
    Printer& printer() { return printer_; }
    Files& files() { return files_; }
    int screenwidth = 1024, screenheight = 768;

    int msgbox(const std::string& prompt, int style = vbOKOnly, const std::string& title = "");
    std::string inputbox(const std::string& prompt, const std::string& title = "",
                         const std::string& defaulttext = "");
    // The file-error box for e (OK only): its number and text, then a line naming the file and the
    // line where e knows them.
    void fileerrorbox(const FileError& e, const std::string& title);
    // The box of a document that could not be printed: the error, then that the printout failed
    // (for an operation that prints as part of it: and that nothing was changed), or that it may
    // still come out when its job could not be cancelled; titled with the document.
    void printfailbox(const PrintError& e, bool nothingchanged = false);
    // Ends the printer's document: false, after the print-failure box, when it cannot be printed.
    // A document printed as part of an operation (`nothingchanged`: the operation changes nothing
    // when it fails) counts only once its job has completed.
    bool enddoc(bool nothingchanged = false);
    // A box about one file (logical path; "" for none). Within one action (an event) only the first
    // box about a file is shown: a file met by several readers of one click is told of once.
    // False when the box was left out.
    bool filebox(const std::string& file, const std::string& prompt, const std::string& title);

    // One running copy per folder. Takes the program folder's lock: false, after a box saying the
    // folder is in use by another copy of the program, when another copy holds it, or saying
    // which lock file is not a plain file. A folder whose file system cannot lock is said once
    // with a box, and the program goes on.
    bool claimprogramfolder();
    // Takes the lock of the data folder (logical path) when it is not the program folder, giving
    // up the data folder's lock held before. False, after the box, when another copy holds it or
    // its lock file is not a plain file: the lock held before is kept. `ending`: the box says
    // this copy ends.
    bool claimdatafolder(const std::string& logical, bool ending);

    // Runs a handler as an event: unloads are completed and the view refreshed afterwards.
    void dispatch(const std::function<void()>& handler);
    int depth() const { return depth_; }

    // Called by Form::unload; the form object is kept alive until the event ends.
    virtual void formunloaded(Form& form) = 0;
    // Called when the outermost event has ended: the forms unloaded during it may go now, never
    // under a running handler.
    virtual void eventended() {}
    // Called by Form::show.
    virtual void formshown(Form&) {}
    // Every form now loaded, in load order.
    virtual std::vector<Form*> loadedforms() = 0;

    // Set by the view: refresh after each event.
    std::function<void()> onchanged;
    // Set by the view: called before a modal box so the screen is current.
    std::function<void()> beforemodal;
    // Set by the view: a busy cursor while documents are produced (true) and no more (false).
    std::function<void(bool)> onbusy;
    // A view made on demand for this runtime (rendering a form in tests); it lives as long as the
    // runtime and touches no form when it goes.
    std::shared_ptr<void> attachedview;

  protected:
    void finish();

  private:
    // Whether recovery and sweeps may touch a host folder: one this copy holds, or one whose file
    // system cannot lock. The program folder's lock is taken on first need.
    bool holds(const std::string& hostfolder);
    // The box of a folder this copy does not run on: another copy holds it, or its lock file is
    // not a plain file.
    void refusedbox(const std::string& logical, const FolderLock& lock, const std::string& outcome);
    // The box of a folder whose file system cannot lock, once a run for each folder.
    void unlockablebox(const std::string& logical, const FolderLock& lock);
    Dialogs* dialogs_;
    Printer printer_;
    Files files_;
    FolderLock::LockCall lockcall_;
    FolderLock programlock_, datalock_;
    std::set<std::string> toldunlockable_;
    int depth_ = 0;
    std::set<std::string> boxedfiles_;  // files told of in the current action
    bool toldfull_ = false;             // a full disk told of in the current action
};

}  // namespace vt
