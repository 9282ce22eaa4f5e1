#pragma once
// The Qt view of the platform layer: real windows, boxes and printing.
#include <map>
#include <memory>
#include <string>

#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/runtime.h"

class QWidget;

namespace vt {

// Real modal message and input boxes.
class QtDialogs : public Dialogs {
public:
    int msgbox(const std::string& prompt, int style, const std::string& title) override;
    std::string inputbox(const std::string& prompt, const std::string& title, const std::string& defaulttext) override;
};

// Prints on the default printer when one is configured, otherwise writes a PDF into
// <program folder>/Printouts/.
class QtPrintSink : public PrintSink {
public:
    explicit QtPrintSink(std::string programfolder) : programfolder_(std::move(programfolder)) {}
    void print(const PrintDoc& doc) override;
    // Where the last document went (a PDF path, or the printer's name).
    std::string lastoutput;

private:
    std::string programfolder_;
};

// Mirrors every loaded, visible form of the runtime as a window; user actions reach the model.
class QtView {
public:
    explicit QtView(Runtime& rt);
    ~QtView();
    // Brings the windows in line with the model (called after every event).
    void sync();
    // The window of a form, when shown.
    QWidget* window(const std::string& formname);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vt
