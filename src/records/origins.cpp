#include "records/origins.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/files.h"
#include "platform/text.h"
#include "records/filelines.h"
#include "records/shared.h"

namespace vt {

namespace {

enum class Kind { none, bets, bettors };

size_t namestart(const std::string& logical) {
    size_t slash = logical.find_last_of("\\/:");
    return slash == std::string::npos ? 0 : slash + 1;
}

bool endsnocase(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && equalsnocase(s.substr(s.size() - end.size()), end);
}

Kind kindof(const std::string& logical) {
    std::string name = logical.substr(namestart(logical));
    if (equalsnocase(name, "Bettors") || equalsnocase(name, "Bettorsbackup")) return Kind::bettors;
    std::string stem = endsnocase(name, "Betsbackup") ? name.substr(0, name.size() - 10)
                       : endsnocase(name, "Bets")     ? name.substr(0, name.size() - 4)
                                                      : std::string();
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f)
            if (equalsnocase(stem, roundkeys[r] + Str(f))) return Kind::bets;
    return Kind::none;
}

// The other file of a pair: the backup of a data file, the data file of a backup.
std::string pairof(const std::string& logical) {
    return endsnocase(logical, "backup") ? logical.substr(0, logical.size() - 6)
                                         : logical + "backup";
}

// The records of a data file, as every reader splits its lines (LineCursor): each line's text.
std::vector<std::string_view> records(const std::string& bytes) {
    std::vector<std::string_view> out;
    LineCursor lines(bytes, FileKind::Bets);
    size_t begin = 0, length = 0;
    while (lines.nextspan(begin, length)) out.emplace_back(bytes.data() + begin, length);
    return out;
}

size_t countrecords(const std::string& bytes) {
    LineCursor lines(bytes, FileKind::Bets);
    size_t count = 0, begin = 0, length = 0;
    while (lines.nextspan(begin, length)) ++count;
    return count;
}

// Appends v in 16 lower-case hex digits.
void appendhex(std::string& out, uint64_t v) {
    char digits[16];
    for (int i = 15; i >= 0; --i, v >>= 4) digits[i] = "0123456789abcdef"[v & 15];
    out.append(digits, 16);
}

std::string hex(uint64_t v) {
    std::string out;
    appendhex(out, v);
    return out;
}

// A check of some bytes, in 16 hex digits: any change of a byte, a cut, an addition or a byte
// moved from one part to the next changes it.
std::string hashhex(std::initializer_list<std::string_view> parts) {
    uint64_t h = 0x9e3779b97f4a7c15ull;
    for (std::string_view bytes : parts) {
        h ^= bytes.size();
        size_t i = 0;
        for (; i + 8 <= bytes.size(); i += 8) {
            uint64_t w;
            std::memcpy(&w, bytes.data() + i, 8);
            h = (h ^ w) * 0xff51afd7ed558ccdull;
            h ^= h >> 29;
        }
        uint64_t w = 0;
        std::memcpy(&w, bytes.data() + i, bytes.size() - i);
        h = (h ^ w ^ (uint64_t(bytes.size() - i) << 56)) * 0xc4ceb9fe1a85ec53ull;
        h ^= h >> 32;
    }
    return hex(h);
}

// 16 lower-case hex digits, the form identities and checks are written in.
bool parsehex(std::string_view t, uint64_t& value) {
    static constexpr auto digits = [] {
        std::array<int8_t, 256> d{};
        d.fill(-1);
        for (int c = '0'; c <= '9'; ++c) d[size_t(c)] = int8_t(c - '0');
        for (int c = 'a'; c <= 'f'; ++c) d[size_t(c)] = int8_t(c - 'a' + 10);
        return d;
    }();
    if (t.size() != 16) return false;
    uint64_t v = 0;
    int bad = 0;
    for (char c : t) {
        int d = digits[static_cast<unsigned char>(c)];
        bad |= d;
        v = v << 4 | uint64_t(d & 15);
    }
    value = v;
    return bad >= 0;
}

// The check of a data file an identity file's first line gives: its size, and a check of its
// name (in any letter case) and bytes, so that an identity file beside another file of the same
// bytes (another round's, swapped) does not match. A missing file reads as an empty one.
std::string checkof(const std::string& logical, const std::string& bytes) {
    return std::to_string(bytes.size()) + " " +
           hashhex({ucase(logical.substr(namestart(logical))), bytes});
}

// The first line of an identity file: the check of its data file, then the check of the lines
// after it.
const std::string kHeader = "ids2 ";

std::string sidetext(const std::string& logical, const std::string* bytes,
                     const std::string& body) {
    std::string check = checkof(logical, bytes ? *bytes : std::string());
    std::string text;
    text.reserve(kHeader.size() + check.size() + 19 + body.size());
    text.append(kHeader).append(check).append(" ").append(hashhex({body})).append("\r\n");
    return text.append(body);
}

bool space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The next word of a line from pos (words stand between white space of any kind); "" at its end.
std::string_view nextword(std::string_view line, size_t& pos) {
    while (pos < line.size() && space(line[pos])) ++pos;
    size_t end = pos;
    while (end < line.size() && !space(line[end])) ++end;
    std::string_view word = line.substr(pos, end - pos);
    pos = end;
    return word;
}

// A data file's contents as they stand: nullptr when there is none.
struct Contents {
    bool exists = false;
    std::string bytes;
    const std::string* get() const { return exists ? &bytes : nullptr; }
};

Contents contentsof(const Files& files, const std::string& logical) {
    Contents c;
    c.exists = files.exists(logical);
    if (!c.exists) return c;
    try {
        c.bytes = files.readall(logical);
    } catch (const FileError& e) {
        // A file too large to read holds no record this program wrote: what replaces it (its
        // backup put back) is not kept from doing so, and nothing of it is kept.
        if (e.number != 7) throw;
    }
    return c;
}

// The other file of a pair, looked at only to borrow its identities: one that cannot be read
// lends none (its own write tells of the error).
bool pairholds(const Files& files, const std::string& pair, const std::string& bytes) {
    try {
        return files.exists(pair) && files.readall(pair) == bytes;
    } catch (const FileError&) {
        return false;
    }
}

// An identity file as read: its lines (where each lies in its bytes: the file may be copied or
// moved), and whether it is in the form the program writes with its own lines' check matching.
struct Side {
    bool exists = false, wellformed = false;
    std::string bytes;
    std::string check;                             // the data file's check its first line gives
    std::vector<std::pair<size_t, size_t>> spans;  // every line: start and length, line end out
    size_t body = 0;                               // where the lines after the first start
    size_t lines() const { return spans.size(); }
    std::string_view line(size_t i) const {
        return std::string_view(bytes).substr(spans[i].first, spans[i].second);
    }
};

Side readside(const Files& files, const std::string& logical) {
    Side s;
    std::string path = sidecarof(logical);
    s.exists = files.exists(path);
    if (!s.exists) return s;
    s.bytes = files.readall(path);
    for (size_t p = 0; p < s.bytes.size();) {
        size_t lf = s.bytes.find('\n', p), stop = lf == std::string::npos ? s.bytes.size() : lf;
        size_t end = stop > p && s.bytes[stop - 1] == '\r' ? stop - 1 : stop;
        s.spans.emplace_back(p, end - p);
        p = stop + 1;
    }
    if (s.spans.empty()) return s;
    s.body = std::min(s.bytes.size(), s.spans[0].first + s.spans[0].second + 2);
    std::string_view first = s.line(0);
    if (first.substr(0, kHeader.size()) != kHeader) return s;
    // "ids2 <size> <check> <lines' check>", each word once, one blank between them.
    std::string_view rest = first.substr(kHeader.size());
    size_t last = rest.rfind(' ');
    if (last == std::string_view::npos || s.bytes.compare(s.body - 2, 2, "\r\n") != 0) return s;
    s.check = std::string(rest.substr(0, last));
    s.wellformed = rest.substr(last + 1) == hashhex({std::string_view(s.bytes).substr(s.body)});
    return s;
}

std::string bodyof(const Side& s) { return s.wellformed ? s.bytes.substr(s.body) : std::string(); }

// True when the identity file, written for `logical`, describes the data file as it stands.
bool describes(const Side& s, const std::string& logical, const Contents& data) {
    return s.wellformed && s.check == checkof(logical, data.bytes);
}

// Stages an identity file; one that would remember nothing is removed instead.
void writeside(const Files& files, const std::string& logical, const std::string& text,
               bool empty) {
    std::string side = sidecarof(logical);
    if (!empty)
        files.replacefile(side, text);
    else if (files.exists(side))
        files.remove(side);
}

uint64_t randombits(const Files& files) {
    if (files.randomness) return files.randomness();
    std::random_device rd;
    return (uint64_t(rd()) << 32) ^ rd();
}

// Sorts identities: a file's thousands of random ones byte by byte, in a few passes over them.
void sortids(std::vector<Identity>::iterator first, std::vector<Identity>::iterator last) {
    size_t n = size_t(last - first);
    if (std::is_sorted(first, last)) return;
    if (n < 256) return std::sort(first, last);
    std::vector<Identity> other(n);
    Identity* from = &*first;
    Identity* to = other.data();
    for (int shift = 0; shift < 64; shift += 8) {
        size_t counts[257] = {};
        for (size_t i = 0; i < n; ++i) ++counts[((from[i] >> shift) & 255) + 1];
        if (counts[((from[0] >> shift) & 255) + 1] == n) continue;  // one byte value: in place
        for (size_t b = 1; b < 257; ++b) counts[b] += counts[b - 1];
        for (size_t i = 0; i < n; ++i) to[counts[(from[i] >> shift) & 255]++] = from[i];
        std::swap(from, to);
    }
    if (from != &*first) std::copy(from, from + n, first);
}

void sortunique(std::vector<Identity>& v) {
    sortids(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

// A set of identities looked up in constant time: a file's thousands of identities are checked
// against another list without a search each.
class IdSet {
  public:
    explicit IdSet(size_t expected) {
        size_t size = 16;
        while (size < expected * 2) size <<= 1;
        slots_.assign(size, 0);
        mask_ = size - 1;
    }
    explicit IdSet(const std::vector<Identity>& ids) : IdSet(ids.size()) {
        for (Identity id : ids) insert(id);
    }
    // False when the set held it already.
    bool insert(Identity id) {
        if (id == 0) return !std::exchange(zero_, true);
        size_t i = slot(id);
        for (; slots_[i] != 0; i = (i + 1) & mask_)
            if (slots_[i] == id) return false;
        slots_[i] = id;
        return true;
    }
    bool has(Identity id) const {
        if (id == 0) return zero_;
        for (size_t i = slot(id); slots_[i] != 0; i = (i + 1) & mask_)
            if (slots_[i] == id) return true;
        return false;
    }

  private:
    std::vector<Identity> slots_;  // 0: empty
    size_t mask_ = 0;
    bool zero_ = false;
    size_t slot(Identity id) const { return size_t((id * 0x9e3779b97f4a7c15ull) >> 32) & mask_; }
};

// The identities of `from` that `kept` does not hold. Both are a file's identities in file order,
// thousands long, and `kept` is mostly `from` with some left out: that is seen in one pass;
// anything else is looked up in sorted order.
std::vector<Identity> without(const std::vector<Identity>& from,
                              const std::vector<Identity>& kept) {
    std::vector<Identity> out;
    size_t k = 0;
    for (Identity id : from) {
        if (k < kept.size() && kept[k] == id)
            ++k;
        else
            out.push_back(id);
    }
    if (k == kept.size() || out.empty()) return out;
    out.clear();
    std::vector<Identity> sorted = kept;
    sortunique(sorted);
    for (Identity id : from)
        if (!hasidentity(sorted, id)) out.push_back(id);
    return out;
}

// The sorted set `set` without the identities of `taken` (in any order).
void takeout(std::vector<Identity>& set, const std::vector<Identity>& taken) {
    if (set.empty() || taken.empty()) return;
    IdSet back(taken);
    set.erase(std::remove_if(set.begin(), set.end(), [&](Identity id) { return back.has(id); }),
              set.end());
}

// ---- Bets ----

// Every identity an identity file names, whatever its form: what an untrusted file may have
// given out.
std::vector<Identity> namedids(const Side& s) {
    std::vector<Identity> out;
    for (size_t i = 0; i < s.lines(); ++i) {
        size_t pos = 0;
        for (std::string_view w; !(w = nextword(s.line(i), pos)).empty();) {
            while (!w.empty() && (w[0] == '-' || w[0] == '?')) w.remove_prefix(1);
            Identity id;
            if (parsehex(w, id)) out.push_back(id);
        }
    }
    return out;
}

// What the deleted bets an identity file names held ("-<id> <record>", "-?<id> <record>"),
// whatever the rest of its form.
void namedholds(const Side& s, BetIdentities& into) {
    for (size_t i = 1; i < s.lines(); ++i) {
        std::string_view line = s.line(i);
        size_t pos = 0;
        std::string_view w = nextword(line, pos);
        if (w.size() < 2 || w[0] != '-') continue;
        w.remove_prefix(1);
        bool late = w[0] == '?';
        if (late) w.remove_prefix(1);
        Identity id;
        if (!parsehex(w, id)) continue;
        std::string_view held = nextword(line, pos);
        if (held.empty()) continue;
        into.deletedholds.emplace(id, std::string(held));
        if (late) into.deletedlate.push_back(id);
    }
    sortunique(into.deletedlate);
}

// True when a sorted list holds an identity twice.
bool repeats(const std::vector<Identity>& sorted) {
    return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

// A Bets identity file read: each record's identity ("<id>", "?<id>" when unvouched) and the
// deleted ones ("-<id>"). False when a line is in no such form, an identity is given twice or
// the records are not as many as `count`.
bool parsebetside(const Side& s, size_t count, BetIdentities& out) {
    if (!s.wellformed) return false;
    out.live.reserve(count);
    IdSet all(s.lines());
    for (size_t i = 1; i < s.lines(); ++i) {
        std::string_view line = s.line(i);
        bool deleted = !line.empty() && line[0] == '-';
        if (deleted) line.remove_prefix(1);
        bool late = !line.empty() && line[0] == '?';
        if (late) line.remove_prefix(1);
        Identity id;
        if (!parsehex(line.substr(0, 16), id)) return false;
        // One identity given twice makes the file untrusted.
        if (!all.insert(id)) return false;
        if (!deleted) {
            if (line.size() != 16) return false;
            out.live.push_back(id);
            if (late) out.unvouched.push_back(id);
            continue;
        }
        out.deleted.push_back(id);
        if (late) out.deletedlate.push_back(id);
        // "-<id> <what it held>"
        if (line.size() > 16) {
            if (line[16] != ' ' || line.size() == 17) return false;
            // The program writes them in order: each goes in at the end.
            out.deletedholds.emplace_hint(out.deletedholds.end(), id, std::string(line.substr(17)));
        }
    }
    if (out.live.size() != count) return false;
    for (auto* v : {&out.unvouched, &out.deleted, &out.deletedlate}) sortids(v->begin(), v->end());
    return true;
}

BetIdentities betidentitiesof(const Files& files, const std::string& betsfile, const Contents& data,
                              const Side& own, size_t count = SIZE_MAX) {
    if (count == SIZE_MAX) count = countrecords(data.bytes);
    BetIdentities out;
    if (describes(own, betsfile, data) && parsebetside(own, count, out)) return out;
    out = BetIdentities{};
    // The two files of a pair usually hold the same bytes: the other's identity file serves.
    std::string pair = pairof(betsfile);
    if (data.exists && count && pairholds(files, pair, data.bytes)) {
        Side other = readside(files, pair);
        if (describes(other, pair, data) && parsebetside(other, count, out)) {
            addidentities(out.deleted, without(namedids(own), out.live));
            return out;
        }
        out = BetIdentities{};
    }
    // Nothing describes the file: its records are given identities now, marked unvouched (they
    // may be bets other computers know by other identities), and whatever its identity file or
    // its pair's named may have been given out, so none of it comes back, nor what its deleted
    // bets held.
    out.deleted = namedids(own);
    namedholds(own, out);
    if (count) {
        try {
            Side other = readside(files, pair);
            addidentities(out.deleted, namedids(other));
            namedholds(other, out);
        } catch (const FileError&) {
            // An unreadable pair lends nothing; its own write tells of the error.
        }
    }
    sortunique(out.deleted);
    out.described = count == 0 && !own.exists;
    out.fresh = count > 0;
    for (size_t i = 0; i < count; ++i) out.live.push_back(randombits(files));
    out.unvouched = out.live;
    sortunique(out.unvouched);
    return out;
}

// The sorted identities of `set` (sorted) that `live` holds.
std::vector<Identity> within(const std::vector<Identity>& set, const std::vector<Identity>& live) {
    std::vector<Identity> out;
    if (set.empty() || live.empty()) return out;
    if (std::is_sorted(live.begin(), live.end())) {
        std::set_intersection(set.begin(), set.end(), live.begin(), live.end(),
                              std::back_inserter(out));
    } else {
        IdSet held(live);
        for (Identity id : set)
            if (held.has(id)) out.push_back(id);
    }
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// The lines of a Bets identity file after its first: `unvouched` the live ones given late.
std::string betsbody(const BetIdentities& ids, const std::vector<Identity>& unvouched) {
    std::string text;
    size_t held = 0;
    for (auto& [id, what] : ids.deletedholds) held += what.size() + 1;
    text.reserve((ids.live.size() + ids.deleted.size()) * 20 + held);
    std::optional<IdSet> late;
    if (!unvouched.empty()) late.emplace(unvouched);
    for (Identity id : ids.live) {
        if (late && late->has(id)) text += '?';
        appendhex(text, id);
        text.append("\r\n");
    }
    // Both sorted: each deleted one's mark and what it held are found walking along.
    auto lateat = ids.deletedlate.begin();
    auto holds = ids.deletedholds.begin();
    for (size_t i = 0; i < ids.deleted.size(); ++i) {
        Identity id = ids.deleted[i];
        if (i > 0 && id < ids.deleted[i - 1]) {  // out of order: look from the start
            lateat = ids.deletedlate.begin();
            holds = ids.deletedholds.begin();
        }
        lateat = std::lower_bound(lateat, ids.deletedlate.end(), id);
        text.append(lateat != ids.deletedlate.end() && *lateat == id ? "-?" : "-");
        appendhex(text, id);
        while (holds != ids.deletedholds.end() && holds->first < id) ++holds;
        // An empty line held nothing to tell a bet by (and "-<id> " would not read back).
        if (holds != ids.deletedholds.end() && holds->first == id && !holds->second.empty())
            text.append(" ").append(holds->second);
        text.append("\r\n");
    }
    return text;
}

// The identities of a file's new records from its old ones: records kept (the same text at the
// start, at the end, or moved in between) keep theirs, the others are new; `gone` receives the
// identities of the old records that are not kept.
std::vector<Identity> align(const Files& files, const std::vector<std::string_view>& o,
                            const std::vector<Identity>& oldids, const std::string& after,
                            std::vector<Identity>& gone) {
    std::vector<std::string_view> n = records(after);
    std::vector<Identity> out(n.size());
    size_t head = 0;
    while (head < o.size() && head < n.size() && o[head] == n[head]) {
        out[head] = oldids[head];
        ++head;
    }
    size_t tail = 0;
    while (tail < o.size() - head && tail < n.size() - head &&
           o[o.size() - 1 - tail] == n[n.size() - 1 - tail]) {
        out[n.size() - 1 - tail] = oldids[o.size() - 1 - tail];
        ++tail;
    }
    // Records dropped (a bet removed, a bettor's or an entry's bets refunded): the new middle is
    // the old one with lines left out, matched in one pass.
    size_t i = head, j = head;
    const size_t oend = o.size() - tail, nend = n.size() - tail;
    std::vector<Identity> dropped;
    for (; j < nend; ++j, ++i) {
        while (i < oend && o[i] != n[j]) dropped.push_back(oldids[i++]);
        if (i == oend) break;
        out[j] = oldids[i];
    }
    if (j == nend) {
        for (; i < oend; ++i) dropped.push_back(oldids[i]);
        gone.insert(gone.end(), dropped.begin(), dropped.end());
        return out;
    }
    // Otherwise records moved too: each new one takes the first old one of its text not taken.
    std::unordered_map<std::string_view, size_t> first;  // text -> first old line not taken
    std::vector<size_t> next(o.size(), SIZE_MAX);        // the next old line of the same text
    for (size_t k = oend; k-- > head;) {
        auto [it, fresh] = first.try_emplace(o[k], k);
        if (!fresh) next[k] = std::exchange(it->second, k);
    }
    for (j = head; j < nend; ++j) {
        auto it = first.find(n[j]);
        if (it != first.end() && it->second != SIZE_MAX) {
            out[j] = oldids[it->second];
            it->second = next[it->second];
        } else {
            out[j] = randombits(files);
        }
    }
    for (auto& [text, k] : first)
        for (; k != SIZE_MAX; k = next[k]) gone.push_back(oldids[k]);
    return out;
}

// Keeps what the deleted bets of `was` held, and what the records of `was` dropped now (`gone`)
// held, in `now`; a bet back in the file is no longer deleted. What `was` held is moved.
void remember(BetIdentities& now, BetIdentities& was, const std::vector<Identity>& gone,
              const std::vector<std::string_view>& lines) {
    // Those `now` holds already stay as they are; the smaller map goes into the larger.
    if (now.deletedholds.size() < was.deletedholds.size()) {
        std::map<Identity, std::string> own;
        own.swap(now.deletedholds);
        now.deletedholds.swap(was.deletedholds);
        for (auto& [id, held] : own) now.deletedholds.insert_or_assign(id, std::move(held));
    } else {
        now.deletedholds.merge(was.deletedholds);
    }
    addidentities(now.deletedlate, was.deletedlate);
    if (!gone.empty()) {
        IdSet dropped(gone);
        std::vector<Identity> late;
        for (size_t i = 0; i < lines.size() && i < was.live.size(); ++i)
            if (dropped.has(was.live[i])) {
                now.deletedholds.emplace(was.live[i], std::string(lines[i]));
                if (hasidentity(was.unvouched, was.live[i])) late.push_back(was.live[i]);
            }
        addidentities(now.deletedlate, late);
    }
    // Both sorted: walked along together.
    auto d = now.deleted.begin();
    for (auto it = now.deletedholds.begin(); it != now.deletedholds.end();) {
        d = std::lower_bound(d, now.deleted.end(), it->first);
        it = d != now.deleted.end() && *d == it->first ? std::next(it) : now.deletedholds.erase(it);
    }
    now.deletedlate = within(now.deletedlate, now.deleted);
}

// Stages a Bets file's identity file (removed when it would remember nothing); returns the lines
// after its first, "" when it was removed.
std::string stagebets(const Files& files, const std::string& betsfile, const std::string* bytes,
                      const BetIdentities& ids) {
    bool none = ids.live.empty() && ids.deleted.empty();
    std::string body = none ? std::string() : betsbody(ids, within(ids.unvouched, ids.live));
    writeside(files, betsfile, none ? std::string() : sidetext(betsfile, bytes, body), none);
    return body;
}

// The last Bets file written, so that its pair, written next with the same bytes, takes the
// same identities when the two were in step (equal bytes and equal identity files) without
// working them out again.
struct LastBets {
    std::string file, oldbytes, oldbody, newbytes, newbody;
};

// What the hook keeps between calls: the last Bets file written, and the identities writers
// hand over for the files they write (writeidentified).
struct OriginsState {
    LastBets last;
    std::map<std::string, BetIdentities> bets;
    std::map<std::string, BettorIdentities> bettors;
};

// A Bets file about to be written (bytes: its new contents, nullptr when it is removed).
void keepbets(const Files& files, const std::string& logical, const std::string* bytes,
              const std::string& from, OriginsState& state) {
    LastBets& last = state.last;
    if (auto given = state.bets.find(logical); given != state.bets.end()) {
        stagebetidentities(files, logical, bytes, given->second);
        last = LastBets{};
        return;
    }
    Contents old = contentsof(files, logical);
    Side own = readside(files, logical);
    std::string side = sidecarof(logical);
    if (bytes && from.empty() && last.file == pairof(logical) && *bytes == last.newbytes &&
        old.bytes == last.oldbytes && describes(own, logical, old) && bodyof(own) == last.oldbody) {
        files.replacefile(side, sidetext(logical, bytes, last.newbody));
        last.file.clear();
        return;
    }
    // The old file's lines, read once: counted, aligned with the new ones, and what dropped ones
    // held.
    const std::vector<std::string_view> oldlines = records(old.bytes);
    BetIdentities was = betidentitiesof(files, logical, old, own, oldlines.size()), now;
    std::vector<Identity> gone;
    if (bytes) {
        // A copy takes the copied file's identities, a file written with its pair's bytes its
        // pair's; any other write keeps the identities of the records it keeps.
        BetIdentities source;
        bool taken = false;
        for (const std::string& other : {from, pairof(logical)}) {
            if (other.empty() || kindof(other) != Kind::bets || taken) continue;
            if (pairholds(files, other, *bytes)) {
                source =
                    betidentitiesof(files, other, Contents{true, *bytes}, readside(files, other));
                taken = source.described;
            }
        }
        if (taken) {
            now = std::move(source);
            // Identities given just now, to a file nothing described, were never written
            // anywhere: none of them is a deletion (the pair's own remembers what it dropped).
            if (!was.fresh) addidentities(gone, without(was.live, now.live));
            // A bet back in the file (a backup restored) is no longer deleted.
            takeout(was.deleted, now.live);
        } else {
            now.live = align(files, oldlines, was.live, *bytes, gone);
            // A record kept stays unvouched until an import settles it.
            now.unvouched = within(was.unvouched, now.live);
        }
    } else {
        gone = was.live;
    }
    addidentities(now.deleted, was.deleted);
    addidentities(now.deleted, gone);
    remember(now, was, gone, oldlines);
    // A removed file's identity file stays while it remembers deletions.
    std::string body = stagebets(files, logical, bytes, now);
    last = LastBets{};
    if (bytes && !body.empty())
        last = LastBets{logical, std::move(old.bytes), bodyof(own), *bytes, std::move(body)};
}

// ---- Bettors ----

// The bettor records of a Bettors file: number and name of each line that reads as one.
std::vector<std::pair<long long, std::string>> bettorrecords(const std::string& bytes) {
    std::vector<std::pair<long long, std::string>> out;
    LineCursor lines(bytes, FileKind::Bettors);
    FileLine line;
    while (lines.next(line)) {
        long long n;
        if (line.readable && wholenumber(line.fields[0], n))
            out.emplace_back(n, line.fields[1].text);
    }
    return out;
}

// A Bettors identity file read: "<number> <id> <id>..." for each bettor, "-<number> <id>..." for
// each deleted one, one blank between words. False when a line is in no such form, or one
// identity or number is given twice.
bool parsebettorside(const Side& s, BettorIdentities& out) {
    if (!s.wellformed) return false;
    std::vector<Identity> all;
    for (size_t i = 1; i < s.lines(); ++i) {
        std::string_view line = s.line(i);
        size_t end = std::min(line.find(' '), line.size());
        std::string_view first = line.substr(0, end);
        bool deleted = !first.empty() && first[0] == '-';
        long long number;
        if (!parseint(std::string(first.substr(deleted ? 1 : 0)), number)) return false;
        auto& into = deleted ? out.deleted : out.live;
        if (into.count(number)) return false;
        std::vector<Identity>& ids = into[number];
        for (size_t pos = end; pos < line.size();) {
            size_t stop = std::min(line.find(' ', pos + 1), line.size());
            Identity id;
            if (line[pos] != ' ' || !parsehex(line.substr(pos + 1, stop - pos - 1), id))
                return false;
            ids.push_back(id);
            all.push_back(id);
            pos = stop;
        }
    }
    std::sort(all.begin(), all.end());
    return !repeats(all);
}

// The bettor numbers an identity file names, whatever its form.
void namednumbers(const Side& s, std::map<long long, std::vector<Identity>>& into) {
    for (size_t i = 0; i < s.lines(); ++i) {
        size_t pos = 0;
        std::string_view first = nextword(s.line(i), pos);
        if (!first.empty() && first[0] == '-') first.remove_prefix(1);
        long long number;
        if (parseint(std::string(first), number)) into[number];
    }
}

// A number named without identities needs no line of its own while a bettor holds it.
void dropidless(BettorIdentities& ids) {
    for (auto it = ids.deleted.begin(); it != ids.deleted.end();)
        it =
            it->second.empty() && ids.live.count(it->first) ? ids.deleted.erase(it) : std::next(it);
}

// Every bettor of `records` known by `ids`: the same number in both.
bool covers(const BettorIdentities& ids,
            const std::vector<std::pair<long long, std::string>>& recs) {
    for (auto& [number, name] : recs)
        if (!ids.live.count(number) || ids.live.at(number).empty()) return false;
    return true;
}

BettorIdentities bettoridentitiesof(const Files& files, const std::string& bettorsfile,
                                    const Contents& data) {
    auto recs = bettorrecords(data.bytes);
    Side own = readside(files, bettorsfile);
    BettorIdentities out;
    if (describes(own, bettorsfile, data) && parsebettorside(own, out) && covers(out, recs))
        return out;
    out = BettorIdentities{};
    std::string pair = pairof(bettorsfile);
    if (data.exists && pairholds(files, pair, data.bytes)) {
        Side other = readside(files, pair);
        if (describes(other, pair, data) && parsebettorside(other, out) && covers(out, recs)) {
            namednumbers(own, out.deleted);
            dropidless(out);
            return out;
        }
        out = BettorIdentities{};
    }
    // Nothing describes the file: its bettors are known by new identities, never by what an
    // untrusted file says (that could make two people one), and every number it named stays in
    // use.
    namednumbers(own, out.deleted);
    for (auto& [number, name] : recs) out.live[number] = {randombits(files)};
    dropidless(out);
    out.described = recs.empty() && !own.exists;
    return out;
}

std::string bettorsbody(const BettorIdentities& ids) {
    std::string text;
    auto line = [&text](const std::string& lead, const std::vector<Identity>& list) {
        text += lead;
        for (Identity id : list) text.append(" ").append(hex(id));
        text += "\r\n";
    };
    for (auto& [number, list] : ids.live) line(std::to_string(number), list);
    for (auto& [number, list] : ids.deleted) line("-" + std::to_string(number), list);
    return text;
}

void forget(BettorIdentities& into, long long number, const std::vector<Identity>& ids) {
    std::vector<Identity>& d = into.deleted[number];
    d.insert(d.end(), ids.begin(), ids.end());
    sortunique(d);
}

void keepbettors(const Files& files, const std::string& logical, const std::string* bytes,
                 const std::string& from, OriginsState& state) {
    if (auto given = state.bettors.find(logical); given != state.bettors.end()) {
        stagebettoridentities(files, logical, bytes, given->second);
        return;
    }
    Contents old = contentsof(files, logical);
    BettorIdentities was = bettoridentitiesof(files, logical, old), now;
    now.deleted = was.deleted;
    if (bytes) {
        auto recs = bettorrecords(*bytes);
        bool taken = false;
        for (const std::string& other : {from, pairof(logical)}) {
            if (other.empty() || kindof(other) != Kind::bettors || taken) continue;
            if (pairholds(files, other, *bytes)) {
                BettorIdentities source = bettoridentitiesof(files, other, Contents{true, *bytes});
                if ((taken = source.described)) {
                    now.live = source.live;
                    for (auto& [number, ids] : source.deleted) forget(now, number, ids);
                }
            }
        }
        if (!taken) {
            // A bettor keeps its identities while its number and name stay; any other is new.
            std::map<long long, std::string> names;
            for (auto& [number, name] : bettorrecords(old.bytes)) names.emplace(number, name);
            for (auto& [number, name] : recs) {
                auto it = names.find(number);
                bool same = it != names.end() && it->second == name && was.live.count(number);
                if (!now.live.count(number))
                    now.live[number] =
                        same ? was.live[number] : std::vector<Identity>{randombits(files)};
            }
        }
    }
    for (auto& [number, ids] : was.live) {
        auto it = now.live.find(number);
        if (it == now.live.end() || it->second.empty() || it->second[0] != ids[0])
            forget(now, number, ids);
    }
    stagebettoridentities(files, logical, bytes, now);
}

// The hook that keeps the identity files in step with their data files.
struct OriginsHook {
    const Files* files;
    std::shared_ptr<OriginsState> state;
    void operator()(const std::string& logical, const std::string* bytes,
                    const std::string& from) const {
        switch (kindof(logical)) {
            case Kind::bets:
                keepbets(*files, logical, bytes, from, *state);
                break;
            case Kind::bettors:
                keepbettors(*files, logical, bytes, from, *state);
                break;
            case Kind::none:
                break;
        }
    }
};

// Writes a data file with the identities handed over for it.
template <class Ids>
void writewith(const Files& files, const std::string& logical, const std::string* bytes,
               const Ids& ids,
               void (*stage)(const Files&, const std::string&, const std::string*, const Ids&)) {
    CarriedIdentities carried(files, logical, ids);
    if (bytes)
        files.replacefile(logical, *bytes);
    else if (files.exists(logical))
        files.remove(logical);
    else if (auto* hook = files.companion.target<OriginsHook>())
        (*hook)(logical, nullptr, "");
    // Files without the hook: the identity file is staged here.
    if (!files.companion.target<OriginsHook>()) stage(files, logical, bytes, ids);
}

}  // namespace

std::string describedby(const std::string& logical) {
    size_t start = namestart(logical);
    std::string name = logical.substr(start);
    if (name.size() < 6 || name[0] != '.' || !endsnocase(name, ".ids")) return "";
    std::string data = logical.substr(0, start) + name.substr(1, name.size() - 5);
    return kindof(data) == Kind::none ? "" : data;
}

size_t listedrecords(const Files& files, const std::string& betsfile) {
    for (const std::string& file : {betsfile, pairof(betsfile)}) {
        Side s = readside(files, file);
        if (!s.wellformed) continue;
        size_t n = 0;
        for (size_t i = 1; i < s.lines(); ++i) n += !s.line(i).empty() && s.line(i)[0] != '-';
        return n;
    }
    return 0;
}

bool hasidentityfile(const Files& files, const std::string& logical) {
    std::string side = sidecarof(logical);
    return !side.empty() && files.exists(side);
}

void writeidentified(const Files& files, const std::string& betsfile, const std::string* bytes,
                     const BetIdentities& ids) {
    writewith(files, betsfile, bytes, ids, stagebetidentities);
}

void writeidentified(const Files& files, const std::string& bettorsfile, const std::string* bytes,
                     const BettorIdentities& ids) {
    writewith(files, bettorsfile, bytes, ids, stagebettoridentities);
}

CarriedIdentities::CarriedIdentities(const Files& files, const std::string& logical,
                                     const BetIdentities& ids)
    : files_(files), logical_(logical) {
    if (auto* hook = files.companion.target<OriginsHook>()) hook->state->bets[logical] = ids;
}

CarriedIdentities::CarriedIdentities(const Files& files, const std::string& logical,
                                     const BettorIdentities& ids)
    : files_(files), logical_(logical) {
    if (auto* hook = files.companion.target<OriginsHook>()) hook->state->bettors[logical] = ids;
}

CarriedIdentities::~CarriedIdentities() {
    if (auto* hook = files_.companion.target<OriginsHook>()) {
        hook->state->bets.erase(logical_);
        hook->state->bettors.erase(logical_);
    }
}

std::string sidecarof(const std::string& logical) {
    if (kindof(logical) == Kind::none) return "";
    size_t start = namestart(logical);
    return logical.substr(0, start) + "." + logical.substr(start) + ".ids";
}

void keeporigins(Files& files) {
    // Identities come from one generator seeded once: a fresh random device per bet costs more
    // than the rest of a rewrite that gives a whole old file its identities.
    if (!files.randomness) {
        std::random_device rd;
        uint64_t seed = (uint64_t(rd()) << 32) ^ rd();
        files.randomness = [engine = std::mt19937_64(seed)]() mutable { return engine(); };
    }
    files.companion = OriginsHook{&files, std::make_shared<OriginsState>()};
}

Identity newidentity(const Files& files) { return randombits(files); }

BetIdentities betidentities(const Files& files, const std::string& betsfile) {
    return betidentitiesof(files, betsfile, contentsof(files, betsfile), readside(files, betsfile));
}

void stagebetidentities(const Files& files, const std::string& betsfile, const std::string* bytes,
                        const BetIdentities& ids) {
    stagebets(files, betsfile, bytes, ids);
}

BettorIdentities bettoridentities(const Files& files, const std::string& bettorsfile) {
    return bettoridentitiesof(files, bettorsfile, contentsof(files, bettorsfile));
}

void stagebettoridentities(const Files& files, const std::string& bettorsfile,
                           const std::string* bytes, const BettorIdentities& ids) {
    // A bettor back in the file (a backup restored) is no longer deleted.
    BettorIdentities out = ids;
    std::vector<Identity> live;
    for (auto& [number, list] : out.live) live.insert(live.end(), list.begin(), list.end());
    for (auto it = out.deleted.begin(); it != out.deleted.end();) {
        it->second = without(it->second, live);
        it =
            it->second.empty() && out.live.count(it->first) ? out.deleted.erase(it) : std::next(it);
    }
    bool none = out.live.empty() && out.deleted.empty();
    writeside(files, bettorsfile,
              none ? std::string() : sidetext(bettorsfile, bytes, bettorsbody(out)), none);
}

void addidentities(std::vector<Identity>& set, const std::vector<Identity>& more) {
    if (more.empty()) return;
    size_t old = set.size();
    set.insert(set.end(), more.begin(), more.end());
    sortids(set.begin() + long(old), set.end());
    std::inplace_merge(set.begin(), set.begin() + long(old), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
}

bool hasidentity(const std::vector<Identity>& sortedset, Identity id) {
    return std::binary_search(sortedset.begin(), sortedset.end(), id);
}

}  // namespace vt
