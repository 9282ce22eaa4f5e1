#include "records/origins.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
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

bool blank(std::string_view s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\x1a') return false;
    return true;
}

// The lines of a file that hold something, in order (a CR, an LF or CR LF ends a line).
std::vector<std::string_view> records(const std::string& bytes) {
    std::vector<std::string_view> out;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* stop = lf ? lf : end;
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', size_t(stop - p)));
        const char* eol = cr ? cr : stop;
        std::string_view line(p, size_t(eol - p));
        if (!blank(line)) out.push_back(line);
        p = eol;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
    }
    return out;
}

// How many lines of a file hold something, as records() gives them.
size_t countrecords(const std::string& bytes) {
    size_t n = 0;
    bool filled = false;
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            n += filled;
            filled = false;
        } else if (c != ' ' && c != '\t' && c != '\x1a') {
            filled = true;
        }
    }
    return n + filled;
}

std::string hex(uint64_t v) {
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4) out[size_t(i)] = "0123456789abcdef"[v & 15];
    return out;
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

// A check of a file's bytes: any change of a byte, a cut or an addition changes it.
std::string checkof(const std::string& bytes) {
    uint64_t h = 0x9e3779b97f4a7c15ull ^ bytes.size();
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
    return std::to_string(bytes.size()) + " " + hex(h);
}

// The header line of an identity file: the check of its data file, or "none" when there is no
// data file.
const std::string kHeader = "ids ";

std::string headerof(const std::string* bytes) {
    return kHeader + (bytes ? checkof(*bytes) : std::string("none")) + "\r\n";
}

// The next word of a line from pos (words stand between blanks); "" at its end.
std::string_view nextword(std::string_view line, size_t& pos) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    size_t end = std::min(line.find(' ', pos), line.size());
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

// An identity file as read: what it says, and whether it is in the form the program writes.
struct Side {
    bool exists = false, wellformed = false;
    std::string header;  // its check line's text after "ids "
    std::vector<std::string_view> lines;
    std::string bytes;
};

Side readside(const Files& files, const std::string& logical) {
    Side s;
    std::string path = sidecarof(logical);
    s.exists = files.exists(path);
    if (!s.exists) return s;
    s.bytes = files.readall(path);
    s.lines = records(s.bytes);
    s.wellformed = !s.lines.empty() && s.lines[0].substr(0, kHeader.size()) == kHeader;
    if (s.wellformed) s.header = std::string(s.lines[0].substr(kHeader.size()));
    return s;
}

// True when the identity file describes the data file as it stands.
bool describes(const Side& s, const Contents& data) {
    return s.wellformed && s.header == (data.exists ? checkof(data.bytes) : std::string("none"));
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

void sortunique(std::vector<Identity>& v) {
    if (!std::is_sorted(v.begin(), v.end())) std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

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
    if (set.empty()) return;
    std::vector<bool> back(set.size());
    for (Identity id : taken) {
        auto at = std::lower_bound(set.begin(), set.end(), id);
        if (at != set.end() && *at == id) back[size_t(at - set.begin())] = true;
    }
    size_t k = 0;
    for (size_t i = 0; i < set.size(); ++i)
        if (!back[i]) set[k++] = set[i];
    set.resize(k);
}

// ---- Bets ----

// Every identity an identity file names, whatever its form: what an untrusted file may have
// given out.
std::vector<Identity> namedids(const Side& s, size_t* live = nullptr) {
    std::vector<Identity> out;
    if (live) *live = 0;
    for (std::string_view line : s.lines) {
        if (line.substr(0, kHeader.size()) == kHeader) continue;  // the check, not an identity
        size_t pos = 0;
        for (std::string_view w; !(w = nextword(line, pos)).empty();) {
            bool deleted = w[0] == '-';
            if (deleted) w.remove_prefix(1);
            Identity id;
            if (!parsehex(w, id)) continue;
            out.push_back(id);
            if (live && !deleted) ++*live;
        }
    }
    return out;
}

// A Bets identity file read: each record's identity ("<id>") and the deleted ones ("-<id>").
// False when a line is in no such form or the records are not as many as `count`.
bool parsebetside(const Side& s, size_t count, BetIdentities& out) {
    if (!s.wellformed) return false;
    out.live.reserve(count);
    for (size_t i = 1; i < s.lines.size(); ++i) {
        std::string_view line = s.lines[i];
        bool deleted = !line.empty() && line[0] == '-';
        Identity id;
        if (!parsehex(line.substr(deleted ? 1 : 0), id)) return false;
        (deleted ? out.deleted : out.live).push_back(id);
    }
    sortunique(out.deleted);
    return out.live.size() == count;
}

BetIdentities betidentitiesof(const Files& files, const std::string& betsfile, const Contents& data,
                              const Side& own) {
    size_t count = data.exists ? countrecords(data.bytes) : 0;
    BetIdentities out;
    if (describes(own, data) && parsebetside(own, count, out)) return out;
    out = BetIdentities{};
    // The two files of a pair usually hold the same bytes: the other's identity file serves.
    std::string pair = pairof(betsfile);
    if (data.exists && count && pairholds(files, pair, data.bytes)) {
        Side other = readside(files, pair);
        if (describes(other, data) && parsebetside(other, count, out)) {
            addidentities(out.deleted, without(namedids(own), out.live));
            return out;
        }
        out = BetIdentities{};
    }
    // Nothing describes the file: its records are new here, and whatever its identity file or
    // its pair's named may have been given out, so none of it comes back.
    size_t named = 0;
    out.deleted = namedids(own, &named);
    bool stood = own.exists;
    if (count) {
        try {
            Side other = readside(files, pair);
            stood = stood || other.exists;
            addidentities(out.deleted, namedids(other));
        } catch (const FileError&) {
            // An unreadable pair lends nothing; its own write tells of the error.
        }
    }
    sortunique(out.deleted);
    out.described = count == 0 && !own.exists;
    out.fresh = count > 0;
    // An identity file that names fewer records than the file holds (cut, emptied, gone beside
    // its pair's, another file's) leaves some of them unaccounted for.
    out.lost = out.fresh && stood && named < count;
    for (size_t i = 0; i < count; ++i) out.live.push_back(randombits(files));
    return out;
}

std::string betsidetext(const std::string* bytes, const BetIdentities& ids) {
    std::string text = headerof(bytes);
    text.reserve(text.size() + (ids.live.size() + ids.deleted.size()) * 19);
    for (Identity id : ids.live) text.append(hex(id)).append("\r\n");
    for (Identity id : ids.deleted) text.append("-").append(hex(id)).append("\r\n");
    return text;
}

// The identities of a file's new records from its old ones: records kept (the same text at the
// start, at the end, or moved in between) keep theirs, the others are new; `gone` receives the
// identities of the old records that are not kept.
std::vector<Identity> align(const Files& files, const std::string& before,
                            const std::vector<Identity>& oldids, const std::string& after,
                            std::vector<Identity>& gone) {
    std::vector<std::string_view> o = records(before), n = records(after);
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

// The last Bets file written, so that its pair, written next with the same bytes, takes the
// same identity file when the two were in step (equal bytes and equal identity files) without
// working it out again.
struct LastBets {
    std::string file, oldbytes, oldside, newbytes, newside;
};

// A Bets file about to be written (bytes: its new contents, nullptr when it is removed).
void keepbets(const Files& files, const std::string& logical, const std::string* bytes,
              const std::string& from, LastBets& last) {
    Contents old = contentsof(files, logical);
    Side own = readside(files, logical);
    std::string side = sidecarof(logical);
    if (bytes && from.empty() && last.file == pairof(logical) && *bytes == last.newbytes &&
        old.bytes == last.oldbytes && own.bytes == last.oldside &&
        files.exists(sidecarof(last.file)) && files.readall(sidecarof(last.file)) == last.newside) {
        files.replacefile(side, last.newside);
        last.file.clear();
        return;
    }
    BetIdentities was = betidentitiesof(files, logical, old, own), now;
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
            now.live = source.live;
            now.deleted = source.deleted;
            addidentities(gone, without(was.live, now.live));
            // A bet back in the file (a backup restored) is no longer deleted.
            takeout(was.deleted, now.live);
        } else {
            now.live = align(files, old.bytes, was.live, *bytes, gone);
        }
    } else {
        gone = was.live;
    }
    addidentities(now.deleted, was.deleted);
    addidentities(now.deleted, gone);
    // A removed file's identity file stays while it remembers deletions.
    stagebetidentities(files, logical, bytes, now);
    last = LastBets{};
    if (bytes && files.exists(side))
        last = LastBets{logical, std::move(old.bytes), std::move(own.bytes), *bytes,
                        files.readall(side)};
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
// each deleted one. False when a line is in no such form.
bool parsebettorside(const Side& s, BettorIdentities& out) {
    if (!s.wellformed) return false;
    for (size_t i = 1; i < s.lines.size(); ++i) {
        size_t pos = 0;
        std::string_view first = nextword(s.lines[i], pos);
        bool deleted = !first.empty() && first[0] == '-';
        long long number;
        if (!parseint(std::string(first.substr(deleted ? 1 : 0)), number)) return false;
        std::vector<Identity>& ids = (deleted ? out.deleted : out.live)[number];
        for (std::string_view w; !(w = nextword(s.lines[i], pos)).empty();) {
            Identity id;
            if (!parsehex(w, id)) return false;
            ids.push_back(id);
        }
    }
    return true;
}

// The bettor numbers an identity file names, whatever its form.
void namednumbers(const Side& s, std::map<long long, std::vector<Identity>>& into) {
    for (std::string_view line : s.lines) {
        size_t pos = 0;
        std::string_view first = nextword(line, pos);
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
    if (describes(own, data) && parsebettorside(own, out) && covers(out, recs)) return out;
    out = BettorIdentities{};
    std::string pair = pairof(bettorsfile);
    if (data.exists && pairholds(files, pair, data.bytes)) {
        Side other = readside(files, pair);
        if (describes(other, data) && parsebettorside(other, out) && covers(out, recs)) {
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

std::string bettorsidetext(const std::string* bytes, const BettorIdentities& ids) {
    std::string text = headerof(bytes);
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
                 const std::string& from) {
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

}  // namespace

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
    const Files* f = &files;
    files.companion = [f, last = std::make_shared<LastBets>()](const std::string& logical,
                                                               const std::string* bytes,
                                                               const std::string& from) {
        switch (kindof(logical)) {
            case Kind::bets:
                keepbets(*f, logical, bytes, from, *last);
                break;
            case Kind::bettors:
                keepbettors(*f, logical, bytes, from);
                break;
            case Kind::none:
                break;
        }
    };
}

Identity newidentity(const Files& files) { return randombits(files); }

BetIdentities betidentities(const Files& files, const std::string& betsfile) {
    return betidentitiesof(files, betsfile, contentsof(files, betsfile), readside(files, betsfile));
}

void stagebetidentities(const Files& files, const std::string& betsfile, const std::string* bytes,
                        const BetIdentities& ids) {
    bool none = ids.live.empty() && ids.deleted.empty();
    writeside(files, betsfile, none ? std::string() : betsidetext(bytes, ids), none);
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
    writeside(files, bettorsfile, none ? std::string() : bettorsidetext(bytes, out), none);
}

void addidentities(std::vector<Identity>& set, const std::vector<Identity>& more) {
    if (more.empty()) return;
    size_t old = set.size();
    set.insert(set.end(), more.begin(), more.end());
    if (!std::is_sorted(set.begin() + long(old), set.end()))
        std::sort(set.begin() + long(old), set.end());
    std::inplace_merge(set.begin(), set.begin() + long(old), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
}

bool hasidentity(const std::vector<Identity>& sortedset, Identity id) {
    return std::binary_search(sortedset.begin(), sortedset.end(), id);
}

}  // namespace vt
