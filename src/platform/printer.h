#pragma once
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/fileerror.h"

namespace vt {

// One run of text of a printed line: the text of the print items joined directly, starting at
// its column (0 is the first column).
struct PrintRun {
    int column = 0;
    std::string text;
    bool operator==(const PrintRun&) const = default;
};

struct PrintLine {
    std::string text;
    std::string fontname;
    int fontsize = 10;
    bool bold = false;
    // Where each run starts; empty for a line made elsewhere (then the text is one run).
    std::vector<PrintRun> runs;
};
// A document: its pages of lines.
struct PrintDoc {
    std::vector<std::vector<PrintLine>> pages;
    // Every line's text, pages joined, a "\f" line between pages.
    std::vector<std::string> lines() const;
};

class PrintSink {
public:
    virtual ~PrintSink() = default;
    // Receives an ended document; may throw FileError when it cannot print.
    virtual void print(const PrintDoc& doc) = 0;
};

// Keeps documents as text for tests.
class CapturePrintSink : public PrintSink {
public:
    void print(const PrintDoc& doc) override { docs.push_back(doc); }
    std::vector<PrintDoc> docs;
    std::vector<std::string> lines(size_t i) const { return docs.at(i).lines(); }
};

// One item of a print statement: text printed directly, the next print zone, or Tab(n).
struct PItem {
    enum Kind { Text, Zone, Tab } kind = Text;
    std::string text;
    int column = 0;
    PItem(const std::string& s) : text(s) {}
    PItem(const char* s) : text(s) {}
    static PItem zone() { PItem p(""); p.kind = Zone; return p; }
    static PItem tab(int n) { PItem p(""); p.kind = Tab; p.column = n; return p; }
};
inline PItem Tab(int n) { return PItem::tab(n); }
inline PItem Zone() { return PItem::zone(); }

// The printer: print statements build lines at print zones (every 14 columns) and tab columns;
// the document goes to the sink at enddoc.
class Printer {
public:
    explicit Printer(PrintSink* sink = nullptr) : sink_(sink) {}
    void setsink(PrintSink* sink) { sink_ = sink; }
    std::string fontname = "MS Sans Serif";
    int fontsize = 10;
    bool fontbold = false;

    // One print statement; it ends its line.
    void print(std::initializer_list<PItem> items);
    void print(const std::vector<PItem>& items);
    void print() { print(std::vector<PItem>{}); }
    void newpage();
    // Sends the document to the sink (nothing when none is open).
    void enddoc();
    bool docopen() const { return open_; }
    // Drops an open document without printing it.
    void killdoc();
    // Told of a printing failure that cannot be thrown (a document ended by a DocGuard).
    std::function<void(const FileError&)> onprinterror;

private:
    PrintSink* sink_;
    PrintDoc doc_;
    bool open_ = false;
};

// Ends the printer's document when it leaves scope, also on error.
class DocGuard {
public:
    explicit DocGuard(Printer& p) : p_(p) {}
    ~DocGuard();
    DocGuard(const DocGuard&) = delete;
    DocGuard& operator=(const DocGuard&) = delete;

private:
    Printer& p_;
};

// Column arithmetic of a print statement, exposed for tests.
std::string layoutline(const std::vector<PItem>& items, std::vector<std::string>* extralines);
// The same arithmetic, keeping the runs: the lines one print statement makes, the last one last.
std::vector<PrintLine> layoutlines(const std::vector<PItem>& items);

}  // namespace vt
