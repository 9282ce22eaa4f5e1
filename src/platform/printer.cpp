#include "platform/printer.h"

#include <cmath>
#include <optional>

namespace vt {

std::vector<std::string> PrintDoc::lines() const {
    std::vector<std::string> out;
    for (size_t p = 0; p < pages.size(); ++p) {
        if (p) out.push_back("\f");
        for (auto& l : pages[p]) out.push_back(l.text);
    }
    return out;
}

const TextMeasure& fixedpitch() {
    static const FixedPitchMeasure measure;
    return measure;
}

std::vector<TextPiece> textpieces(const std::string& text) {
    std::vector<TextPiece> out;
    size_t i = 0;
    while (i < text.size()) {
        size_t j = i;
        const char c = text[i];
        if (c == ' ' || c == '_') {
            while (j < text.size() && text[j] == c) ++j;
            if (c == '_' || j - i >= 2) {
                out.push_back({text.substr(i, j - i), true});
                i = j;
                continue;
            }
        }
        // Ordinary text runs up to the next rule or padding.
        j = i + 1;
        while (j < text.size() && text[j] != '_' &&
               !(text[j] == ' ' && j + 1 < text.size() && text[j + 1] == ' '))
            ++j;
        if (!out.empty() && !out.back().fixed)
            out.back().text += text.substr(i, j - i);
        else
            out.push_back({text.substr(i, j - i), false});
        i = j;
    }
    return out;
}

RunPlacement placerun(const std::string& text,
                      const std::function<double(const std::string&)>& width) {
    RunPlacement out;
    const std::vector<TextPiece> pieces = textpieces(text);
    double pos = 0;
    double blank = -1;  // the drawn width of a blank, measured when padding needs it
    for (size_t i = 0; i < pieces.size(); ++i) {
        const TextPiece& t = pieces[i];
        const double count = static_cast<double>(t.text.size());
        if (t.fixed) {
            // A rule, or padding ahead of a text: one column a character.
            const bool rule = t.text[0] == '_';
            out.pieces.push_back({t.text, pos, count, !rule, rule});
            pos += count;
            if (rule) out.visible = pos;
            continue;
        }
        const double w = width(t.text);
        out.pieces.push_back({t.text, pos, w, false, false});
        out.visible = pos + w;
        if (i + 1 < pieces.size() && pieces[i + 1].fixed && pieces[i + 1].text[0] == ' ') {
            // The text and its padding make a field as wide as they hold characters; a text
            // drawn wider is drawn narrower, whole, leaving a blank before the field's end.
            const std::string& pad = pieces[++i].text;
            const double end = pos + count + static_cast<double>(pad.size());
            if (blank < 0) blank = width(" ");
            const double room = end - pos - blank;
            if (w > room && room > 0) {
                out.pieces.back().width = room;
                out.pieces.back().scale = room / w;
                out.visible = pos + room;
            }
            out.pieces.push_back({pad, out.visible, end - out.visible, true, false});
            pos = end;
        } else {
            pos += w;
        }
    }
    out.end = pos;
    return out;
}

void fitrun(RunPlacement& run, double room) {
    if (room <= 0 || run.visible <= room) return;
    for (auto it = run.pieces.rbegin(); it != run.pieces.rend(); ++it) {
        if (it->padding) continue;
        const double width = room - it->column;
        if (it->rule || width < it->width / 3) break;
        it->scale *= width / it->width;
        it->width = width;
        run.visible = room;
        return;
    }
    const double scale = room / run.visible;
    for (PlacedPiece& piece : run.pieces) {
        piece.column *= scale;
        piece.width *= scale;
        piece.scale *= scale;
    }
    run.visible = room;
    run.end *= scale;
}

double textcolumns(const std::string& text, const TextMeasure& measure, const std::string& fontname,
                   int fontsize, bool bold) {
    return placerun(
               text,
               [&](const std::string& t) { return measure.columns(t, fontname, fontsize, bold); })
        .end;
}

std::vector<PrintLine> layoutlines(const std::vector<PItem>& items, const TextMeasure& measure,
                                   const PrintLine& font) {
    // Columns are compared with a little slack, so a text drawn to end at a tab fits there
    // whatever the rounding of its width.
    constexpr double slack = 0.05;
    std::vector<PrintLine> lines(1);
    double pos = 0;       // the current column, 0 the first: the drawn width so far
    double visible = 0;   // where the line's visible text ends (trailing padding left out)
    bool joined = false;  // the next text continues the last run
    // Text is measured only when a zone or tab needs the current column after it.
    bool measured = true;
    auto measurerun = [&] {
        if (measured) return;
        const PrintRun& run = lines.back().runs.back();
        const RunPlacement placed = placerun(run.text, [&](const std::string& t) {
            return measure.columns(t, font.fontname, font.fontsize, font.bold);
        });
        pos = run.column + placed.end;
        visible = run.column + placed.visible;
        measured = true;
    };
    auto current = [&] {
        measurerun();
        return pos;
    };
    // The line's text keeps each run at its column; a proportional run that holds more
    // characters than columns is followed by one blank, so the words stay apart.
    auto moveto = [&](size_t column) {
        std::string& line = lines.back().text;
        if (line.size() < column)
            line.resize(column, ' ');
        else if (line.size() > column && line.back() != ' ')
            line += ' ';
        pos = static_cast<double>(column);
        joined = false;
    };
    for (auto& it : items) {
        PrintLine& l = lines.back();
        switch (it.kind) {
            case PItem::Text:
            case PItem::Field: {
                if (it.text.empty() && it.kind == PItem::Text) break;
                const bool field = it.kind == PItem::Field;
                if (!joined || l.runs.empty() || field)
                    l.runs.push_back({static_cast<int>(std::lround(current())), ""});
                l.runs.back().text += it.text;
                l.text += it.text;
                measured = false;
                joined = true;
                if (field) {
                    // The field takes its columns whatever its text (the sink fits the text in),
                    // and counts as filled, so its text is not measured.
                    const double start = l.runs.back().column;
                    pos = visible = start + it.column;
                    if (l.text.size() < static_cast<size_t>(start) + it.column)
                        l.text.resize(static_cast<size_t>(start) + it.column, ' ');
                    measured = true;
                    joined = false;
                }
                break;
            }
            case PItem::Zone: {
                // Print zones start at columns 1, 15, 29, ...; a comma moves to the first zone
                // after the current column, so two commas in a row skip a zone.
                size_t zone = 1;
                while (static_cast<double>(zone) <= current() + 1 + 1e-9) zone += 14;
                moveto(zone - 1);
                visible = pos;
                break;
            }
            case PItem::Tab: {
                // Only visible text past the tab's column breaks the line; trailing padding does
                // not.
                size_t target = it.column < 1 ? 1 : static_cast<size_t>(it.column);
                measurerun();
                if (visible > static_cast<double>(target - 1) + slack) {
                    lines.emplace_back();
                    pos = 0;
                }
                moveto(target - 1);
                visible = pos;
                break;
            }
        }
    }
    return lines;
}

std::string layoutline(const std::vector<PItem>& items, std::vector<std::string>* extralines) {
    auto lines = layoutlines(items);
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        if (extralines) extralines->push_back(lines[i].text);
    return lines.back().text;
}

void Printer::print(std::initializer_list<PItem> items) { print(std::vector<PItem>(items)); }

void Printer::print(const std::vector<PItem>& items) {
    if (!open_) {
        doc_ = PrintDoc{};
        doc_.pages.emplace_back();
        open_ = true;
    }
    PrintLine font;
    font.fontname = fontname;
    font.fontsize = fontsize;
    font.bold = fontbold;
    std::vector<PrintLine> lines =
        layoutlines(items, sink_ ? sink_->measure() : fixedpitch(), font);
    for (size_t i = 0; i < lines.size(); ++i) {
        PrintLine& l = lines[i];
        l.fontname = fontname;
        l.fontsize = fontsize;
        l.bold = fontbold;
        l.keepwithnext = i + 1 < lines.size();
        doc_.pages.back().push_back(std::move(l));
    }
}

void Printer::keepwithnext() {
    if (open_ && !doc_.pages.back().empty()) doc_.pages.back().back().keepwithnext = true;
}

void Printer::newpage() {
    if (!open_) {
        doc_ = PrintDoc{};
        doc_.pages.emplace_back();
        open_ = true;
    }
    doc_.pages.emplace_back();
}

void Printer::enddoc(bool inoperation) {
    if (!open_) return;
    open_ = false;
    PrintDoc doc = std::move(doc_);
    doc_ = PrintDoc{};
    std::string name = std::move(document);
    document.clear();
    doc.title = name;
    doc.mustcomplete = inoperation;
    if (!sink_) return;
    busy(true);
    try {
        sink_->print(doc);
    } catch (PrintError& e) {
        busy(false);
        e.document = name;
        throw;
    } catch (const FileError& e) {
        busy(false);
        throw PrintError(e, name);
    }
    busy(false);
}

void Printer::killdoc() {
    open_ = false;
    doc_ = PrintDoc{};
    document.clear();
}

void Printer::busy(bool on) {
    busy_ += on ? 1 : -1;
    // Told only when the outermost document starts or ends.
    if (onbusy && busy_ == (on ? 1 : 0)) onbusy(on);
}

DocGuard::DocGuard(Printer& p, const std::string& document) : p_(p) {
    if (!p_.docopen() || p_.document.empty()) p_.document = document;
    p_.busy(true);
}

DocGuard::~DocGuard() {
    // A printer failure at the end of a document must not escape a destructor, but it is told,
    // once the busy cursor is gone.
    std::optional<PrintError> failed;
    try {
        p_.enddoc();
    } catch (const PrintError& e) {
        failed = e;
    } catch (...) {
    }
    p_.busy(false);
    try {
        if (failed && p_.onprinterror) p_.onprinterror(*failed);
    } catch (...) {
    }
}

}  // namespace vt
