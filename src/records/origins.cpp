#include "records/origins.h"

#include <algorithm>
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
#include "records/identityfile.h"
#include "records/shared.h"

namespace vt {

namespace {

using namespace idfile;

// ---- Bets ----

// Every identity an identity file names, whatever its form: what an untrusted file may have
// given out.
std::vector<Identity> namedids(const Side& s) {
    std::vector<Identity> out;
    // A first line in the program's form, of this or an older version ("ids2 ", "ids "), holds
    // checks, not identities (no identity starts with letters past f).
    size_t first = s.lines() && s.line(0).substr(0, 3) == "ids" ? 1 : 0;
    for (size_t i = first; i < s.lines(); ++i) {
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
                            const std::vector<Identity>& oldids,
                            const std::vector<std::string_view>& n, std::vector<Identity>& gone) {
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

// A Bets identity file as staged: its whole text, the lines after its first and their check;
// all "" when it was removed (it would have remembered nothing).
struct StagedSide {
    std::string text, body, bodycheck;
};

StagedSide stagebets(const Files& files, const std::string& betsfile, const std::string* bytes,
                     const BetIdentities& ids, const std::vector<Identity>& unvouched) {
    StagedSide out;
    bool none = ids.live.empty() && ids.deleted.empty();
    if (!none) {
        out.body = betsbody(ids, unvouched);
        out.bodycheck = hashhex({out.body});
        out.text = sidetext(betsfile, bytes, out.body, out.bodycheck);
    }
    writeside(files, betsfile, out.text, none);
    return out;
}

// The last Bets file written, so that its pair, written next with the same bytes, takes the
// same identities when the two were in step (equal bytes and equal identity files) without
// working them out again.
struct LastBets {
    std::string file, oldbytes, oldbody, oldbodycheck, newbytes, newbody, newbodycheck;
};

// A Bets identity file this run staged, with what it reads as, so that the next write of its
// data file takes the identities without reading them again while the identity file is, byte
// for byte, the one staged and still describes its data file.
struct KnownBets {
    std::string text;   // the identity file as staged
    size_t body = 0;    // where its lines after the first start
    std::string check;  // the data file's check it gives
    std::string bodycheck;
    BetIdentities ids;                                 // as parsebetside reads the text
    std::vector<std::pair<uint32_t, uint32_t>> lines;  // the data file's records: start, length
};

// What the hook keeps between calls: the last Bets file written, the identity files staged, and
// the identities writers hand over for the files they write (writeidentified).
struct OriginsState {
    LastBets last;
    std::map<std::string, KnownBets> known;
    std::map<std::string, BetIdentities> bets;
    std::map<std::string, BettorIdentities> bettors;
};

// What an identity file staged for `now` reads as, with the records `lines` of its data file;
// nothing when it would not read back (one identity given twice).
std::optional<KnownBets> knownof(const BetIdentities& now, std::vector<Identity> unvouched,
                                 const std::string& logical, const std::string& bytes,
                                 const std::vector<std::string_view>& lines, StagedSide staged) {
    IdSet all(now.live.size() + now.deleted.size());
    for (const auto* v : {&now.live, &now.deleted})
        for (Identity id : *v)
            if (!all.insert(id)) return std::nullopt;
    KnownBets k;
    k.ids.live = now.live;
    k.ids.unvouched = std::move(unvouched);
    k.ids.deleted = now.deleted;
    k.ids.deletedlate = now.deletedlate;
    for (auto& [id, held] : now.deletedholds)
        if (!held.empty()) k.ids.deletedholds.emplace_hint(k.ids.deletedholds.end(), id, held);
    k.lines.reserve(lines.size());
    for (std::string_view l : lines)
        k.lines.emplace_back(uint32_t(l.data() - bytes.data()), uint32_t(l.size()));
    k.check = checkof(logical, bytes);
    k.body = staged.text.size() - staged.body.size();
    k.bodycheck = std::move(staged.bodycheck);
    k.text = std::move(staged.text);
    return k;
}

// A Bets file about to be written (bytes: its new contents, nullptr when it is removed).
void keepbets(const Files& files, const std::string& logical, const std::string* bytes,
              const std::string& from, OriginsState& state) {
    LastBets& last = state.last;
    auto knownit = state.known.find(logical);
    std::optional<KnownBets> known;
    if (knownit != state.known.end()) {
        known = std::move(knownit->second);
        state.known.erase(knownit);
    }
    if (auto given = state.bets.find(logical); given != state.bets.end()) {
        stagebetidentities(files, logical, bytes, given->second);
        last = LastBets{};
        return;
    }
    Contents old = contentsof(files, logical);
    std::string side = sidecarof(logical);
    std::optional<std::string> raw;
    if (files.exists(side)) raw = files.readall(side);
    // The pair of the file written last, in step with it: its identity file is the one the
    // program writes for its old bytes with the other's lines.
    if (bytes && from.empty() && last.file == pairof(logical) && *bytes == last.newbytes &&
        old.bytes == last.oldbytes && raw &&
        *raw == sidetext(logical, &old.bytes, last.oldbody, last.oldbodycheck)) {
        files.replacefile(side, sidetext(logical, bytes, last.newbody, last.newbodycheck));
        last.file.clear();
        return;
    }
    // The old file's lines, read once: counted, aligned with the new ones, and what dropped ones
    // held. Its identities are those the identity file staged last gave, when that is the one
    // there and still describes the file.
    std::vector<std::string_view> oldlines;
    BetIdentities was, now;
    std::string oldbody, oldbodycheck;
    if (known && raw && *raw == known->text && checkof(logical, old.bytes) == known->check) {
        oldlines.reserve(known->lines.size());
        for (auto [start, length] : known->lines)
            oldlines.emplace_back(old.bytes.data() + start, length);
        was = std::move(known->ids);
        oldbody = raw->substr(known->body);
        oldbodycheck = std::move(known->bodycheck);
    } else {
        Side own = raw ? sideof(std::move(*raw)) : Side{};
        oldlines = records(old.bytes);
        was = betidentitiesof(files, logical, old, own, oldlines.size());
        oldbody = bodyof(own);
        oldbodycheck = bodycheckof(own);
    }
    std::vector<Identity> gone;
    std::vector<std::string_view> newlines;
    bool aligned = false;
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
            newlines = records(*bytes);
            now.live = align(files, oldlines, was.live, newlines, gone);
            // A record kept stays unvouched until an import settles it.
            now.unvouched = within(was.unvouched, now.live);
            aligned = true;
        }
    } else {
        gone = was.live;
    }
    addidentities(now.deleted, was.deleted);
    addidentities(now.deleted, gone);
    remember(now, was, gone, oldlines);
    // A removed file's identity file stays while it remembers deletions. The unvouched ones are
    // live ones here, sorted, each once (kept by within() or read from an identity file).
    std::vector<Identity> unvouched = now.unvouched;
    StagedSide staged = stagebets(files, logical, bytes, now, unvouched);
    last = LastBets{};
    if (bytes && !staged.body.empty()) {
        last = LastBets{logical, std::move(old.bytes), std::move(oldbody), std::move(oldbodycheck),
                        *bytes,  staged.body,          staged.bodycheck};
        if (aligned)
            if (auto k = knownof(now, std::move(unvouched), logical, *bytes, newlines,
                                 std::move(staged)))
                state.known.emplace(logical, std::move(*k));
    }
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
    stagebets(files, betsfile, bytes, ids, within(ids.unvouched, ids.live));
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
    IdSet held(live);
    for (auto it = out.deleted.begin(); it != out.deleted.end();) {
        std::vector<Identity>& d = it->second;
        d.erase(std::remove_if(d.begin(), d.end(), [&](Identity id) { return held.has(id); }),
                d.end());
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
