#include "records/filelines.h"

#include <cmath>

#include "platform/text.h"
#include "records/context.h"

namespace vt {

namespace {

bool blankchar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\x1a'; }

}  // namespace

bool splitfields(const std::string& text, std::vector<Field>& out) {
    size_t count = 0, pos = 0, n = text.size();
    bool good = true;
    while (true) {
        while (pos < n && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
        if (count == out.size()) out.emplace_back();
        Field& f = out[count++];
        if (pos < n && text[pos] == '"') {
            f.quoted = true;
            size_t close = text.find('"', pos + 1);
            if (close == std::string::npos) {
                good = false;
                close = n;
            }
            f.text.assign(text, pos + 1, close - pos - 1);
            pos = std::min(n, close + 1);
            while (pos < n && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
            if (pos < n && text[pos] != ',') good = false;
            while (pos < n && text[pos] != ',') ++pos;
        } else {
            f.quoted = false;
            size_t s = pos;
            while (pos < n && text[pos] != ',') {
                if (text[pos] == '"') good = false;
                ++pos;
            }
            size_t e = pos;
            while (e > s && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
            f.text.assign(text, s, e - s);
        }
        if (pos >= n) break;
        ++pos;  // the comma: another field follows, empty when the line ends here
    }
    out.resize(count);
    return good;
}

std::vector<Field> recordfields(const std::string& bytes, size_t count) {
    std::vector<Field> out, line;
    size_t pos = 0, n = bytes.size();
    while (out.size() < count && pos < n) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = n;
        std::string text = bytes.substr(pos, end - pos);
        pos = end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n' ? end + 2
                                                                                     : end + 1;
        if (trim(text).empty()) continue;  // a blank line holds no field
        splitfields(text, line);
        for (Field& f : line)
            if (out.size() < count) out.push_back(std::move(f));
    }
    if (out.size() < count) throwfileerror(62);
    return out;
}

namespace {

bool numeric(const Field& f) {
    long long v;
    return wholenumber(f, v);
}

bool amount(const Field& f) {
    Money m;
    return !f.quoted && (emptyfield(f) || Money::parse(f.text, m));
}

bool readablefields(FileKind kind, const std::vector<Field>& f) {
    switch (kind) {
        case FileKind::Players:
            return numeric(f[0]) && numeric(f[1]);
        case FileKind::Bettors:
            return numeric(f[0]);
        case FileKind::Bets:
            return numeric(f[0]) && numeric(f[1]) && numeric(f[2]) && amount(f[3]);
    }
    return false;
}

}  // namespace

size_t fieldcount(FileKind kind) { return kind == FileKind::Bettors ? 2 : 4; }

LineCursor::LineCursor(const std::string& bytes, FileKind kind) : bytes_(bytes), kind_(kind) {
    contentend_ = bytes_.size();
    while (contentend_ > 0 && blankchar(bytes_[contentend_ - 1])) --contentend_;
}

bool LineCursor::next(FileLine& line) {
    if (pos_ >= contentend_) return false;
    size_t n = bytes_.size(), s = pos_;
    while (pos_ < n && bytes_[pos_] != '\r' && bytes_[pos_] != '\n') ++pos_;
    line.text.assign(bytes_, s, pos_ - s);
    line.ended = pos_ < n;
    if (pos_ < n && bytes_[pos_] == '\r') {
        ++pos_;
        if (pos_ < n && bytes_[pos_] == '\n') ++pos_;
    } else if (pos_ < n) {
        ++pos_;  // a bare LF
    }
    line.begin = s;
    line.end = pos_;
    line.number = ++number_;
    bool syntax = splitfields(line.text, line.fields);
    line.whole = syntax && line.fields.size() == fieldcount(kind_);
    line.readable = line.whole && readablefields(kind_, line.fields);
    return true;
}

std::string betrecord(const Bet& bet) {
    RecordWriter w;
    w.num(static_cast<long long>(bet.bettor)).num(static_cast<long long>(bet.entry));
    w.num(static_cast<long long>(bet.type)).num(bet.amount).end();
    return w.bytes();
}

std::string bettorrecord(const Bettor& bettor) {
    return RecordWriter().num(static_cast<long long>(bettor.number)).str(bettor.name).end().bytes();
}

std::vector<FileLine> filelines(const std::string& bytes, FileKind kind, size_t limit) {
    std::vector<FileLine> out;
    LineCursor cursor(bytes, kind);
    FileLine line;
    while (out.size() < limit && cursor.next(line)) out.push_back(line);
    return out;
}

std::string withoutline(const std::string& bytes, const FileLine& line) {
    return bytes.substr(0, line.begin) + bytes.substr(line.end);
}

FileError badline(const std::string& path, const FileLine& line) {
    FileError e(13, errortext(13));
    e.file = path;
    e.line = line.number;
    e.checkfile = true;
    return e;
}

void throwbadline(const std::string& path, const FileLine& line) { throw badline(path, line); }

std::string appendedbytes(const std::string& path, const std::string& bytes, FileKind kind,
                          const std::string& records) {
    LineCursor lines(bytes, kind);
    FileLine line;
    size_t end = 0;
    bool ended = true;
    while (lines.next(line)) {
        if (!line.whole) throwbadline(path, line);
        end = line.end;
        ended = line.ended;
    }
    return bytes.substr(0, end) + (ended ? "" : "\r\n") + records;
}

void appendrecords(const Files& files, const std::string& path, FileKind kind,
                   const std::string& records) {
    if (!files.exists(path)) {
        files.append(path, records);
        return;
    }
    std::string old = files.readall(path);
    std::string now = appendedbytes(path, old, kind, records);
    // The common case stays an append; a line end completed or a blank tail dropped rewrites.
    if (now.compare(0, old.size(), old) == 0)
        files.append(path, now.substr(old.size()));
    else
        files.replacefile(path, now);
}

bool emptyfield(const Field& f) { return f.text.find_first_not_of(" \t") == std::string::npos; }

bool wholenumber(const Field& f, long long& out) {
    out = 0;
    if (f.quoted) return false;
    if (emptyfield(f)) return true;
    long long v;
    if (!parseint(f.text, v) || v <= -2000000000LL || v >= 2000000000LL) return false;
    out = v;
    return true;
}

LineBet linebet(const std::vector<Field>& fields) {
    LineBet out;
    long long v[3] = {0, 0, 0};
    bool ok[3];
    for (size_t i = 0; i < 3; ++i) ok[i] = i < fields.size() && wholenumber(fields[i], v[i]);
    bool amount = fields.size() > 3 && !fields[3].quoted &&
                  (emptyfield(fields[3]) || Money::parse(fields[3].text, out.bet.amount));
    out.hasbettor = ok[0] && !emptyfield(fields[0]);
    out.bet.bettor = static_cast<long>(v[0]);
    out.bet.entry = static_cast<long>(v[1]);
    out.bet.type = static_cast<long>(v[2]);
    out.whole = fields.size() == 4 && out.hasbettor && ok[1] && ok[2] && amount;
    return out;
}

bool numbersinuse(Context& cx, NumbersInUse& out) {
    Shared& sh = cx.shared();
    Files& files = cx.files();
    FileLine l;
    auto scan = [&](const std::string& path, std::set<long long>* first,
                    std::set<long long>* second) {
        if (!files.exists(path)) return;
        std::string bytes = files.readall(path);
        // Bad lines are looked at too: a number one of them names is not handed out either.
        LineCursor lines(bytes, second                  ? FileKind::Bets
                                : first == &out.entries ? FileKind::Players
                                                        : FileKind::Bettors);
        while (lines.next(l)) {
            long long v;
            auto names = [&](size_t i) {
                return l.fields.size() > i && !emptyfield(l.fields[i]) &&
                       wholenumber(l.fields[i], v);
            };
            if (first && names(0)) first->insert(v);
            if (second && names(1)) second->insert(v);
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
        for (int r = 1; r <= nrounds; ++r)
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
