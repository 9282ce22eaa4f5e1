#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/fileerror.h"
#include "platform/qt/qtview.h"
#include "platform/qt/qtwidgets.h"

namespace vt {

using qtv::qs;

namespace {

// Draws one line: each run of print items starts at its column (a column is the width of "0"),
// so columns made with print zones and Tab line up also in a proportional font. A run wider
// than the room before the next one is narrowed to fit.
void drawline(QPainter& p, const PrintLine& line, qreal x0, qreal baseline, qreal cell, qreal right) {
    std::vector<PrintRun> runs = line.runs;
    if (runs.empty() && !line.text.empty()) runs.push_back({0, line.text});
    for (size_t i = 0; i < runs.size(); ++i) {
        qreal x = x0 + static_cast<qreal>(runs[i].column) * cell;
        qreal room = i + 1 < runs.size() ? static_cast<qreal>(runs[i + 1].column - runs[i].column) * cell - cell * 0.5 : right - x;
        QString text = qs(runs[i].text);
        qreal w = p.fontMetrics().horizontalAdvance(text);
        if (w > room && room > 0) {
            p.save();
            p.translate(x, baseline);
            p.scale(room / w, 1.0);
            p.drawText(QPointF(0, 0), text);
            p.restore();
        } else {
            p.drawText(QPointF(x, baseline), text);
        }
    }
}

}  // namespace

namespace qtv {

bool paintdoc(QPainter& p, const QRectF& page, const PrintDoc& doc, const std::function<bool()>& newpage) {
    bool first = true;
    for (auto& lines : doc.pages) {
        if (!first && !newpage()) return false;
        first = false;
        qreal y = 0;
        for (auto& line : lines) {
            QFont f = fontfor(line.fontname, line.fontsize, line.bold);
            p.setFont(f);
            QFontMetricsF fm(f, p.device());
            if (y + fm.height() > page.height() && y > 0) {
                // A page that runs over continues on the next sheet.
                if (!newpage()) return false;
                y = 0;
            }
            drawline(p, line, page.left(), page.top() + y + fm.ascent(), fm.horizontalAdvance(QChar('0')), page.right());
            y += fm.lineSpacing();
        }
    }
    return true;
}

}  // namespace qtv

namespace {

// A free name in the folder: the date and time, and a counter when that is taken.
QString freepdfname(const QDir& dir) {
    QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString name = "printout-" + stamp + ".pdf";
    for (int n = 2; dir.exists(name); ++n) name = "printout-" + stamp + "-" + QString::number(n) + ".pdf";
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

}  // namespace

void QtPrintSink::print(const PrintDoc& doc) {
    ensureqtapp();
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        paint(printer, doc, 57);
        lastoutput = info.printerName().toStdString();
    } else {
        // No printer configured: the document goes into a PDF in the program folder.
        QDir dir(QString::fromStdString(programfolder_));
        // Printouts/ is made when missing; a vanished program folder is not made again.
        if (!dir.exists()) throwfileerror(76);
        if (!dir.mkpath("Printouts") || !dir.cd("Printouts")) throwfileerror(75);
        QString file = freepdfname(dir);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
        printer.setOutputFileName(file);
        try {
            paint(printer, doc, 75);
            if (!QFileInfo(file).isFile() || QFileInfo(file).size() == 0) throwfileerror(75);
        } catch (...) {
            QFile::remove(file);  // no half-written printout is left behind
            throw;
        }
        lastoutput = file.toStdString();
    }
    if (onprinted) onprinted(lastoutput);
}

}  // namespace vt
