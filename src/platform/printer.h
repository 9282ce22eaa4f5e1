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
    // The next line comes from the same print statement: a page does not end between them.
    bool keepwithnext = false;
};
// A document: its pages of lines.
struct PrintDoc {
    std::vector<std::vector<PrintLine>> pages;
    // The document's name ("Refund List"): the title of its print job.
    std::string title;
    // Printed as part of an operation: it counts as printed only once its job has completed, not
    // when the print service has merely accepted it.
    bool mustcomplete = false;
    // Every line's text, pages joined, a "\f" line between pages.
    std::vector<std::string> lines() const;
};

// Widths of printed text. A column is the average character width of the font (the width of a
// figure), so the printer's current column is the drawn width of the line so far in columns.
class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    // The drawn width of text in the font, in columns.
    virtual double columns(const std::string& text, const std::string& fontname, int fontsize,
                           bool bold) const = 0;
};

// Every character one column wide: the current column is the count of characters.
class FixedPitchMeasure : public TextMeasure {
  public:
    double columns(const std::string& text, const std::string&, int, bool) const override {
        return static_cast<double>(text.size());
    }
};
const TextMeasure& fixedpitch();

// A piece of a printed text as the columns count it. A run of two or more blanks (padding) or of
// underscores (a rule) is layout: `fixed`, one column a character, so padded fields and rules
// reach the columns their length names; other text takes its drawn width.
struct TextPiece {
    std::string text;
    bool fixed = false;
};
std::vector<TextPiece> textpieces(const std::string& text);
// A piece of a run placed on its line: its start column from the run's start and width.
struct PlacedPiece {
    std::string text;
    double column = 0;
    double width = 0;
    bool padding = false;  // blanks: nothing to draw
    bool rule = false;     // underscores, drawn stretched to `width`
    double scale = 1;      // a text narrowed to fit its field
};
struct RunPlacement {
    std::vector<PlacedPiece> pieces;
    double end = 0;      // where the next item of the line starts
    double visible = 0;  // where the last visible text (not padding) ends
};
// Places the pieces of a run's text, `width` giving the drawn width of a text in columns. A
// visible text followed by padding is a field of as many columns as the two hold characters,
// so padded columns line up; a text drawn wider than its field is drawn narrower to fit, whole.
// Padding ahead of a text and rules take one column a character.
RunPlacement placerun(const std::string& text,
                      const std::function<double(const std::string&)>& width);
// Narrows a placed run to end within `room` columns: its last text is drawn narrower, so what
// stands before it keeps its column; the whole run alike when that text would keep less than a
// third of its width.
void fitrun(RunPlacement& run, double room);
// The width of text in columns under that rule.
double textcolumns(const std::string& text, const TextMeasure& measure, const std::string& fontname,
                   int fontsize, bool bold);

class PrintSink {
  public:
    virtual ~PrintSink() = default;
    // Hands an ended document over. It returns only when the document counts as printed: its job
    // was accepted by the print service, or completed when the document says `mustcomplete` (or
    // it was written to a PDF where no printer is configured). Otherwise it throws FileError,
    // having cancelled any job it gave up on; a PrintError saying `mayprint` where that cancel
    // did not reach the print service.
    virtual void print(const PrintDoc& doc) = 0;
    // How the documents are measured while they are laid out: in the fonts they print in.
    virtual const TextMeasure& measure() const { return fixedpitch(); }
};

// Keeps documents as text for tests; measured fixed-pitch unless given a measure. With `failwith`
// set it fails as a printer does, with that error number, and keeps nothing.
class CapturePrintSink : public PrintSink {
  public:
    void print(const PrintDoc& doc) override {
        if (failwith) throwfileerror(failwith);
        docs.push_back(doc);
    }
    int failwith = 0;
    const TextMeasure& measure() const override {
        return textmeasure ? *textmeasure : fixedpitch();
    }
    std::vector<PrintDoc> docs;
    std::vector<std::string> lines(size_t i) const { return docs.at(i).lines(); }
    const TextMeasure* textmeasure = nullptr;
};

// A document that could not be printed: the sink's error, and the name of the document.
struct PrintError : FileError {
    PrintError(const FileError& e, std::string doc) : FileError(e), document(std::move(doc)) {}
    std::string document;
    // Its job was given up on but could not be cancelled (the print service was gone): the
    // printout may still come out.
    bool mayprint = false;
};

// One item of a print statement: text printed directly, a text in a field, the next print zone,
// or Tab(n).
struct PItem {
    enum Kind { Text, Zone, Tab, Field } kind = Text;
    std::string text;
    int column = 0;
    PItem(const std::string& s) : text(s) {}
    PItem(const char* s) : text(s) {}
    static PItem zone() {
        PItem p("");
        p.kind = Zone;
        return p;
    }
    static PItem tab(int n) {
        PItem p("");
        p.kind = Tab;
        p.column = n;
        return p;
    }
};
inline PItem Tab(int n) { return PItem::tab(n); }
// A text in a field of n columns: the next item starts n columns on, and a text drawn wider is
// drawn narrower to fit, kept whole. A tab compares the field as filled.
inline PItem InField(const std::string& text, int n) {
    PItem p(text);
    p.kind = PItem::Field;
    p.column = n;
    return p;
}
// A text cut or padded to its places (a label padded to 10, a Format of "@" places): a field of
// as many columns as it holds characters, whether or not padding is left.
inline PItem InField(const std::string& text) {
    return InField(text, static_cast<int>(text.size()));
}
inline PItem Zone() { return PItem::zone(); }

// The printer: print statements build lines at print zones (every 14 columns) and tab columns;
// the document goes to the sink at enddoc.
class Printer {
  public:
    explicit Printer(PrintSink* sink = nullptr) : sink_(sink) {}
    std::string fontname = "MS Sans Serif";
    int fontsize = 10;
    bool fontbold = false;
    // The name of the document being printed ("Refund List"), for the box when it fails; kept
    // until the document ends.
    std::string document;

    // One print statement; it ends its line.
    void print(std::initializer_list<PItem> items);
    void print(const std::vector<PItem>& items);
    void print() { print(std::vector<PItem>{}); }
    // The page does not end between the line printed last and the next one (a heading and its
    // first line, a total and the next).
    void keepwithnext();
    void newpage();
    // Sends the document to the sink (nothing when none is open); throws PrintError, naming the
    // document, when the sink cannot print it. A document printed as part of an operation
    // (`inoperation`) counts only once its job has completed.
    void enddoc(bool inoperation = false);
    bool docopen() const { return open_; }
    // Drops an open document without printing it.
    void killdoc();
    // Told of a printing failure that cannot be thrown (a document ended by a DocGuard).
    std::function<void(const PrintError&)> onprinterror;
    // Told when producing documents starts (true) and ends (false), for a busy cursor.
    std::function<void(bool)> onbusy;
    void busy(bool on);

  private:
    PrintSink* sink_;
    PrintDoc doc_;
    bool open_ = false;
    int busy_ = 0;
};

// Ends the printer's document when it leaves scope, also on error; names the document for the
// failure box, and keeps the printer busy meanwhile.
class DocGuard {
  public:
    DocGuard(Printer& p, const std::string& document);
    ~DocGuard();
    DocGuard(const DocGuard&) = delete;
    DocGuard& operator=(const DocGuard&) = delete;

  private:
    Printer& p_;
};

// Column arithmetic of a print statement, measured fixed-pitch, exposed for tests.
std::string layoutline(const std::vector<PItem>& items, std::vector<std::string>* extralines);
// The same arithmetic, keeping the runs: the lines one print statement makes, the last one last.
// The current column is the width of the line so far as `measure` draws it in the line's font.
std::vector<PrintLine> layoutlines(const std::vector<PItem>& items,
                                   const TextMeasure& measure = fixedpitch(),
                                   const PrintLine& font = PrintLine{});

}  // namespace vt
