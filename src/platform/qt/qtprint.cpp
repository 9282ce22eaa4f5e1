#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QTemporaryFile>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>

#include "platform/fileerror.h"
#include "platform/qt/printservice.h"
#include "platform/qt/qtview.h"
#include "platform/qt/qtwidgets.h"

namespace vt {

using qtv::qs;

namespace {

// A text of a document in its font: its advance and, for a text the document prints more than
// once, its glyphs, shaped once (a long report repeats the same names and amounts on many lines).
struct Shaped {
    QString text;
    QList<QGlyphRun> glyphs;  // none: drawn from the text
    qreal ascent = 0;         // the glyphs stand on this baseline from their top
    qreal width = 0;
    bool blank = true;  // nothing to draw
};

// A font of a document as the page draws it, with the texts shaped in it so far.
struct PageFont {
    PageFont(const QFont& f, QPaintDevice* d) : font(f), fm(f, d), device(d) {
        cell = fm.horizontalAdvance(QChar('0'));
        blank = fm.horizontalAdvance(QChar(' ')) / cell;
        texts.reserve(4096);
    }
    QFont font;
    QFontMetricsF fm;
    QPaintDevice* device;
    qreal cell;
    qreal blank;  // a blank's width in columns
    std::unordered_map<QString, Shaped> texts;

    Shaped shaped(const QString& text, bool repeated) {
        if (!repeated)
            return Shaped{text, {}, 0, fm.horizontalAdvance(text), text.trimmed().isEmpty()};
        auto it = texts.find(text);
        if (it != texts.end()) return it->second;
        QTextLayout layout(text, font, device);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        Shaped s;
        s.text = text;
        s.blank = text.trimmed().isEmpty();
        if (line.isValid()) {
            s.glyphs = line.glyphRuns();
            s.ascent = line.ascent();
            s.width = line.horizontalAdvance();
        }
        return texts.emplace(text, std::move(s)).first->second;
    }
};

// Draws a shaped text on the baseline from x, its width scaled by `scale`.
void drawtext(QPainter& p, const Shaped& text, qreal x, qreal baseline, qreal scale) {
    if (scale != 1.0) {
        p.save();
        p.translate(x, baseline);
        p.scale(scale, 1.0);
        x = baseline = 0;
    }
    if (text.glyphs.isEmpty()) p.drawText(QPointF(x, baseline), text.text);
    for (const QGlyphRun& run : text.glyphs)
        p.drawGlyphRun(QPointF(x, baseline - text.ascent), run);
    if (scale != 1.0) p.restore();
}

// How often each text of a document is printed (pieces, in any font).
class TextUses {
  public:
    explicit TextUses(const PrintDoc& doc) {
        for (auto& lines : doc.pages)
            for (auto& line : lines) {
                if (line.runs.empty()) count(line.text);
                for (const PrintRun& run : line.runs) count(run.text);
            }
    }
    bool repeated(const std::string& text) const {
        auto it = uses_.find(text);
        return it != uses_.end() && it->second > 1;
    }

  private:
    void count(const std::string& text) {
        for (TextPiece& t : textpieces(text)) ++uses_[std::move(t.text)];
    }
    std::unordered_map<std::string, int> uses_;
};

// A line placed on the page: each run's column and its pieces, in columns of the line's font.
struct PlacedRun {
    double column;
    RunPlacement placed;
};
using PlacedLine = std::vector<PlacedRun>;

PlacedLine placeline(const PrintLine& line, PageFont& font, const TextUses& uses) {
    const std::vector<PrintRun> single{{0, line.text}};
    const std::vector<PrintRun>& runs =
        line.runs.empty() && !line.text.empty() ? single : line.runs;
    PlacedLine out;
    out.reserve(runs.size());
    for (const PrintRun& run : runs)
        out.push_back(
            {static_cast<double>(run.column), placerun(run.text, [&](const std::string& t) {
                 if (t == " ") return font.blank;
                 const QString q = qs(t);
                 return (uses.repeated(t) ? font.shaped(q, true).width
                                          : font.fm.horizontalAdvance(q)) /
                        font.cell;
             })});
    // A run wider than the room before the next one (a name in a field) is drawn narrower.
    for (size_t i = 0; i + 1 < out.size(); ++i)
        fitrun(out[i].placed, out[i + 1].column - out[i].column - 0.5);
    return out;
}

// Where a placed line's visible text ends, in columns.
double lineend(const PlacedLine& line) {
    double end = 0;
    for (const PlacedRun& run : line) end = std::max(end, run.column + run.placed.visible);
    return end;
}

// Draws one line: each run of print items starts at its column (a column is the width of "0"),
// so columns made with print zones and Tab line up also in a proportional font; padding and
// rules stand where the printer placed them, and a text is drawn as wide as it was placed.
void drawline(QPainter& p, const PlacedLine& line, PageFont& font, const TextUses& uses, qreal x0,
              qreal baseline) {
    const qreal cell = font.cell;
    for (const PlacedRun& run : line)
        for (const PlacedPiece& piece : run.placed.pieces) {
            if (piece.padding) continue;
            const QString q = qs(piece.text);
            const qreal x = x0 + (run.column + piece.column) * cell;
            const bool repeated = uses.repeated(piece.text);
            if (piece.rule) {
                const Shaped rule = font.shaped(q, repeated);
                if (rule.width > 0) drawtext(p, rule, x, baseline, piece.width * cell / rule.width);
            } else {
                drawtext(p, repeated ? font.shaped(q, true) : Shaped{q, {}, 0, 0, false}, x,
                         baseline, piece.scale);
            }
        }
}

// Measures in the fonts documents print in, at a printer's resolution.
class QtTextMeasure : public TextMeasure {
  public:
    double columns(const std::string& text, const std::string& fontname, int fontsize,
                   bool bold) const override {
        ensureqtapp();
        if (!device_) {
            device_ = std::make_unique<QImage>(1, 1, QImage::Format_RGB32);
            device_->setDotsPerMeterX(47244);  // 1200 dots an inch
            device_->setDotsPerMeterY(47244);
        }
        auto key = std::make_tuple(fontname, fontsize, bold);
        auto it = metrics_.find(key);
        if (it == metrics_.end()) {
            QFontMetricsF fm(qtv::fontfor(fontname, fontsize, bold), device_.get());
            it = metrics_.emplace(key, std::make_pair(fm, fm.horizontalAdvance(QChar('0')))).first;
        }
        const auto& [fm, cell] = it->second;
        return cell > 0 ? fm.horizontalAdvance(qs(text)) / cell : static_cast<double>(text.size());
    }

  private:
    mutable std::unique_ptr<QImage> device_;
    mutable std::map<std::tuple<std::string, int, bool>, std::pair<QFontMetricsF, qreal>> metrics_;
};

}  // namespace

namespace qtv {

bool paintdoc(QPainter& p, const QRectF& page, const PrintDoc& doc,
              const std::function<bool()>& newpage) {
    const TextUses uses(doc);
    std::map<std::tuple<std::string, int, bool>, std::unique_ptr<PageFont>> fonts;
    auto fontof = [&](const PrintLine& line) {
        auto& f = fonts[std::make_tuple(line.fontname, line.fontsize, line.bold)];
        if (!f)
            f = std::make_unique<PageFont>(fontfor(line.fontname, line.fontsize, line.bold),
                                           p.device());
        return f.get();
    };
    // Every line placed first: the document keeps one scale, narrowed as a whole when its widest
    // line does not fit the page.
    struct Placed {
        PlacedLine line;
        PageFont* font;
    };
    std::vector<std::vector<Placed>> placed(doc.pages.size());
    qreal widest = 0;
    {
        PageFont* font = nullptr;
        const PrintLine* last = nullptr;
        for (size_t pg = 0; pg < doc.pages.size(); ++pg)
            for (const PrintLine& line : doc.pages[pg]) {
                if (!last || line.fontname != last->fontname || line.fontsize != last->fontsize ||
                    line.bold != last->bold)
                    font = fontof(line);
                last = &line;
                placed[pg].push_back({placeline(line, *font, uses), font});
                widest = std::max(widest, lineend(placed[pg].back().line) * font->cell);
            }
    }
    const qreal docscale = widest > page.width() ? page.width() / widest : 1.0;
    PageFont* painting = nullptr;  // the painter's, set again on each new sheet
    auto begin = [&] {
        painting = nullptr;
        p.save();
        p.translate(page.left(), 0);
        p.scale(docscale, 1.0);
    };
    auto nextsheet = [&] {
        p.restore();
        if (!newpage()) return false;
        begin();
        return true;
    };
    begin();
    bool first = true;
    for (size_t pg = 0; pg < doc.pages.size(); ++pg) {
        if (!first && !nextsheet()) return false;
        first = false;
        qreal y = 0;
        const auto& lines = doc.pages[pg];
        for (size_t i = 0; i < lines.size(); ++i) {
            PageFont* font = placed[pg][i].font;
            const QFontMetricsF& fm = font->fm;
            // The lines of one print statement stay on one sheet (a finisher's name and its
            // amounts): the group starts a new sheet when it does not fit the rest of this one.
            qreal needed = fm.height();
            if (i == 0 || !lines[i - 1].keepwithnext)
                for (size_t k = i; k + 1 < lines.size() && lines[k].keepwithnext; ++k)
                    needed += fm.lineSpacing();
            if (y + needed > page.height() && y > 0) {
                // A page that runs over continues on the next sheet.
                if (!nextsheet()) return false;
                y = 0;
            }
            if (painting != font) p.setFont(font->font);
            painting = font;
            drawline(p, placed[pg][i].line, *font, uses, 0, page.top() + y + fm.ascent());
            y += fm.lineSpacing();
        }
    }
    p.restore();
    return true;
}

}  // namespace qtv

namespace {

// A free name in the folder: the date and time, and a counter when that is taken.
QString freepdfname(const QDir& dir) {
    QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString name = "printout-" + stamp + ".pdf";
    for (int n = 2; dir.exists(name); ++n)
        name = "printout-" + stamp + "-" + QString::number(n) + ".pdf";
    return dir.filePath(name);
}

void paint(QPrinter& printer, const PrintDoc& doc, int errnumber) {
    QPainter p;
    if (!p.begin(&printer)) throwfileerror(errnumber);
    QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    page.moveTo(0, 0);
    if (!qtv::paintdoc(p, page, doc, [&] { return printer.newPage(); })) throwfileerror(errnumber);
    if (!p.end()) throwfileerror(errnumber);
}

// Paints a document into a PDF file: letter pages with half-inch margins, on every path.
void writepdf(const PrintDoc& doc, const QString& file, int errnumber) {
    // Made for no printer: Qt does not ask the print service for its default (unbounded waits).
    QPrinter printer(QPrinterInfo(), QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
    printer.setDocName(qs(doc.title));
    printer.setOutputFileName(file);
    paint(printer, doc, errnumber);
}

// The document's pages, painted once, as PDF bytes.
std::string renderpdf(const PrintDoc& doc) {
    QTemporaryFile file(QDir::tempPath() + "/vantrope-XXXXXX.pdf");
    if (!file.open()) throwfileerror(75);
    file.close();
    writepdf(doc, file.fileName(), 57);
    if (!file.open()) throwfileerror(75);
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) throwfileerror(57);
    return bytes.toStdString();
}

// Waits, with a dialog the cashier can cancel, until the job has completed; a job that failed,
// was cancelled or did not finish in time is a print failure, and one given up on is cancelled.
void waitforjob(PrintService& service, int job, const std::string& title, double seconds) {
    QProgressDialog busy(qs("Printing " + title + " on " + service.printer() + "..."), "Cancel", 0,
                         0);
    busy.setWindowTitle(qs(title.empty() ? std::string("Vantrope") : title));
    busy.setWindowModality(Qt::ApplicationModal);
    busy.setMinimumDuration(0);
    busy.setAutoClose(false);
    busy.setAutoReset(false);
    busy.show();
    QElapsedTimer waited;
    waited.start();
    std::string why;
    for (;;) {
        switch (service.state(job, why)) {
            case PrintService::JobState::Completed:
                return;
            case PrintService::JobState::Failed:
                printfailure(why);
            case PrintService::JobState::Waiting:
                break;
        }
        if (busy.wasCanceled()) {
            service.cancel(job);
            printfailure("The printing was cancelled.");
        }
        if (waited.elapsed() > seconds * 1000) {
            service.cancel(job);
            printfailure(why + " It was cancelled after " + std::to_string(int(seconds)) +
                         " seconds.");
        }
        QEventLoop pause;
        QTimer::singleShot(250, &pause, &QEventLoop::quit);
        QObject::connect(&busy, &QProgressDialog::canceled, &pause, &QEventLoop::quit);
        pause.exec();
    }
}

}  // namespace

const TextMeasure& qtmeasure() {
    static const QtTextMeasure measure;
    return measure;
}

const TextMeasure& QtPrintSink::measure() const { return qtmeasure(); }

void QtPrintSink::print(const PrintDoc& doc) {
    ensureqtapp();
    if (!pdfonly && PrintService::configured()) {
        PrintService service(servicewait);
        // A service that answers it has no default printer leaves the PDF below.
        if (service.find()) {
            const std::string title = doc.title.empty() ? std::string("Vantrope") : doc.title;
            const int job = service.submit(title, renderpdf(doc));
            if (doc.mustcomplete) waitforjob(service, job, doc.title, completionwait);
            lastoutput = service.printer();
            if (onprinted) onprinted(lastoutput);
            return;
        }
    }
    // No printer configured: the document goes into a PDF in the program folder.
    QDir dir(QString::fromStdString(programfolder_));
    // Printouts/ is made when missing; a vanished program folder is not made again.
    if (!dir.exists()) throwfileerror(76);
    if (!dir.mkpath("Printouts") || !dir.cd("Printouts")) throwfileerror(75);
    QString file = freepdfname(dir);
    try {
        writepdf(doc, file, 75);
        if (!QFileInfo(file).isFile() || QFileInfo(file).size() == 0) throwfileerror(75);
    } catch (...) {
        QFile::remove(file);  // no half-written printout is left behind
        throw;
    }
    lastoutput = file.toStdString();
    if (onprinted) onprinted(lastoutput);
}

}  // namespace vt
