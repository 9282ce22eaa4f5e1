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
#include <QRawFont>
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

// A text of a document in its font, shaped once: its advance and its glyphs (a long report
// repeats the same names and amounts on many lines).
struct Shaped {
    qreal width = 0;
    qreal ascent = 0;  // the glyphs stand on this baseline from their top
    // One plain run in the font's own face: its glyphs are `count` of the font's from `first`,
    // drawn together with the rest of its line.
    bool plain = false;
    qsizetype first = 0, count = 0;
    // Otherwise (another face for some of its characters, right to left): its runs, one by one.
    QList<QGlyphRun> runs;
};

// A font of a document as the page draws it, with the texts shaped in it so far.
struct PageFont {
    PageFont(const QFont& f, QPaintDevice* d) : font(f), fm(f, d), device(d) {
        cell = fm.horizontalAdvance(QChar('0'));
        blank = fm.horizontalAdvance(QChar(' ')) / cell;
        height = fm.height();
        spacing = fm.lineSpacing();
        ascent = fm.ascent();
        texts.reserve(4096);
    }
    QFont font;
    QFontMetricsF fm;
    QPaintDevice* device;
    qreal cell;
    qreal blank;  // a blank's width in columns
    qreal height, spacing, ascent;
    QRawFont face;                // the face of the plain texts
    qint64 blankglyph = -1;       // its glyph of a blank (0: none)
    std::vector<quint32> glyphs;  // the plain texts' glyphs, one after the other
    std::vector<QPointF> positions;
    std::unordered_map<std::string, Shaped> texts;

    const Shaped& shaped(const std::string& text) {
        auto [it, added] = texts.try_emplace(text);
        Shaped& s = it->second;
        if (!added) return s;
        QTextLayout layout(qs(text), font, device);
        layout.setCacheEnabled(true);  // its glyphs are read after the layout: shaped once
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid()) return s;
        s.ascent = line.ascent();
        s.width = line.horizontalAdvance();
        s.runs = line.glyphRuns();
        if (s.runs.size() != 1 || s.runs[0].flags() != QGlyphRun::GlyphRunFlags()) return s;
        if (!face.isValid()) face = s.runs[0].rawFont();
        if (s.runs[0].rawFont() != face) return s;
        if (blankglyph < 0) {
            const QList<quint32> g = face.glyphIndexesForString(QStringLiteral(" "));
            blankglyph = g.size() == 1 ? g[0] : 0;
        }
        // Blanks draw nothing: their glyphs are left out, the others keep their places.
        const QList<quint32> g = s.runs[0].glyphIndexes();
        const QList<QPointF> at = s.runs[0].positions();
        s.plain = true;
        s.first = static_cast<qsizetype>(glyphs.size());
        for (qsizetype i = 0; i < g.size() && i < at.size(); ++i)
            if (blankglyph == 0 || g[i] != static_cast<quint32>(blankglyph)) {
                glyphs.push_back(g[i]);
                positions.push_back(at[i]);
            }
        s.count = static_cast<qsizetype>(glyphs.size()) - s.first;
        s.runs.clear();
        return s;
    }
};

// A line placed on the page: each run's column, its pieces in columns of the line's font, and
// the shaped texts of its pieces in order (blanks and rules left out).
struct PlacedRun {
    double column;
    RunPlacement placed;
    std::vector<const Shaped*> texts;
};
using PlacedLine = std::vector<PlacedRun>;

PlacedLine placeline(const PrintLine& line, PageFont& font) {
    const std::vector<PrintRun> single{{0, line.text}};
    const std::vector<PrintRun>& runs =
        line.runs.empty() && !line.text.empty() ? single : line.runs;
    PlacedLine out(runs.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        PlacedRun& placed = out[i];
        placed.column = static_cast<double>(runs[i].column);
        placed.placed = placerun(runs[i].text, [&](const std::string& t) {
            if (t == " ") return font.blank;
            const Shaped& s = font.shaped(t);
            placed.texts.push_back(&s);
            return s.width / font.cell;
        });
    }
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

// Draws a shaped text on its own, on the baseline from x, its width scaled by `scale`.
void drawalone(QPainter& p, const PageFont& font, const Shaped& text, qreal x, qreal baseline,
               qreal scale) {
    if (text.plain && text.count == 0) return;
    if (scale != 1.0) {
        p.save();
        p.translate(x, baseline);
        p.scale(scale, 1.0);
        x = baseline = 0;
    }
    if (text.plain) {
        QGlyphRun run;
        run.setRawFont(font.face);
        run.setRawData(font.glyphs.data() + text.first, font.positions.data() + text.first,
                       static_cast<int>(text.count));
        p.drawGlyphRun(QPointF(x, baseline - text.ascent), run);
    } else {
        for (const QGlyphRun& run : text.runs)
            p.drawGlyphRun(QPointF(x, baseline - text.ascent), run);
    }
    if (scale != 1.0) p.restore();
}

// Draws one line: each run of print items starts at its column (a column is the width of "0"),
// so columns made with print zones and Tab line up also in a proportional font; padding and
// rules stand where the printer placed them, and a text is drawn as wide as it was placed. The
// line's plain texts at their own width are drawn as one run of glyphs (the page description
// then holds one text object a line rather than one a piece); texts drawn narrower follow.
struct LineGlyphs {
    std::vector<quint32> glyphs;
    std::vector<QPointF> positions;
    struct Alone {
        const Shaped* text;
        qreal x, scale;
    };
    std::vector<Alone> alone;
};
void drawline(QPainter& p, const PlacedLine& line, PageFont& font, qreal x0, qreal baseline,
              LineGlyphs& scratch) {
    const qreal cell = font.cell;
    std::vector<quint32>& glyphs = scratch.glyphs;
    std::vector<QPointF>& positions = scratch.positions;
    std::vector<LineGlyphs::Alone>& alone = scratch.alone;
    glyphs.clear();
    positions.clear();
    alone.clear();
    for (const PlacedRun& run : line) {
        size_t k = 0;
        for (const PlacedPiece& piece : run.placed.pieces) {
            if (piece.padding) continue;
            const qreal x = x0 + (run.column + piece.column) * cell;
            if (piece.rule) {
                const Shaped& rule = font.shaped(piece.text);
                if (rule.width > 0) alone.push_back({&rule, x, piece.width * cell / rule.width});
                continue;
            }
            if (piece.text == " ") continue;  // a blank: nothing to draw
            const Shaped& text = *run.texts.at(k++);
            if (!text.plain || piece.scale != 1.0) {
                alone.push_back({&text, x, piece.scale});
                continue;
            }
            const QPointF at(x, baseline - text.ascent);
            for (qsizetype g = text.first; g < text.first + text.count; ++g) {
                glyphs.push_back(font.glyphs[g]);
                positions.push_back(at + font.positions[g]);
            }
        }
    }
    if (!glyphs.empty()) {
        QGlyphRun run;
        run.setRawFont(font.face);
        run.setRawData(glyphs.data(), positions.data(), static_cast<int>(glyphs.size()));
        p.drawGlyphRun(QPointF(0, 0), run);
    }
    for (const LineGlyphs::Alone& a : alone) drawalone(p, font, *a.text, a.x, baseline, a.scale);
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
                placed[pg].push_back({placeline(line, *font), font});
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
    LineGlyphs scratch;
    bool first = true;
    for (size_t pg = 0; pg < doc.pages.size(); ++pg) {
        if (!first && !nextsheet()) return false;
        first = false;
        qreal y = 0;
        const auto& lines = doc.pages[pg];
        for (size_t i = 0; i < lines.size(); ++i) {
            PageFont* font = placed[pg][i].font;
            // The lines of one print statement stay on one sheet (a finisher's name and its
            // amounts): the group starts a new sheet when it does not fit the rest of this one.
            qreal needed = font->height;
            if (i == 0 || !lines[i - 1].keepwithnext)
                for (size_t k = i; k + 1 < lines.size() && lines[k].keepwithnext; ++k)
                    needed += font->spacing;
            if (y + needed > page.height() && y > 0) {
                // A page that runs over continues on the next sheet.
                if (!nextsheet()) return false;
                y = 0;
            }
            if (painting != font) p.setFont(font->font);
            painting = font;
            drawline(p, placed[pg][i].line, *font, 0, page.top() + y + font->ascent, scratch);
            y += font->spacing;
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
