#include "records/origins.h"

#include <algorithm>
#include <optional>
#include <random>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "records/filelines.h"
#include "records/identityfile.h"

namespace vt {

namespace {

using namespace idfile;
using Random = std::function<Identity()>;
constexpr size_t kNone = SIZE_MAX;

// ---- Matching records by their text ----

// For each of the records `now`, the one of `was` it is (kNone: none), matched in order by text.
// Records kept at the start and at the end, and records left out in between (a bet removed, a
// bettor's or an entry's bets refunded), are seen in one pass; otherwise records moved too, and
// each takes the first record of its text not taken yet.
std::vector<size_t> align(const std::vector<std::string_view>& was,
                          const std::vector<std::string_view>& now) {
    std::vector<size_t> from(now.size(), kNone);
    size_t head = 0;
    while (head < was.size() && head < now.size() && was[head] == now[head]) {
        from[head] = head;
        ++head;
    }
    size_t tail = 0;
    while (tail < was.size() - head && tail < now.size() - head &&
           was[was.size() - 1 - tail] == now[now.size() - 1 - tail]) {
        from[now.size() - 1 - tail] = was.size() - 1 - tail;
        ++tail;
    }
    const size_t wend = was.size() - tail, nend = now.size() - tail;
    size_t i = head, j = head;
    for (; j < nend; ++j, ++i) {
        while (i < wend && was[i] != now[j]) ++i;
        if (i == wend) break;
        from[j] = i;
    }
    if (j == nend) return from;
    // Moved: the first record of each text not taken, then the next of that text.
    std::unordered_map<std::string_view, size_t> first;
    std::vector<size_t> next(was.size(), kNone);
    for (size_t k = wend; k-- > head;) {
        auto [it, fresh] = first.try_emplace(was[k], k);
        if (!fresh) next[k] = std::exchange(it->second, k);
    }
    for (j = head; j < nend; ++j) {
        auto it = first.find(now[j]);
        from[j] = it == first.end() ? kNone : it->second;
        if (it != first.end() && it->second != kNone) it->second = next[it->second];
    }
    return from;
}

// The records of `was` that no record of `now` is: for each, whether it is left.
std::vector<bool> leftover(size_t was, const std::vector<size_t>& from) {
    std::vector<bool> left(was, true);
    for (size_t k : from)
        if (k != kNone) left[k] = false;
    return left;
}

// ---- Bets ----

// The identities a trusted identity file gives the records `recs` of its data file (or of the
// other file of its pair): records it tells of keep theirs, the others are given new, unvouched
// ones, and records it tells of that are no longer there are deleted, with what they held.
BetIdentities fromside(const Side& side, const std::vector<std::string_view>& recs,
                       const Random& random) {
    std::vector<std::string_view> told;
    told.reserve(side.bets.size());
    for (const BetLine& l : side.bets) told.push_back(l.record);
    // The earlier form gives no record texts, and is trusted only where it describes its data
    // file byte for byte: its records are the data file's.
    if (side.earlier)
        told = side.bets.size() == recs.size() ? recs : std::vector<std::string_view>{};
    BetIdentities out;
    std::vector<size_t> from = align(told, recs);
    out.live.reserve(recs.size());
    for (size_t k : from) {
        if (k != kNone && k < side.bets.size()) {
            out.live.push_back(side.bets[k].id);
            if (side.bets[k].unvouched) out.unvouched.push_back(side.bets[k].id);
        } else {
            out.live.push_back(random());
            out.given.push_back(out.live.back());
        }
    }
    std::vector<bool> left = leftover(side.bets.size(), from);
    for (size_t k = 0; k < side.bets.size(); ++k)
        if (left[k] || k >= told.size()) {
            out.deleted.push_back(side.bets[k].id);
            if (k < told.size()) out.deletedholds.emplace(side.bets[k].id, told[k]);
        }
    out.described = out.given.empty() && out.deleted.empty();
    for (auto& [id, held] : side.deletedbets) {
        out.deleted.push_back(id);
        if (!held.empty()) out.deletedholds.emplace(id, held);
    }
    sortunique(out.deleted);
    sortunique(out.given);
    out.unvouched.insert(out.unvouched.end(), out.given.begin(), out.given.end());
    sortunique(out.unvouched);
    return out;
}

// The identities of a Bets file whose contents are `data` (records `recs`) and whose own
// identity file reads as `own`.
BetIdentities readbets(const Files& files, const std::string& betsfile, const Side& own,
                       const std::vector<std::string_view>& recs, const Random& random) {
    if (own.trusted) return fromside(own, recs, random);
    // Its own identity file missing or untrusted: the pair's vouches for what it holds too.
    BetIdentities out;
    bool paired = false;
    if (!recs.empty()) {
        try {
            std::string pair = pairof(betsfile);
            Side other = readside(files, pair, contentsof(files, pair));
            if ((paired = other.trusted)) out = fromside(other, recs, random);
        } catch (const FileError&) {
            // An unreadable pair lends nothing; its own write tells of the error.
        }
    }
    if (!paired) {
        for (size_t i = 0; i < recs.size(); ++i) out.live.push_back(random());
        out.given = out.live;
        sortunique(out.given);
        out.unvouched = out.given;
        out.described = recs.empty() && !own.exists;
    }
    // Whatever an untrusted identity file named may have been given out: none of it comes back.
    addidentities(out.deleted, without(own.named, out.live));
    return out;
}

BetIdentities readbets(const Files& files, const std::string& betsfile, const Random& random) {
    Contents data = contentsof(files, betsfile);
    return readbets(files, betsfile, readside(files, betsfile, data), records(data.bytes), random);
}

// What the deleted bets held is kept only for the bets deleted.
void onlydeleted(BetIdentities& ids) {
    auto d = ids.deleted.begin();
    for (auto it = ids.deletedholds.begin(); it != ids.deletedholds.end();) {
        d = std::lower_bound(d, ids.deleted.end(), it->first);
        it = d != ids.deleted.end() && *d == it->first ? std::next(it) : ids.deletedholds.erase(it);
    }
}

// A Bets identity file as staged: the lines after its first and their check ("" when the file
// was removed: it would have remembered nothing). The unvouched identities are live ones.
struct StagedBets {
    std::string body, bodycheck;
};

StagedBets stagebets(Files& files, const std::string& betsfile,
                     const std::vector<std::string_view>& recs, const BetIdentities& ids) {
    StagedBets out;
    if (!ids.live.empty() || !ids.deleted.empty()) {
        std::optional<IdSet> late;
        if (!ids.unvouched.empty()) late.emplace(ids.unvouched);
        out.body = betsbody(
            BetsText{ids.live, late ? &*late : nullptr, ids.deleted, ids.deletedholds}, recs);
        out.bodycheck = hashhex({out.body});
    }
    writeside(files, betsfile,
              out.body.empty() ? std::string() : sidetext(betsfile, out.body, out.bodycheck));
    return out;
}

// ---- Bettors ----

// The bettors of a Bettors file: each number's record text (the first line of a number counts).
std::map<long long, std::string_view> bettorrecords(const std::string& bytes) {
    std::map<long long, std::string_view> out;
    LineCursor lines(bytes, FileKind::Bettors);
    FileLine line;
    while (lines.next(line)) {
        long long n;
        if (line.readable && wholenumber(line.fields[0], n))
            out.emplace(n, std::string_view(bytes).substr(line.begin, line.text.size()));
    }
    return out;
}

void forget(BettorIdentities& into, long long number, const std::vector<Identity>& ids) {
    std::vector<Identity>& d = into.deleted[number];
    d.insert(d.end(), ids.begin(), ids.end());
    sortunique(d);
}

// As fromside() for bettors: a bettor keeps his identities where the identity file gives his
// number with his record unchanged.
BettorIdentities frombettorside(const Side& side, const std::map<long long, std::string_view>& recs,
                                const Random& random) {
    BettorIdentities out;
    std::map<long long, const BettorLine*> told;
    for (const BettorLine& l : side.bettors) told.emplace(l.number, &l);
    bool exact = told.size() == recs.size();
    for (auto& [number, text] : recs) {
        auto it = told.find(number);
        // The earlier form gives no record, and is trusted only where it describes its file.
        if (it != told.end() && (it->second->record.empty() || it->second->record == text)) {
            out.live[number] = it->second->ids;
            told.erase(it);
        } else {
            out.live[number] = {random()};
            exact = false;
        }
    }
    for (auto& [number, line] : told) forget(out, number, line->ids);
    for (auto& [number, ids] : side.deletedbettors) forget(out, number, ids);
    out.described = exact && told.empty();
    return out;
}

BettorIdentities readbettors(const Files& files, const std::string& bettorsfile,
                             const Contents& data, const Random& random) {
    auto recs = bettorrecords(data.bytes);
    Side own = readside(files, bettorsfile, data);
    if (own.trusted) return frombettorside(own, recs, random);
    BettorIdentities out;
    bool paired = false;
    if (!recs.empty()) {
        try {
            std::string pair = pairof(bettorsfile);
            Side other = readside(files, pair, contentsof(files, pair));
            if ((paired = other.trusted)) out = frombettorside(other, recs, random);
        } catch (const FileError&) {
            // An unreadable pair lends nothing.
        }
    }
    if (!paired) {
        // Known by new identities, never by what an untrusted file says (that could make two
        // people one).
        for (auto& [number, text] : recs) out.live[number] = {random()};
        out.described = recs.empty() && !own.exists;
    }
    // Every number an untrusted file named stays in use.
    for (long long number : own.numbers)
        if (!out.live.count(number)) out.deleted[number];
    return out;
}

// A Random that draws from a generator seeded once: a fresh random device per bet costs more than
// the rest of a rewrite that gives a whole old file its identities.
Random systemrandom() {
    std::random_device rd;
    uint64_t seed = (uint64_t(rd()) << 32) ^ rd();
    return [engine = std::mt19937_64(seed)]() mutable { return engine(); };
}

}  // namespace

// ---- What the files say ----

size_t listedrecords(const Files& files, const std::string& betsfile) {
    for (const std::string& file : {betsfile, pairof(betsfile)}) {
        Side s = readside(files, file, contentsof(files, file));
        if (s.trusted) return s.bets.size();
    }
    return 0;
}

bool hasidentityfile(const Files& files, const std::string& logical) {
    std::string side = sidecarof(logical);
    return !side.empty() && files.exists(side);
}

std::vector<long long> namedbettornumbers(const Files& files, const std::string& bettorsfile) {
    Side s = readside(files, bettorsfile, contentsof(files, bettorsfile));
    std::vector<long long> out = s.numbers;
    for (const BettorLine& l : s.bettors) out.push_back(l.number);
    for (auto& [number, ids] : s.deletedbettors) out.push_back(number);
    return out;
}

void stagebetidentities(Files& files, const std::string& betsfile, const std::string* bytes,
                        const BetIdentities& ids) {
    BetIdentities out = ids;
    out.unvouched = within(out.unvouched, out.live);
    onlydeleted(out);
    stagebets(files, betsfile, records(bytes ? *bytes : std::string()), out);
}

void stagebettoridentities(Files& files, const std::string& bettorsfile, const std::string* bytes,
                           const BettorIdentities& ids) {
    std::string data = bytes ? *bytes : std::string();
    auto recs = bettorrecords(data);
    BettorIdentities out;
    // A bettor no longer in the file is deleted; one back in it (a backup restored) is not.
    for (auto& [number, list] : ids.live)
        if (recs.count(number) && !list.empty())
            out.live[number] = list;
        else
            forget(out, number, list);
    std::vector<Identity> live;
    for (auto& [number, list] : out.live) live.insert(live.end(), list.begin(), list.end());
    sortunique(live);
    for (auto& [number, list] : ids.deleted) {
        std::vector<Identity> kept;
        for (Identity id : list)
            if (!hasidentity(live, id)) kept.push_back(id);
        if (!kept.empty() || !out.live.count(number)) forget(out, number, kept);
    }
    bool none = out.live.empty() && out.deleted.empty();
    writeside(
        files, bettorsfile,
        none ? std::string() : sidetext(bettorsfile, bettorsbody(out.live, out.deleted, recs)));
}

// ---- Origins ----

// What Origins keeps between writes: the identities writers hand over for the files they write,
// the last Bets file written, so that its pair, written next with the same bytes, takes the same
// identities without working them out again when the two were in step, and what it staged.
struct Origins::State {
    Random random;
    std::map<std::string, BetIdentities> bets;
    std::map<std::string, BettorIdentities> bettors;
    // (Its new lines are those staged for it.)
    struct LastBets {
        std::string file, oldbytes, oldbody, oldbodycheck, newbytes;
    } last;
    // Each Bets file's identities as this run last staged them, taken again while its identity
    // file is byte for byte the one staged and its data file holds the bytes staged: a bettor
    // delete rewrites 60 pairs of full files, and reading them again would be most of its cost.
    struct Staged {
        std::string body, bodycheck, datacheck;
        BetIdentities ids;
    };
    std::map<std::string, Staged> staged;
};

Origins::Origins(Files& files, std::function<Identity()> random)
    : files_(files), state_(std::make_unique<State>()) {
    state_->random = random ? std::move(random) : systemrandom();
    files_.companion = this;
}

Origins::~Origins() {
    if (files_.companion == this) files_.companion = nullptr;
}

Identity Origins::newidentity() { return state_->random(); }

BetIdentities Origins::bets(const std::string& betsfile) {
    return readbets(files_, betsfile, state_->random);
}

BettorIdentities Origins::bettors(const std::string& bettorsfile) {
    return readbettors(files_, bettorsfile, contentsof(files_, bettorsfile), state_->random);
}

void Origins::writeidentified(const std::string& betsfile, const std::string* bytes,
                              const BetIdentities& ids) {
    struct Handed {
        State& st;
        const std::string& file;
        ~Handed() { st.bets.erase(file); }
    } handed{*state_, betsfile};
    state_->bets[betsfile] = ids;
    writeorremove(betsfile, bytes);
}

void Origins::writeidentified(const std::string& bettorsfile, const std::string* bytes,
                              const BettorIdentities& ids) {
    Carried carried(*this, bettorsfile, ids);
    writeorremove(bettorsfile, bytes);
}

void Origins::writeorremove(const std::string& logical, const std::string* bytes) {
    if (bytes)
        files_.replacefile(logical, *bytes);
    else if (files_.exists(logical))
        files_.remove(logical);
    else
        changing(logical, nullptr, "");  // only its identity file changes
}

Origins::Carried::Carried(Origins& origins, const std::string& logical, const BettorIdentities& ids)
    : origins_(origins), logical_(logical) {
    origins_.state_->bettors[logical_] = ids;
}

Origins::Carried::~Carried() { origins_.state_->bettors.erase(logical_); }

void Origins::changing(const std::string& logical, const std::string* bytes,
                       const std::string& from) {
    switch (kindof(logical)) {
        case Kind::bets:
            keepbets(logical, bytes, from);
            break;
        case Kind::bettors:
            keepbettors(logical, bytes, from);
            break;
        case Kind::none:
            break;
    }
}

// A Bets file about to be written (bytes: its new contents, nullptr when it is removed).
void Origins::keepbets(const std::string& logical, const std::string* bytes,
                       const std::string& from) {
    State& st = *state_;
    State::LastBets& last = st.last;
    const std::string none;
    if (auto given = st.bets.find(logical); given != st.bets.end()) {
        stagebetidentities(files_, logical, bytes, given->second);
        last = {};
        return;
    }
    Contents old = contentsof(files_, logical);
    std::string side = sidecarof(logical);
    std::optional<std::string> raw;
    if (files_.exists(side)) raw = files_.readall(side);
    // The pair of the file written last, in step with it: its identity file is the one the
    // program writes for the other's lines.
    if (bytes && from.empty() && last.file == pairof(logical) && *bytes == last.newbytes &&
        old.bytes == last.oldbytes && raw &&
        issidetext(*raw, logical, last.oldbody, last.oldbodycheck)) {
        const State::Staged& pair = st.staged.at(last.file);
        files_.replacefile(side, sidetext(logical, pair.body, pair.bodycheck));
        last.file.clear();
        return;
    }
    std::vector<std::string_view> oldrecs = records(old.bytes);
    // The identities as this run staged them, while both files are as staged; else as read.
    BetIdentities was, now;
    std::string oldbody, oldbodycheck;
    auto kept = st.staged.find(logical);
    if (kept != st.staged.end() && raw &&
        issidetext(*raw, logical, kept->second.body, kept->second.bodycheck) &&
        hashhex({old.bytes}) == kept->second.datacheck) {
        was = std::move(kept->second.ids);
        oldbody = std::move(kept->second.body);
        oldbodycheck = std::move(kept->second.bodycheck);
    } else {
        Side own = raw ? parseside(logical, std::move(*raw), old) : Side{};
        if (own.trusted) {
            oldbody = own.bytes.substr(own.body);
            oldbodycheck = own.bodycheck();
        }
        was = readbets(files_, logical, own, oldrecs, st.random);
    }
    if (kept != st.staged.end()) st.staged.erase(kept);
    std::vector<std::string_view> newrecs = records(bytes ? *bytes : none);
    std::vector<bool> dropped(oldrecs.size(), !bytes);
    if (bytes) {
        // A copy takes the copied file's identities, a file written with its pair's bytes its
        // pair's; any other write keeps the identities of the records it keeps.
        bool taken = false;
        for (const std::string& other : {from, pairof(logical)})
            if (!taken && !other.empty() && kindof(other) == Kind::bets &&
                pairholds(files_, other, *bytes)) {
                now = readbets(files_, other, st.random);
                taken = now.described;
            }
        if (taken) {
            // Identities given just now were written nowhere: none of them is a deletion.
            IdSet live(now.live), given(was.given);
            for (size_t i = 0; i < oldrecs.size(); ++i)
                dropped[i] = !live.has(was.live[i]) && !given.has(was.live[i]);
            // A bet back in the file (a backup restored) is no longer deleted.
            takeout(was.deleted, now.live);
        } else {
            now = BetIdentities{};
            std::vector<size_t> at = align(oldrecs, newrecs);
            for (size_t k : at) now.live.push_back(k == kNone ? st.random() : was.live[k]);
            dropped = leftover(oldrecs.size(), at);
            // A record kept stays unvouched until an import settles it.
            now.unvouched = within(was.unvouched, now.live);
        }
    }
    addidentities(now.deleted, was.deleted);
    for (auto& [id, held] : was.deletedholds) now.deletedholds.insert({id, std::move(held)});
    std::vector<Identity> gone;
    for (size_t i = 0; i < oldrecs.size(); ++i)
        if (dropped[i]) {
            gone.push_back(was.live[i]);
            now.deletedholds.insert({was.live[i], std::string(oldrecs[i])});
        }
    addidentities(now.deleted, gone);
    onlydeleted(now);
    StagedBets staged = stagebets(files_, logical, newrecs, now);
    last = {};
    if (!bytes || staged.body.empty()) return;
    now.given.clear();
    st.staged[logical] = {std::move(staged.body), std::move(staged.bodycheck), hashhex({*bytes}),
                          std::move(now)};
    last = {logical, std::move(old.bytes), std::move(oldbody), std::move(oldbodycheck), *bytes};
}

// A Bettors file about to be written.
void Origins::keepbettors(const std::string& logical, const std::string* bytes,
                          const std::string& from) {
    if (auto given = state_->bettors.find(logical); given != state_->bettors.end()) {
        stagebettoridentities(files_, logical, bytes, given->second);
        return;
    }
    Contents old = contentsof(files_, logical);
    BettorIdentities was = readbettors(files_, logical, old, state_->random), now;
    now.deleted = was.deleted;
    if (bytes) {
        bool taken = false;
        for (const std::string& other : {from, pairof(logical)})
            if (!taken && !other.empty() && kindof(other) == Kind::bettors &&
                pairholds(files_, other, *bytes)) {
                BettorIdentities source =
                    readbettors(files_, other, Contents{true, *bytes}, state_->random);
                if ((taken = source.described)) {
                    now.live = source.live;
                    for (auto& [number, ids] : source.deleted) forget(now, number, ids);
                }
            }
        if (!taken) {
            // A bettor keeps his identities while his number and record stay; any other is new.
            auto oldrecs = bettorrecords(old.bytes);
            for (auto& [number, text] : bettorrecords(*bytes)) {
                auto it = oldrecs.find(number);
                bool same = it != oldrecs.end() && it->second == text && was.live.count(number);
                now.live[number] = same ? was.live[number] : std::vector<Identity>{newidentity()};
            }
        }
    }
    for (auto& [number, ids] : was.live) {
        auto it = now.live.find(number);
        if (it == now.live.end() || it->second.empty() || it->second[0] != ids[0])
            forget(now, number, ids);
    }
    stagebettoridentities(files_, logical, bytes, now);
}

}  // namespace vt
