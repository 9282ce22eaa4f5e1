#include "platform/printer.h"

namespace vt {

std::vector<std::string> PrintDoc::lines() const {
    std::vector<std::string> out;
    for (size_t p = 0; p < pages.size(); ++p) {
        if (p) out.push_back("\f");
        for (auto& l : pages[p]) out.push_back(l.text);
    }
    return out;
}

std::vector<PrintLine> layoutlines(const std::vector<PItem>& items) {
    std::vector<PrintLine> lines(1);
    bool joined = false;  // the next text continues the last run
    for (auto& it : items) {
        std::string& line = lines.back().text;
        switch (it.kind) {
            case PItem::Text:
                if (it.text.empty()) break;
                if (!joined || lines.back().runs.empty())
                    lines.back().runs.push_back({static_cast<int>(line.size()), ""});
                lines.back().runs.back().text += it.text;
                line += it.text;
                joined = true;
                break;
            case PItem::Zone: {
                // Print zones start at columns 1, 15, 29, ...; a comma moves to the first zone
                // after the current column, so two commas in a row skip a zone.
                size_t zone = 1;
                while (zone <= line.size() + 1) zone += 14;
                line.resize(zone - 1, ' ');
                joined = false;
                break;
            }
            case PItem::Tab: {
                size_t target = it.column < 1 ? 1 : static_cast<size_t>(it.column);
                if (line.size() + 1 > target) lines.emplace_back();
                lines.back().text.resize(target - 1, ' ');
                joined = false;
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
    for (auto& l : layoutlines(items)) {
        l.fontname = fontname;
        l.fontsize = fontsize;
        l.bold = fontbold;
        doc_.pages.back().push_back(std::move(l));
    }
}

void Printer::newpage() {
    if (!open_) {
        doc_ = PrintDoc{};
        doc_.pages.emplace_back();
        open_ = true;
    }
    doc_.pages.emplace_back();
}

void Printer::enddoc() {
    if (!open_) return;
    open_ = false;
    PrintDoc doc = std::move(doc_);
    doc_ = PrintDoc{};
    if (sink_) sink_->print(doc);
}

void Printer::killdoc() {
    open_ = false;
    doc_ = PrintDoc{};
}

DocGuard::~DocGuard() {
    // A printer failure at the end of a document must not escape a destructor, but it is told.
    try {
        p_.enddoc();
    } catch (const FileError& e) {
        try {
            if (p_.onprinterror) p_.onprinterror(e);
        } catch (...) {
        }
    } catch (...) {
    }
}

}  // namespace vt
