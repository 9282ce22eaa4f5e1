#include "platform/runtime.h"

#include "platform/controls.h"
#include "platform/text.h"

namespace vt {

Runtime::Runtime(Dialogs& dialogs, PrintSink& sink, std::string programfolder)
    : dialogs_(&dialogs), printer_(&sink), files_(std::move(programfolder)) {
    printer_.onprinterror = [this](const PrintError& e) { printfailbox(e); };
    printer_.onbusy = [this](bool on) {
        if (onbusy) onbusy(on);
    };
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
    std::string prompt = e.message();
    if (!e.file.empty()) prompt += "\r\n" + filelocation(e.file, e.line);
    if (e.checkfile) prompt += "\r\nCheck it with Fix Files on the main menu.";
    if (!e.advice.empty()) prompt += "\r\n" + e.advice;
    filebox(e.file, prompt, title);
}

bool Runtime::filebox(const std::string& file, const std::string& prompt,
                      const std::string& title) {
    // Outside an event there is no action to count boxes in.
    if (!file.empty() && depth_ > 0 && !boxedfiles_.insert(ucase(file)).second) return false;
    msgbox(prompt, vbOKOnly, title);
    return true;
}

void Runtime::printfailbox(const PrintError& e, bool nothingchanged) {
    msgbox(e.message() + "\r\n" + (e.advice.empty() ? "" : e.advice + "\r\n") +
               (nothingchanged ? "The printout failed, so nothing was changed."
                               : "The printout failed."),
           vbOKOnly, e.document.empty() ? "Printer" : e.document);
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

void Runtime::dispatch(const std::function<void()>& handler) {
    // Before each operation an unfinished journal is dealt with; when that fails, the
    // operation's commit tries again and refuses while it cannot.
    if (depth_ == 0) {
        boxedfiles_.clear();
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

void Runtime::keepalive(std::unique_ptr<Form> form) { graveyard_.push_back(std::move(form)); }

void Runtime::finish() {
    if (depth_ != 0) return;
    // Forms unloaded during the event are dropped only now, never under a running handler.
    auto dead = std::move(graveyard_);
    graveyard_.clear();
    dead.clear();
    if (onchanged) onchanged();
}

}  // namespace vt
