#pragma once
// The words of a PDF with where they stand, read with `pdftotext -bbox` (poppler-utils), so a
// print test checks what reached the paper: columns, lines and pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace vt::test {

struct PdfWord {
    int page = 0;  // from 0
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::string text;
};

// A printed line: the words of one page that share a baseline, left to right.
struct PdfLine {
    int page = 0;
    double y = 0;
    std::vector<PdfWord> words;
    std::string text() const {
        std::string out;
        for (const PdfWord& w : words) out += (out.empty() ? "" : " ") + w.text;
        return out;
    }
};

namespace pdfdetail {
inline std::string attribute(const std::string& tag, const std::string& name) {
    const size_t at = tag.find(" " + name + "=\"");
    if (at == std::string::npos) return "";
    const size_t from = at + name.size() + 3;
    return tag.substr(from, tag.find('"', from) - from);
}
inline std::string unescape(const std::string& s) {
    static const std::pair<std::string, char> codes[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < s.size();) {
        bool coded = false;
        for (const auto& [code, ch] : codes)
            if (s.compare(i, code.size(), code) == 0) {
                out += ch;
                i += code.size();
                coded = true;
                break;
            }
        if (!coded) out += s[i++];
    }
    return out;
}
}  // namespace pdfdetail

// Every word of the PDF in reading order; a failure of the test when it cannot be read.
inline std::vector<PdfWord> pdfwords(const std::string& pdf) {
    std::vector<PdfWord> out;
    const std::string cmd = "pdftotext -bbox '" + pdf + "' - 2>/dev/null";
    FILE* in = popen(cmd.c_str(), "r");
    if (!in) {
        ADD_FAILURE() << "pdftotext (poppler-utils) could not be started";
        return out;
    }
    std::string xml;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, in)) > 0;) xml.append(buf, n);
    if (pclose(in) != 0 || xml.empty()) {
        ADD_FAILURE() << "pdftotext -bbox could not read " << pdf;
        return out;
    }
    int page = -1;
    for (size_t i = xml.find('<'); i != std::string::npos; i = xml.find('<', i + 1)) {
        const size_t close = xml.find('>', i);
        if (close == std::string::npos) break;
        const std::string tag = xml.substr(i, close - i + 1);
        if (tag.rfind("<page ", 0) == 0) ++page;
        if (tag.rfind("<word ", 0) != 0) continue;
        PdfWord w;
        w.page = page;
        w.x0 = std::stod(pdfdetail::attribute(tag, "xMin"));
        w.y0 = std::stod(pdfdetail::attribute(tag, "yMin"));
        w.x1 = std::stod(pdfdetail::attribute(tag, "xMax"));
        w.y1 = std::stod(pdfdetail::attribute(tag, "yMax"));
        const size_t end = xml.find("</word>", close);
        w.text = pdfdetail::unescape(xml.substr(close + 1, end - close - 1));
        out.push_back(std::move(w));
    }
    return out;
}

// The words grouped into printed lines, page by page and top to bottom; words whose bottoms lie
// within a third of their height are on one line.
inline std::vector<PdfLine> pdflines(const std::vector<PdfWord>& words) {
    std::vector<PdfLine> lines;
    for (const PdfWord& w : words) {
        PdfLine* line = nullptr;
        for (PdfLine& l : lines)
            if (l.page == w.page && std::abs(l.y - w.y1) < (w.y1 - w.y0) / 3) line = &l;
        if (!line) {
            lines.push_back({w.page, w.y1, {}});
            line = &lines.back();
        }
        line->words.push_back(w);
    }
    for (PdfLine& l : lines)
        std::stable_sort(l.words.begin(), l.words.end(),
                         [](const PdfWord& a, const PdfWord& b) { return a.x0 < b.x0; });
    std::stable_sort(lines.begin(), lines.end(), [](const PdfLine& a, const PdfLine& b) {
        return a.page != b.page ? a.page < b.page : a.y < b.y;
    });
    return lines;
}

}  // namespace vt::test
