#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRawFont>
#include <QSemaphore>
#include <QTemporaryFile>
#include <QTextLayout>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <unordered_map>
#ifdef __GLIBC__
#include <malloc.h>
#endif

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

// A text shaped in a font resolved for the page: its advance and, when its glyphs are one plain
// run in `face`, those glyphs; otherwise its runs when `keepruns`.
struct ShapeResult {
    bool valid = false;
    qreal width = 0, ascent = 0;
    bool plain = false;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    QList<QGlyphRun> runs;
};
ShapeResult shapetext(const QString& text, const QFont& font, const QRawFont& face, bool keepruns) {
    ShapeResult r;
    QTextLayout layout(text, font);
    layout.setCacheEnabled(true);  // its glyphs are read after the layout: shaped once
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return r;
    r.valid = true;
    r.ascent = line.ascent();
    r.width = line.horizontalAdvance();
    QList<QGlyphRun> runs = line.glyphRuns();
    if (runs.size() == 1 && runs[0].flags() == QGlyphRun::GlyphRunFlags() && face.isValid() &&
        runs[0].rawFont() == face) {
        r.plain = true;
        r.glyphs = runs[0].glyphIndexes();
        r.positions = runs[0].positions();
    } else if (keepruns) {
        r.runs = std::move(runs);
    }
    return r;
}

// A font as a thread shapes in it: a copy of its own (a font's resolved engines belong to the
// thread that resolved them), and its face, the face of "0".
struct ShapingFont {
    ShapingFont(const QFont& f, QPaintDevice* device) : font(f, device) {
        // The copy is made a font of its own, sharing nothing with the caller's.
        font.setKerning(!font.kerning());
        font.setKerning(!font.kerning());
    }
    QFont font;
    QRawFont face;
    void resolve() {
        const ShapeResult zero = shapetext(QStringLiteral("0"), font, QRawFont(), true);
        if (zero.runs.size() == 1) face = zero.runs[0].rawFont();
    }
};

// A font of a document as the page draws it, with the texts shaped in it so far.
struct PageFont {
    PageFont(const QFont& f, QPaintDevice* d) : font(f), fm(f, d), device(d), shaping(f, d) {
        cell = fm.horizontalAdvance(QChar('0'));
        blank = fm.horizontalAdvance(QChar(' ')) / cell;
        height = fm.height();
        spacing = fm.lineSpacing();
        ascent = fm.ascent();
        shaping.resolve();
        const QList<quint32> g = shaping.face.glyphIndexesForString(QStringLiteral(" "));
        blankglyph = g.size() == 1 ? g[0] : 0;
        texts.reserve(4096);
    }
    QFont font;
    QFontMetricsF fm;
    QPaintDevice* device;
    ShapingFont shaping;  // this thread's
    qreal cell;
    qreal blank;  // a blank's width in columns
    qreal height, spacing, ascent;
    quint32 blankglyph = 0;       // the face's glyph of a blank (0: none)
    std::vector<quint32> glyphs;  // the plain texts' glyphs, one after the other
    std::vector<QPointF> positions;
    std::unordered_map<std::string, Shaped> texts;
    std::vector<std::pair<const std::string*, Shaped*>> unshaped;  // met, shaped later

    // Keeps a text's shape; a text shaped elsewhere that is not plain is shaped again here, for
    // runs in this thread's faces.
    void keep(const std::string& text, Shaped& s, ShapeResult r) {
        if (!r.plain && r.valid && r.runs.isEmpty())
            r = shapetext(qs(text), shaping.font, shaping.face, true);
        if (!r.valid) return;
        s.width = r.width;
        s.ascent = r.ascent;
        s.runs = std::move(r.runs);
        if (!r.plain) return;
        // Blanks draw nothing: their glyphs are left out, the others keep their places.
        s.plain = true;
        s.first = static_cast<qsizetype>(glyphs.size());
        for (qsizetype i = 0; i < r.glyphs.size() && i < r.positions.size(); ++i)
            if (blankglyph == 0 || r.glyphs[i] != blankglyph) {
                glyphs.push_back(r.glyphs[i]);
                positions.push_back(r.positions[i]);
            }
        s.count = static_cast<qsizetype>(glyphs.size()) - s.first;
    }
    const Shaped& shaped(const std::string& text) {
        auto [it, added] = texts.try_emplace(text);
        if (added) keep(text, it->second, shapetext(qs(text), shaping.font, shaping.face, true));
        return it->second;
    }
    // Notes a text to be shaped with the others (shapeall).
    void meet(const std::string& text) {
        auto [it, added] = texts.try_emplace(text);
        if (added) unshaped.emplace_back(&it->first, &it->second);
    }
    // Shapes the texts met, on up to `threads` threads when there are many.
    void shapeall(int threads);
};

// A thread shapes no fewer texts than this: a short document is shaped by the painting thread.
constexpr size_t textsperthread = 512;

// The threads that help shape long documents. They are kept for the program's life, so each keeps
// the fonts it has resolved: a fresh thread would load them again for every document.
QThreadPool& shapingpool() {
    static QThreadPool* const pool = [] {
        auto* threads = new QThreadPool;  // never deleted: its idle threads end with the program
        threads->setExpiryTimeout(-1);
        threads->setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
        return threads;
    }();
    return *pool;
}

void PageFont::shapeall(int threads) {
    std::vector<ShapeResult> results(unshaped.size());
    const size_t chunk = 64;
    std::atomic<size_t> next{0};
    auto work = [&](const ShapingFont& f) {
        for (;;) {
            const size_t from = next.fetch_add(chunk);
            if (from >= unshaped.size()) return;
            for (size_t i = from; i < std::min(from + chunk, unshaped.size()); ++i)
                results[i] = shapetext(qs(*unshaped[i].first), f.font, f.face, false);
        }
    };
    int helpers = std::min<int>(threads - 1, static_cast<int>(unshaped.size() / textsperthread));
    helpers = std::min(helpers, QThread::idealThreadCount() - 1);
    QSemaphore done;
    int started = 0;
    // The helpers are waited for however this thread leaves: they work on what is here.
    struct Join {
        QSemaphore& done;
        int& started;
        ~Join() { done.acquire(started); }
    };
    std::vector<std::unique_ptr<ShapingFont>> copies;
    for (int i = 0; i < helpers; ++i) {
        copies.push_back(std::make_unique<ShapingFont>(font, device));
        ShapingFont* f = copies.back().get();
        if (shapingpool().tryStart([&work, &done, f] {
                f->resolve();
                work(*f);
                // Its face and resolved font are let go in the thread that made them.
                f->face = QRawFont();
                f->font = QFont();
                done.release();
            }))
            ++started;
    }
    {
        const Join join{done, started};
        work(shaping);
    }
    for (size_t i = 0; i < unshaped.size(); ++i)
        keep(*unshaped[i].first, *unshaped[i].second, std::move(results[i]));
    unshaped.clear();
}

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
        run.setRawFont(font.shaping.face);
        run.setRawData(font.glyphs.data() + text.first, font.positions.data() + text.first,
                       static_cast<int>(text.count));
        p.drawGlyphRun(QPointF(x, baseline - text.ascent), run);
    } else {
        for (const QGlyphRun& run : text.runs)
            p.drawGlyphRun(QPointF(x, baseline - text.ascent), run);
    }
    if (scale != 1.0) p.restore();
}

// The glyphs of the line being drawn, kept from line to line for their room.
struct LineGlyphs {
    std::vector<quint32> glyphs;
    std::vector<QPointF> positions;
};

// Draws one line: each run of print items starts at its column (a column is the width of "0"),
// so columns made with print zones and Tab line up also in a proportional font; padding and
// rules stand where the printer placed them, and a text is drawn as wide as it was placed. The
// plain texts at their own width that follow one another are drawn as one run of glyphs (the
// page description then holds one text object for them rather than one a piece), in the order
// of the line, so a reader of the page finds its words in that order.
void drawline(QPainter& p, const PlacedLine& line, PageFont& font, qreal x0, qreal baseline,
              LineGlyphs& scratch) {
    const qreal cell = font.cell;
    std::vector<quint32>& glyphs = scratch.glyphs;
    std::vector<QPointF>& positions = scratch.positions;
    auto flush = [&] {
        if (glyphs.empty()) return;
        QGlyphRun run;
        run.setRawFont(font.shaping.face);
        run.setRawData(glyphs.data(), positions.data(), static_cast<int>(glyphs.size()));
        p.drawGlyphRun(QPointF(0, 0), run);
        glyphs.clear();
        positions.clear();
    };
    for (const PlacedRun& run : line) {
        size_t k = 0;
        for (const PlacedPiece& piece : run.placed.pieces) {
            if (piece.padding) continue;
            const qreal x = x0 + (run.column + piece.column) * cell;
            if (piece.rule) {
                const Shaped& rule = font.shaped(piece.text);
                if (rule.width <= 0) continue;
                flush();
                drawalone(p, font, rule, x, baseline, piece.width * cell / rule.width);
                continue;
            }
            if (piece.text == " ") continue;  // a blank: nothing to draw
            const Shaped& text = *run.texts.at(k++);
            if (!text.plain || piece.scale != 1.0) {
                flush();
                drawalone(p, font, text, x, baseline, piece.scale);
                continue;
            }
            const QPointF at(x, baseline - text.ascent);
            for (qsizetype g = text.first; g < text.first + text.count; ++g) {
                glyphs.push_back(font.glyphs[g]);
                positions.push_back(at + font.positions[g]);
            }
        }
    }
    flush();
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
              const std::function<bool()>& newpage, int threads) {
    std::map<std::tuple<std::string, int, bool>, std::unique_ptr<PageFont>> fonts;
    auto fontof = [&](const PrintLine& line) {
        auto& f = fonts[std::make_tuple(line.fontname, line.fontsize, line.bold)];
        if (!f)
            f = std::make_unique<PageFont>(fontfor(line.fontname, line.fontsize, line.bold),
                                           p.device());
        return f.get();
    };
    // Each line of the document with its page number and font (looked up where the font changes).
    auto eachline = [&](const auto& fn) {
        PageFont* font = nullptr;
        const PrintLine* last = nullptr;
        for (size_t pg = 0; pg < doc.pages.size(); ++pg)
            for (const PrintLine& line : doc.pages[pg]) {
                if (!last || line.fontname != last->fontname || line.fontsize != last->fontsize ||
                    line.bold != last->bold)
                    font = fontof(line);
                last = &line;
                fn(pg, line, *font);
            }
    };
    // The texts of the document are shaped first, all at once.
    eachline([](size_t, const PrintLine& line, PageFont& font) {
        auto meet = [&](const std::string& text) {
            for (const TextPiece& piece : textpieces(text))
                if (piece.text[0] == '_' || (!piece.fixed && piece.text != " "))
                    font.meet(piece.text);
        };
        if (line.runs.empty()) meet(line.text);
        for (const PrintRun& run : line.runs) meet(run.text);
    });
    for (auto& entry : fonts) entry.second->shapeall(threads);
    // Every line placed before any is drawn: the document keeps one scale, narrowed as a whole
    // when its widest line does not fit the page.
    struct Placed {
        PlacedLine line;
        PageFont* font;
    };
    std::vector<std::vector<Placed>> placed(doc.pages.size());
    qreal widest = 0;
    eachline([&](size_t pg, const PrintLine& line, PageFont& font) {
        placed[pg].push_back({placeline(line, font), &font});
        widest = std::max(widest, lineend(placed[pg].back().line) * font.cell);
    });
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

// The name a document goes by: its title, "Vantrope" when it has none.
std::string docname(const PrintDoc& doc) {
    return doc.title.empty() ? std::string("Vantrope") : doc.title;
}

// A free name in the folder: the document's name (letters, digits, blanks and hyphens; any other
// character becomes "_"), the date and time, and a counter when that is taken.
QString freepdfname(const QDir& dir, const PrintDoc& printed) {
    QString doc;
    for (char ch : docname(printed).substr(0, 60)) {
        bool safe = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') ||
                    (ch >= '0' && ch <= '9') || ch == ' ' || ch == '-';
        doc += QLatin1Char(safe ? ch : '_');
    }
    QString stamp = doc + "-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString name = stamp + ".pdf";
    for (int n = 2; dir.exists(name); ++n) name = stamp + "-" + QString::number(n) + ".pdf";
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

// The "Printing" box, up while the print service is asked. Each call to the service runs on a
// worker thread meanwhile, so the window's thread keeps its event loop: the box is drawn and its
// Cancel stops the wait at once. After Cancel the box stays up, saying so, until the service has
// been told; closing it counts as Cancel.
class PrintingBox : public QProgressDialog {
  public:
    PrintingBox(const std::string& title, PrintService& service)
        : QProgressDialog(qs("Printing " + title + "..."), "Cancel", 0, 0), service_(service) {
        setWindowTitle(qs(title));
        setWindowModality(Qt::ApplicationModal);
        setMinimumDuration(0);
        setAutoClose(false);
        setAutoReset(false);
        // Cancel does not hide the box: the cashier sees it until the wait has ended.
        disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
        connect(this, &QProgressDialog::canceled, this, [this] { stop(); });
        show();
    }
    // Runs a call to the service on a worker thread, the event loop running until it returns;
    // returns what it returned, or throws what it threw.
    template <class Call>
    auto run(Call call) -> decltype(call()) {
        std::optional<decltype(call())> result;
        std::exception_ptr failed;
        QEventLoop loop;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            try {
                result.emplace(call());
            } catch (...) {
                failed = std::current_exception();
            }
        }));
        QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
        worker->start();
        loop.exec();
        worker->wait();
        if (failed) std::rethrow_exception(failed);
        return std::move(*result);
    }

  protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        stop();
    }
    void reject() override { stop(); }

  private:
    void stop() {
        service_.stop();
        setLabelText("Cancelling the printing...");
        if (auto* button = findChild<QPushButton*>()) button->setEnabled(false);
    }
    PrintService& service_;
    qtv::ArrowWhileOpen arrow_;
};

}  // namespace

void processsettings() {
    // A print service that drops the connection while a request is written to it is a failed
    // job, not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
#ifdef __GLIBC__
    // The PDF engine takes large buffers for every sheet it writes (chunks of megabytes to
    // compress a sheet) and frees them again. The C library would give that memory back to the
    // system each time, and the next sheet would fault it in afresh, page by page, a fifth of the
    // time of a long report. Freed memory is kept for reuse instead.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

const TextMeasure& qtmeasure() {
    static const QtTextMeasure measure;
    return measure;
}

const TextMeasure& QtPrintSink::measure() const { return qtmeasure(); }

void QtPrintSink::print(const PrintDoc& doc) {
    ensureqtapp();
    if (!pdfonly && PrintService::configured()) {
        const std::string title = docname(doc);
        PrintService service(servicewait);
        PrintingBox box(title, service);
        // A service that answers it has no default printer leaves the PDF below.
        if (box.run([&] { return service.find(); })) {
            box.setLabelText(qs("Printing " + title + " on " + service.printer() + "..."));
            const std::string pdf = renderpdf(doc);
            const int job = box.run([&] { return service.submit(title, pdf); });
            if (doc.mustcomplete)
                box.run([&] {
                    service.awaitcompletion(job, completionwait);
                    return true;
                });
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
    QString file = freepdfname(dir, doc);
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
