#include "records/filelines.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/text.h"
#include "records/context.h"
#include "records/origins.h"
#include "records/recordsutil.h"

namespace vt {

namespace {

bool blankchar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\x1a'; }

// The rules of a number field, on its text where it stands (emptyfield(), wholenumber(),
// namednumber()).
bool blanktext(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// A number field that is not empty: bare, an optional sign and digits, less than 2e9 in size.
bool namedtext(std::string_view text, bool quoted, long long& out) {
    long long v;
    if (quoted || !parseint(text, v) || v <= -2000000000LL || v >= 2000000000LL) return false;
    out = v;
    return true;
}

// Such a field, or an empty bare one, which reads 0.
bool wholetext(std::string_view text, bool quoted, long long& out) {
    out = 0;
    return (!quoted && blanktext(text)) || namedtext(text, quoted, out);
}

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

// A number field of a record: never empty, since an empty one is what a record cut after its
// comma leaves.
bool numeric(const Field& f) {
    long long v;
    return namedtext(f.text, f.quoted, v);
}

bool amount(const Field& f) {
    Money m;
    return !f.quoted && !emptyfield(f) && Money::parse(f.text, m);
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

// A Bets line in the form the program writes it ("12,345,1,25.5": three numbers of one to nine
// digits, then an amount of one to twelve digits with up to four decimals), split into its four
// fields. Such a line is one the full reading takes as whole with these very fields; any other
// form (blanks, quotes, signs, more digits) is left to the full reading.
bool writtenbet(std::string_view text, std::string_view (&fields)[4]) {
    const char* p = text.data();
    const char* end = p + text.size();
    auto digits = [&](size_t most) {
        const char* start = p;
        while (p < end && *p >= '0' && *p <= '9') ++p;
        return p > start && size_t(p - start) <= most;
    };
    const char* starts[4];
    for (int i = 0; i < 3; ++i) {
        starts[i] = p;
        if (!digits(9) || p == end || *p != ',') return false;
        fields[i] = std::string_view(starts[i], size_t(p++ - starts[i]));
    }
    starts[3] = p;
    if (!digits(12)) return false;
    if (p < end && *p == '.' && (++p, !digits(4))) return false;
    if (p != end) return false;
    fields[3] = std::string_view(starts[3], size_t(end - starts[3]));
    return true;
}

// Those fields taken into a line, a record.
void takewritten(FileLine& line, const std::string_view (&fields)[4]) {
    line.fields.resize(4);
    for (size_t i = 0; i < 4; ++i) {
        line.fields[i].quoted = false;
        line.fields[i].text.assign(fields[i]);
    }
    line.readable = true;
}

}  // namespace

void checkrecordfilesize(const Files& files, const std::string& path, long capacity) {
    if (files.staging()) return;
    FileStamp st = files.stamp(path);
    if (st.exists && st.size > recordfilelimit(capacity)) throwfileerror(7, path);
}

long long recordfilelimit(long capacity) {
    return (std::max(capacity, 0L) + 2) * static_cast<long long>(kmaxrecordline);
}

size_t fieldcount(FileKind kind) { return kind == FileKind::Bettors ? 2 : 4; }

LineCursor::LineCursor(const std::string& bytes, FileKind kind) : LineCursor(bytes, kind, 0, 0) {}

LineCursor::LineCursor(const std::string& bytes, FileKind kind, size_t from, long number)
    : bytes_(bytes), kind_(kind), pos_(from), number_(number) {
    contentend_ = bytes_.size();
    while (contentend_ > 0 && blankchar(bytes_[contentend_ - 1])) --contentend_;
}

bool LineCursor::nextspan(size_t& begin, size_t& length) {
    if (pos_ >= contentend_) return false;
    // Walked with local pointers: a member index would be stored and the text loaded again at
    // every byte (a char may alias anything).
    const char* data = bytes_.data();
    const char *p = data + pos_, *end = data + bytes_.size();
    while (p < end && *p != '\r' && *p != '\n') ++p;
    begin = pos_;
    length = size_t(p - data) - pos_;
    if (p < end && *p == '\r') {
        ++p;
        if (p < end && *p == '\n') ++p;
    } else if (p < end) {
        ++p;  // a bare LF
    }
    pos_ = size_t(p - data);
    ++number_;
    return true;
}

void LineCursor::place(FileLine& line, size_t s, size_t length) const {
    line.ended = s + length < bytes_.size();
    line.begin = s;
    line.end = pos_;
    line.number = number_;
}

bool LineCursor::written(std::string_view text, std::string_view (&fields)[4]) const {
    return kind_ == FileKind::Bets && writtenbet(text, fields);
}

void LineCursor::readfull(FileLine& line) const {
    bool syntax = splitfields(line.text, line.fields);
    line.readable =
        syntax && line.fields.size() == fieldcount(kind_) && readablefields(kind_, line.fields);
}

bool LineCursor::next(FileLine& line) {
    size_t s = 0, length = 0;
    if (!nextspan(s, length)) return false;
    place(line, s, length);
    line.text.assign(bytes_, s, length);
    std::string_view fields[4];
    if (written(line.text, fields))
        takewritten(line, fields);
    else
        readfull(line);
    return true;
}

bool LineCursor::next(LineView& line) {
    size_t s = 0, length = 0;
    if (!nextspan(s, length)) return false;
    place(line.whole_, s, length);
    line.text_ = std::string_view(bytes_).substr(s, length);
    line.filled_ = !written(line.text_, line.written_);
    if (line.filled_) {
        line.whole_.text.assign(line.text_);
        readfull(line.whole_);
    }
    line.readable_ = !line.filled_ || line.whole_.readable;
    return true;
}

bool LineView::names(size_t i, long long& out) const {
    if (filled_) return namednumber(whole_, i, out);
    return i < 4 && namedtext(written_[i], false, out);
}

const FileLine& LineView::whole() {
    if (!filled_) {
        whole_.text.assign(text_);
        takewritten(whole_, written_);
        filled_ = true;
    }
    return whole_;
}

size_t LineSplice::headof(const std::string& before, const std::vector<size_t>& ends,
                          const std::string& now, FileKind kind) {
    size_t n = std::min(before.size(), now.size()), same = 0;
    // Block by block first: the bytes that stayed are most of a large file.
    constexpr size_t kBlock = 512;
    while (same + kBlock <= n && std::memcmp(before.data() + same, now.data() + same, kBlock) == 0)
        same += kBlock;
    while (same < n && before[same] == now[same]) ++same;
    // A line reads alike when its bytes are alike, and the byte after them too unless its line
    // end is a LF (a CR may be followed by the LF of a CR LF; a line without an end reads to the
    // file's end).
    size_t head = 0;
    for (size_t lo = 0, hi = ends.size(); lo < hi;) {
        size_t mid = (lo + hi) / 2;
        size_t e = ends[mid];
        bool alike = e < same || (e == same && e > 0 && before[e - 1] == '\n');
        if (alike)
            head = mid + 1, lo = mid + 1;
        else
            hi = mid;
    }
    // Only lines that start before the new file's blank end are lines of it.
    LineCursor probe(now, kind);
    while (head > 0 && (head == 1 ? 0 : ends[head - 2]) >= probe.contentend()) --head;
    return head;
}

LineSplice::LineSplice(const std::string& before, const std::vector<size_t>& ends,
                       const std::string& now, FileKind kind, size_t tailfrom)
    : now_(now),
      ends_(ends),
      head_(headof(before, ends, now, kind)),
      cursor_(now, kind, head_ == 0 ? 0 : ends[head_ - 1], static_cast<long>(head_)),
      tail_(ends.size()),
      tailfrom_(tailfrom) {
    size_t n = std::min(before.size(), now.size());
    constexpr size_t kBlock = 512;
    while (suffix_ + kBlock <= n &&
           std::memcmp(before.data() + before.size() - suffix_ - kBlock,
                       now.data() + now.size() - suffix_ - kBlock, kBlock) == 0)
        suffix_ += kBlock;
    while (suffix_ < n && before[before.size() - 1 - suffix_] == now[now.size() - 1 - suffix_])
        ++suffix_;
    moved_ = static_cast<long long>(now.size()) - static_cast<long long>(before.size());
}

bool LineSplice::next(FileLine& line) {
    size_t pos = cursor_.position();
    if (pos >= cursor_.contentend()) return false;
    // From a line start where the rest of the file is the old bytes from an old line's start on,
    // the old lines from there are the new file's lines.
    if (now_.size() - pos <= suffix_) {
        long long old = static_cast<long long>(pos) - moved_;
        auto it = std::lower_bound(ends_.begin(), ends_.end(), static_cast<size_t>(old));
        size_t t = old == 0 ? 0 : static_cast<size_t>(it - ends_.begin()) + 1;
        bool start = old == 0 || (it != ends_.end() && static_cast<long long>(*it) == old);
        if (start && t >= tailfrom_ && t < ends_.size()) {
            tail_ = t;
            renumber_ = static_cast<long>(head_) + read_ - static_cast<long>(t);
            return false;
        }
    }
    if (!cursor_.next(line)) return false;
    ++read_;
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

std::vector<FileLine> splicelines(const std::string& before, std::vector<FileLine> old,
                                  const std::string& now, FileKind kind, size_t limit,
                                  bool partial) {
    std::vector<size_t> ends;
    ends.reserve(old.size());
    for (const FileLine& l : old) ends.push_back(l.end);
    LineSplice splice(before, ends, now, kind, partial ? old.size() : 0);
    std::vector<FileLine> out;
    for (size_t i = 0; i < splice.head() && out.size() < limit; ++i)
        out.push_back(std::move(old[i]));
    const size_t head = out.size();
    FileLine line;
    while (out.size() < limit && splice.next(line)) out.push_back(line);
    for (size_t i = splice.tail(); i < old.size() && out.size() < limit; ++i) {
        // A tail may start among the head's lines (a line appended again): those were moved.
        FileLine moved = i < head ? out[i] : std::move(old[i]);
        FileLine& l = out.emplace_back(std::move(moved));
        l.begin = static_cast<size_t>(static_cast<long long>(l.begin) + splice.moved());
        l.end = static_cast<size_t>(static_cast<long long>(l.end) + splice.moved());
        l.number += splice.renumber();
    }
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

void checklines(const std::string& path, const std::string& bytes, FileKind kind) {
    LineCursor lines(bytes, kind);
    FileLine line;
    while (lines.next(line))
        if (!line.readable) throwbadline(path, line);
}

std::string appendedbytes(const std::string& path, const std::string& bytes, FileKind kind,
                          const std::string& records) {
    LineCursor lines(bytes, kind);
    FileLine line;
    size_t end = 0;
    bool ended = true;
    while (lines.next(line)) {
        if (!line.readable) throwbadline(path, line);
        end = line.end;
        ended = line.ended;
    }
    return bytes.substr(0, end) + (ended ? "" : "\r\n") + records;
}

void appendrecords(Files& files, const std::string& path, FileKind kind, const std::string& records,
                   long capacity) {
    // A file emptied or lost while its backup holds records is not started afresh.
    if (!files.exists(path)) {
        checknotemptied(files, path, nullptr);
        files.append(path, records);
        return;
    }
    // A file too large for its records is damage: refused before it is read.
    checkrecordfilesize(files, path, capacity);
    std::string old = files.readall(path);
    std::string now = appendedbytes(path, old, kind, records);
    checknotemptied(files, path, &old);
    // The common case stays an append; a line end completed or a blank tail dropped rewrites.
    if (now.compare(0, old.size(), old) == 0)
        files.append(path, now.substr(old.size()));
    else
        files.replacefile(path, now);
}

bool emptyfield(const Field& f) { return blanktext(f.text); }

bool wholenumber(const Field& f, long long& out) { return wholetext(f.text, f.quoted, out); }

bool namednumber(const FileLine& line, size_t i, long long& out) {
    return i < line.fields.size() && namedtext(line.fields[i].text, line.fields[i].quoted, out);
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
    // Every field holds its number: an empty one is a cut record, not a 0.
    bool filled = fields.size() == 4;
    for (size_t i = 1; filled && i < 4; ++i) filled = !emptyfield(fields[i]);
    out.whole = filled && out.hasbettor && ok[1] && ok[2] && amount;
    return out;
}

bool numbersinuse(Context& cx, NumbersInUse& out) {
    Shared& sh = cx.shared();
    Files& files = cx.files();
    FileLine l;
    auto scan = [&](const std::string& path, std::set<long long>* first,
                    std::set<long long>* second) {
        if (!files.exists(path)) return;
        FileKind kind = second                  ? FileKind::Bets
                        : first == &out.entries ? FileKind::Players
                                                : FileKind::Bettors;
        checkrecordfilesize(files, path, capacityof(sh, kind));
        std::string bytes = files.readall(path);
        // Bad lines are looked at too: a number one of them names is not handed out either.
        LineCursor lines(bytes, kind);
        while (lines.next(l)) {
            long long v;
            if (first && namednumber(l, 0, v)) first->insert(v);
            if (second && namednumber(l, 1, v)) second->insert(v);
        }
    };
    try {
        sh.fileop = "Players Input";
        scan(sh.datapath + "Players", &out.entries, nullptr);
        scan(sh.datapath + "Playersbackup", &out.entries, nullptr);
        sh.fileop = "Bettors Input";
        for (const char* name : {"Bettors", "Bettorsbackup"}) {
            scan(sh.datapath + name, &out.bettors, nullptr);
            // A deleted bettor's number stays in use, as does every number an identity file
            // names.
            for (long long number : namedbettornumbers(files, sh.datapath + name))
                out.bettors.insert(number);
        }
        sh.fileop = "Bets Input";
        for (int r = 1; r <= nrounds; ++r)
            for (long f = 1; f <= nflights; ++f) {
                scan(sh.betsfile(roundkeys[r], f), &out.bettors, &out.entries);
                scan(sh.betsbackupfile(roundkeys[r], f), &out.bettors, &out.entries);
            }
    } catch (const FileError& e) {
        cx.fileerrorbox(e);
        return false;
    }
    return true;
}

std::string backupof(const std::string& path) {
    size_t cut = path.find_last_of("\\/:");
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (name.empty() || (name.size() >= 6 && equalsnocase(name.substr(name.size() - 6), "backup")))
        return "";
    return path + "backup";
}

namespace {

bool holdslines(const std::string& bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return !blankchar(c); });
}

// Whether a data file's backup holds a line; one there that cannot be read may hold some (its
// error kept in `unreadable` when given).
bool lookatbackup(const Files& files, const std::string& path,
                  std::optional<FileError>* unreadable = nullptr) {
    std::string backup = backupof(path);
    if (backup.empty()) return false;
    try {
        if (!files.exists(backup)) return false;
        if (!files.staging() && files.stamp(backup).size == 0) return false;
        return holdslines(files.readall(backup));
    } catch (const FileError& e) {
        if (unreadable) *unreadable = e;
        return true;  // a backup there but unreadable may hold records: nothing is risked
    }
}

}  // namespace

bool backupholdslines(const Files& files, const std::string& path) {
    return lookatbackup(files, path);
}

FileError emptiedfile(const Files& files, const std::string& path, bool missing) {
    std::optional<FileError> unreadable;
    lookatbackup(files, path, &unreadable);
    std::string state = filename(path) + (missing ? " is missing" : " is empty");
    std::string backup = filename(backupof(path));
    if (unreadable) {
        // The box is the backup's own error: that is what to see to.
        FileError e = *unreadable;
        e.advice = state + " and its backup cannot be read, so nothing is written over them." +
                   "\r\nMove away what stands at " + backup +
                   " or make it readable, then try again.";
        return e;
    }
    FileError e(missing ? 53 : 62, errortext(missing ? 53 : 62));
    e.file = path;
    e.advice = state + ", but " + backup +
               " holds records: it may be damaged, so nothing is written over it.\r\nPut the "
               "backup in its place with Use Backup Files on the main menu.";
    return e;
}

void checknotemptied(const Files& files, const std::string& path, const std::string* bytes) {
    if (bytes && holdslines(*bytes)) return;
    if (backupholdslines(files, path)) throw emptiedfile(files, path, bytes == nullptr);
}

bool checkdatafiles(Context& cx, const std::string& nothing) {
    Shared& sh = cx.shared();
    Files& files = cx.files();
    auto check = [&](const std::string& path, FileKind kind, const char* fileop) {
        sh.fileop = fileop;
        if (!files.exists(path)) {
            checknotemptied(files, path, nullptr);
            return;
        }
        checkrecordfilesize(files, path, capacityof(sh, kind));
        std::string bytes = files.readall(path);
        checklines(path, bytes, kind);
        checknotemptied(files, path, &bytes);
    };
    try {
        check(sh.datapath + "Players", FileKind::Players, "Players Input");
        check(sh.datapath + "Bettors", FileKind::Bettors, "Bettors Input");
        for (int r = 1; r <= nrounds; ++r)
            for (long f = 1; f <= nflights; ++f) {
                check(sh.betsfile(roundkeys[r], f), FileKind::Bets, "Bets Input");
                check(sh.betsbackupfile(roundkeys[r], f), FileKind::Bets, "Betsbackup Input");
            }
    } catch (FileError& e) {
        if (!nothing.empty()) e.advice += (e.advice.empty() ? "" : "\r\n") + nothing;
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
