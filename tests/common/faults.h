#pragma once
// Fault runs: an operation driven through its screens is tried with the file layer's seam at
// every file-system call (sampled away from the commits), failing once (EIO), failing from then
// on (ENOSPC, EACCES), crashing or cutting the power there; after a crash or a power cut at calls
// spread over each commit, the next start meets a second fault (failing once, crashing, cutting
// the power) at calls spread over its recovery. Then the program starts on the folder through
// App::start, and the folder must hold every file exactly as before the operation or exactly as
// after it (as a start after a clean run leaves it): before when the operation failed, after once
// its commit point was on disk (or when the syncs failing from there on left it to the recovery),
// either after a crash or power cut before that. A failure must show a file-error box; no
// temporary file or journal may be left; every file is whole records and each Bets file agrees
// with its Betsbackup.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "faultseam.h"
#include "testapp.h"

namespace vt::test {

// Answers every box: Yes / OK (No to a question holding one of `no`), input boxes from `inputs`
// in turn; records each prompt.
class AnsweringDialogs : public Dialogs {
  public:
    int msgbox(const std::string& prompt, int style, const std::string& title) override;
    std::string inputbox(const std::string& prompt, const std::string& title,
                         const std::string& defaulttext) override;
    std::vector<std::string> prompts;
    std::vector<std::string> inputs;
    std::vector<std::string> no;
    size_t nextinput = 0;
    // File-error boxes (" 57 Device I/O error") shown since the count was last read.
    int errorboxes = 0;
};

struct FaultCase {
    // Writes the program folder (and other folders) before the App is made.
    std::function<void(const TempFolder& program)> prepare;
    // Drives the screens; calls arm() right before the operation's own click.
    std::function<void(App& app, const std::function<void()>& arm)> operation;
    // Folders whose files are compared besides the program folder (a drive).
    std::vector<const TempFolder*> others;
    // Every how many calls outside a commit a run is tried.
    long stride = 3;
};

// Runs the case clean and then at the seam's points; returns the number of runs.
int runfaults(const FaultCase& c);

// Every file of a folder tree but the lock file of a running copy and the commits' spares:
// relative path -> bytes.
std::map<std::string, std::string> snapshot(const std::string& folder);

}  // namespace vt::test
