#pragma once
// The Qt view of the platform layer: real windows, boxes and printing.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/runtime.h"

class QWidget;

namespace vt {

class Form;

// Real modal message and input boxes.
class QtDialogs : public Dialogs {
  public:
    int msgbox(const std::string& prompt, int style, const std::string& title) override;
    std::string inputbox(const std::string& prompt, const std::string& title,
                         const std::string& defaulttext) override;
};

// Prints on the default printer when one is configured, otherwise writes a PDF into
// <program folder>/Printouts/. While the print service is asked a "Printing" box with Cancel is
// shown; the service is asked on a worker thread, so the window's thread never waits on it.
class QtPrintSink : public PrintSink {
  public:
    explicit QtPrintSink(std::string programfolder) : programfolder_(std::move(programfolder)) {}
    void print(const PrintDoc& doc) override;
    // Measures in the document's fonts, so columns compare drawn widths.
    const TextMeasure& measure() const override;
    // Where the last document went (a PDF path, or the printer's name).
    std::string lastoutput;
    // Told where each document went.
    std::function<void(const std::string&)> onprinted;
    // How long the print service may take to answer (finding the printer, taking a job), and
    // how long a document printed inside an operation may take to complete, in seconds.
    double servicewait = 5;
    double completionwait = 120;
    // Every document goes to a PDF, as on a machine with no printer (tests that keep their
    // printouts never reach the machine's printers).
    bool pdfonly = false;

  private:
    std::string programfolder_;
};

// The settings of the whole process that printing relies on, made once at the start of main: a
// print service that drops its connection does not end the program (SIGPIPE), and memory freed
// while PDFs are written is kept for reuse.
void processsettings();

// Widths of printed text in the fonts the Qt sink prints with.
const TextMeasure& qtmeasure();

// Mirrors every loaded form of the runtime as a window (shown while the form is visible); user
// actions reach the model.
class QtView {
  public:
    explicit QtView(Runtime& rt);
    ~QtView();
    QtView(const QtView&) = delete;
    QtView& operator=(const QtView&) = delete;
    // Brings the windows in line with the model (called after every event).
    void sync();
    // The window of a form, when it has one.
    QWidget* window(const std::string& formname);
    // A short note at the foot of the frontmost window ("Printed to ...").
    void note(const std::string& text);
    // Called after a sync that left no window visible.
    std::function<void()> onnowindows;

    // The view of a runtime: the one made for it, or a new one that lives as long as it.
    static QtView& of(Runtime& rt);

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

// Makes sure a QApplication exists (tests run without main).
void ensureqtapp();

// Ends the running Qt event loops once the current handler returns, whatever the windows do.
// (QApplication::quit first asks every window to close and gives up while one is still shown,
// as a form's window is until the end of the event that unloaded it.)
void endeventloop();

// Renders a loaded form's window into a PNG file (folders made as needed).
bool renderformpng(Runtime& rt, Form& form, const std::string& path);

}  // namespace vt
