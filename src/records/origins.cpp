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

// The identity file that vouches for a data file's records: its own where it is trusted, else,
// where it holds any record (`anyrecord`), its pair's where that is (the two files of a pair hold
// the same records as a rule; `pairside` keeps it). Neither: nullptr. An unreadable pair vouches
// for nothing; its own write tells of the error.
const Side* vouching(const Files& files, const std::string& logical, const Side& own,
                     bool anyrecord, Side& pairside) {
    if (own.trusted) return &own;
    if (!anyrecord) return nullptr;
    try {
        std::string pair = pairof(logical);
        pairside = readside(files, pair, contentsof(files, pair));
    } catch (const FileError&) {
        return nullptr;
    }
    return pairside.trusted ? &pairside : nullptr;
}

// The identities of a Bets file whose contents are `data` (records `recs`) and whose own
// identity file reads as `own`.
BetIdentities readbets(const Files& files, const std::string& betsfile, const Side& own,
                       const std::vector<std::string_view>& recs, const Random& random) {
    BetIdentities out;
    Side pairside;
    if (const Side* side = vouching(files, betsfile, own, !recs.empty(), pairside)) {
        out = fromside(*side, recs, random);
    } else {
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
    Side own = readside(files, bettorsfile, data), pairside;
    BettorIdentities out;
    if (const Side* side = vouching(files, bettorsfile, own, !recs.empty(), pairside)) {
        out = frombettorside(*side, recs, random);
    } else {
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

// What Origins keeps between writes.
struct Origins::State {
    Random random;  // where new identities come from
    // The identities writers hand over for the files they write (writeidentified, Carried).
    std::map<std::string, BetIdentities> bets;
    std::map<std::string, BettorIdentities> bettors;
    // The last Bets file written, with its bytes and identity file's lines before the write and
    // its bytes after (its lines after are the ones staged for it): its pair, written next with
    // the same bytes while the two were in step, takes the same identity file without working it
    // out again.
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

namespace {

// One write of a Bets file (bytes: its new contents, nullptr when it is removed), in the steps
// Origins::keepbets() takes them.
class BetsWrite {
  public:
    BetsWrite(Files& files, Origins::State& st, const std::string& logical,
              const std::string* bytes, const std::string& from)
        : files_(files), st_(st), logical_(logical), bytes_(bytes), from_(from) {}

    // The pair of the Bets file written last, in step with it and written with the same bytes:
    // its identity file is the one staged for the other's records. False when it is not that.
    bool pairinstep();
    // What the file holds before the write: its records and their identities, taken as this
    // run staged them while both files are as staged, else read.
    void readbefore();
    // The identities of the records the write puts in the file, and which old records it drops.
    void carryover();
    // What the dropped records held is remembered with the deletions.
    void forgetdropped();
    // The identity file staged, and kept for the next write of the file and for its pair.
    void stage();

  private:
    Files& files_;
    Origins::State& st_;
    const std::string& logical_;
    const std::string* bytes_;
    const std::string& from_;
    Contents old_;
    std::optional<std::string> raw_;  // the identity file's bytes
    std::vector<std::string_view> oldrecs_, newrecs_;
    std::string oldbody_, oldbodycheck_;
    BetIdentities was_, now_;
    std::vector<bool> dropped_;
};

}  // namespace

bool BetsWrite::pairinstep() {
    old_ = contentsof(files_, logical_);
    std::string side = sidecarof(logical_);
    if (files_.exists(side)) raw_ = files_.readall(side);
    const Origins::State::LastBets& last = st_.last;
    if (!bytes_ || !from_.empty() || last.file != pairof(logical_) || *bytes_ != last.newbytes ||
        old_.bytes != last.oldbytes || !raw_ ||
        !issidetext(*raw_, logical_, last.oldbody, last.oldbodycheck))
        return false;
    const Origins::State::Staged& pair = st_.staged.at(last.file);
    files_.replacefile(side, sidetext(logical_, pair.body, pair.bodycheck));
    st_.last.file.clear();
    return true;
}

void BetsWrite::readbefore() {
    oldrecs_ = records(old_.bytes);
    auto kept = st_.staged.find(logical_);
    if (kept != st_.staged.end() && raw_ &&
        issidetext(*raw_, logical_, kept->second.body, kept->second.bodycheck) &&
        hashhex({old_.bytes}) == kept->second.datacheck) {
        was_ = std::move(kept->second.ids);
        oldbody_ = std::move(kept->second.body);
        oldbodycheck_ = std::move(kept->second.bodycheck);
    } else {
        Side own = raw_ ? parseside(logical_, std::move(*raw_), old_) : Side{};
        if (own.trusted) {
            oldbody_ = own.bytes.substr(own.body);
            oldbodycheck_ = own.bodycheck();
        }
        was_ = readbets(files_, logical_, own, oldrecs_, st_.random);
    }
    if (kept != st_.staged.end()) st_.staged.erase(kept);
}

void BetsWrite::carryover() {
    dropped_.assign(oldrecs_.size(), !bytes_);
    if (!bytes_) return;
    newrecs_ = records(*bytes_);
    // A copy takes the copied file's identities, a file written with its pair's bytes its
    // pair's; any other write keeps the identities of the records it keeps.
    for (const std::string& other : {from_, pairof(logical_)})
        if (!other.empty() && kindof(other) == Kind::bets && pairholds(files_, other, *bytes_)) {
            now_ = readbets(files_, other, st_.random);
            if (!now_.described) continue;
            // Identities given just now were written nowhere: none of them is a deletion.
            IdSet kept(now_.live), given(was_.given);
            for (size_t i = 0; i < oldrecs_.size(); ++i)
                dropped_[i] = !kept.has(was_.live[i]) && !given.has(was_.live[i]);
            // A bet back in the file (a backup restored) is no longer deleted.
            takeout(was_.deleted, now_.live);
            return;
        }
    now_ = BetIdentities{};
    std::vector<size_t> at = align(oldrecs_, newrecs_);
    for (size_t k : at) now_.live.push_back(k == kNone ? st_.random() : was_.live[k]);
    dropped_ = leftover(oldrecs_.size(), at);
    // A record kept stays unvouched until an import settles it.
    now_.unvouched = within(was_.unvouched, now_.live);
}

void BetsWrite::forgetdropped() {
    addidentities(now_.deleted, was_.deleted);
    for (auto& [id, held] : was_.deletedholds) now_.deletedholds.insert({id, std::move(held)});
    std::vector<Identity> gone;
    for (size_t i = 0; i < oldrecs_.size(); ++i)
        if (dropped_[i]) {
            gone.push_back(was_.live[i]);
            now_.deletedholds.insert({was_.live[i], std::string(oldrecs_[i])});
        }
    addidentities(now_.deleted, gone);
    onlydeleted(now_);
}

void BetsWrite::stage() {
    StagedBets staged = stagebets(files_, logical_, newrecs_, now_);
    st_.last = {};
    if (!bytes_ || staged.body.empty()) return;
    now_.given.clear();
    st_.staged[logical_] = {std::move(staged.body), std::move(staged.bodycheck), hashhex({*bytes_}),
                            std::move(now_)};
    st_.last = {logical_, std::move(old_.bytes), std::move(oldbody_), std::move(oldbodycheck_),
                *bytes_};
}

// A Bets file about to be written: its identity file follows it.
void Origins::keepbets(const std::string& logical, const std::string* bytes,
                       const std::string& from) {
    if (auto given = state_->bets.find(logical); given != state_->bets.end()) {
        stagebetidentities(files_, logical, bytes, given->second);
        state_->last = {};
        return;
    }
    BetsWrite write(files_, *state_, logical, bytes, from);
    if (write.pairinstep()) return;
    write.readbefore();
    write.carryover();
    write.forgetdropped();
    write.stage();
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
