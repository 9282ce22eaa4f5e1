#include "records/filelines.h"

#include "platform/text.h"
#include "records/context.h"

namespace vt {

namespace {

bool blank(const std::string& s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\x1a') return false;
    return true;
}

}  // namespace

namespace {

// Splits a line into `out`, reusing its elements' storage.
void splitfields(const std::string& text, std::vector<Field>& out) {
    size_t count = 0, pos = 0, n = text.size();
    while (true) {
        while (pos < n && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
        if (count == out.size()) out.emplace_back();
        Field& f = out[count++];
        if (pos < n && text[pos] == '"') {
            f.quoted = true;
            size_t close = text.find('"', pos + 1);
            if (close == std::string::npos) close = n;
            f.text.assign(text, pos + 1, close - pos - 1);
            pos = std::min(n, close + 1);
            while (pos < n && text[pos] != ',') ++pos;
        } else {
            f.quoted = false;
            size_t s = pos;
            while (pos < n && text[pos] != ',') ++pos;
            size_t e = pos;
            while (e > s && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
            f.text.assign(text, s, e - s);
        }
        if (pos >= n) break;
        ++pos;  // the comma: another field follows, empty when the line ends here
    }
    out.resize(count);
}

}  // namespace

std::vector<Field> linefields(const std::string& text) {
    std::vector<Field> out;
    splitfields(text, out);
    return out;
}

bool LineCursor::next(FileLine& line) {
    size_t n = bytes_.size();
    while (pos_ < n) {
        size_t s = pos_;
        while (pos_ < n && bytes_[pos_] != '\r' && bytes_[pos_] != '\n') ++pos_;
        line.text.assign(bytes_, s, pos_ - s);
        if (pos_ < n && bytes_[pos_] == '\r') {
            ++pos_;
            if (pos_ < n && bytes_[pos_] == '\n') ++pos_;
        } else if (pos_ < n) {
            ++pos_;  // a bare LF
        }
        if (blank(line.text)) continue;
        line.begin = s;
        line.end = pos_;
        splitfields(line.text, line.fields);
        return true;
    }
    return false;
}

std::vector<FileLine> filelines(const std::string& bytes) {
    std::vector<FileLine> out;
    LineCursor cursor(bytes);
    FileLine line;
    while (cursor.next(line)) out.push_back(line);
    return out;
}

std::string withoutline(const std::string& bytes, const FileLine& line) {
    return bytes.substr(0, line.begin) + bytes.substr(line.end);
}

bool wholefield(const Field& f, long long& out) { return !f.quoted && parseint(f.text, out); }

bool numberfield(const Field& f, long long& out) {
    out = 0;
    if (trim(f.text).empty()) return true;
    double d;
    if (f.quoted || !parsenumber(f.text, d) || d != static_cast<double>(static_cast<long long>(d)))
        return false;
    out = static_cast<long long>(d);
    return true;
}

LineBet linebet(const std::vector<Field>& fields) {
    LineBet out;
    long long v[3] = {0, 0, 0};
    bool ok[3];
    for (size_t i = 0; i < 3; ++i) ok[i] = i < fields.size() && numberfield(fields[i], v[i]);
    bool amount = fields.size() > 3 && !fields[3].quoted &&
                  (trim(fields[3].text).empty() || Money::parse(fields[3].text, out.bet.amount));
    out.hasbettor = ok[0] && !trim(fields[0].text).empty();
    out.bet.bettor = static_cast<long>(v[0]);
    out.bet.entry = static_cast<long>(v[1]);
    out.bet.type = static_cast<long>(v[2]);
    out.whole = fields.size() == 4 && out.hasbettor && ok[1] && ok[2] && amount;
    return out;
}

bool numbersinuse(Context& cx, NumbersInUse& out) {
    Shared& sh = cx.shared();
    Files& files = cx.files();
    auto scan = [&](const std::string& path, std::set<long long>* first,
                    std::set<long long>* second) {
        if (!files.exists(path)) return;
        for (const FileLine& l : filelines(files.readall(path))) {
            long long v;
            if (first && !l.fields.empty() && wholefield(l.fields[0], v)) first->insert(v);
            if (second && l.fields.size() > 1 && wholefield(l.fields[1], v)) second->insert(v);
        }
    };
    try {
        sh.fileop = "Players Input";
        scan(sh.datapath + "Players", &out.entries, nullptr);
        scan(sh.datapath + "Playersbackup", &out.entries, nullptr);
        sh.fileop = "Bettors Input";
        scan(sh.datapath + "Bettors", &out.bettors, nullptr);
        scan(sh.datapath + "Bettorsbackup", &out.bettors, nullptr);
        sh.fileop = "Bets Input";
        for (int r = 1; r <= 4; ++r)
            for (long f = 1; f <= 15; ++f) {
                scan(sh.betsfile(roundkeys[r], f), &out.bettors, &out.entries);
                scan(sh.betsbackupfile(roundkeys[r], f), &out.bettors, &out.entries);
            }
    } catch (const FileError& e) {
        cx.fileerrorbox(e);
        return false;
    }
    return true;
}

long freenumber(const std::set<long long>& used, long from, long lowest) {
    long n = std::max(from, lowest);
    while (n == 999 || n == 9999 || used.count(n)) ++n;
    return n;
}

}  // namespace vt
