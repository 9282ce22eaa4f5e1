#include "records/origins.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <random>
#include <string_view>
#include <unordered_set>

#include "platform/files.h"
#include "platform/text.h"
#include "records/shared.h"

namespace vt {

namespace {

constexpr const char* kComputerFile = "C:\\Vantrope\\.computer";

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

// The other file of a Bets pair: the backup of a Bets file, the Bets file of a backup.
std::string pairof(const std::string& betsfile) {
    return endsnocase(betsfile, "backup") ? betsfile.substr(0, betsfile.size() - 6)
                                          : betsfile + "backup";
}

bool blank(std::string_view s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\x1a') return false;
    return true;
}

// The line that starts at p, up to a CR or LF, and where the next one starts (a CR LF ends one
// line).
const char* nextline(const char* p, const char* end, std::string_view& line) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* stop = lf ? lf : end;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)));
    const char* eol = cr ? cr : stop;
    line = std::string_view(p, static_cast<size_t>(eol - p));
    p = eol;
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
    return p;
}

// Calls `take` with each line of a file that holds something, in order, read in place.
template <class Take>
void eachline(const std::string& bytes, Take take) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    std::string_view line;
    while (p < end) {
        p = nextline(p, end, line);
        if (!blank(line)) take(line);
    }
}

// The lines of a file that hold something, in order.
std::vector<std::string> textlines(const std::string& bytes) {
    std::vector<std::string> out;
    eachline(bytes, [&out](std::string_view line) { out.emplace_back(line); });
    return out;
}

std::string hex(uint64_t v) {
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4) out[i] = "0123456789abcdef"[v & 15];
    return out;
}

uint64_t randombits(const Files& files) {
    if (files.randomness) return files.randomness();
    std::random_device rd;
    return (static_cast<uint64_t>(rd()) << 32) ^ rd();
}

// The sidecar's record of a line: its key (hashed) or bettor number, then identities.
struct SideLine {
    std::string key;
    std::vector<std::string> ids;
};

// The next word of a sidecar line from pos (words stand between blanks); "" at its end.
std::string_view nextword(std::string_view line, size_t& pos) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    size_t end = std::min(line.find(' ', pos), line.size());
    std::string_view word = line.substr(pos, end - pos);
    pos = end;
    return word;
}

// Calls `take` with each line of a sidecar that names at least one identity: its first word (the
// key) and the words after it, viewed in `bytes`.
template <class Take>
void eachsideline(const std::string& bytes, Take take) {
    std::vector<std::string_view> words;
    eachline(bytes, [&](std::string_view line) {
        words.clear();
        size_t pos = 0;
        for (std::string_view w; !(w = nextword(line, pos)).empty();) words.push_back(w);
        if (words.size() > 1) take(words);
    });
}

std::string readsidebytes(const Files& files, const std::string& logical) {
    std::string side = sidecarof(logical);
    return side.empty() || !files.exists(side) ? std::string() : files.readall(side);
}

std::vector<SideLine> readside(const Files& files, const std::string& logical) {
    std::vector<SideLine> out;
    eachsideline(readsidebytes(files, logical), [&out](const std::vector<std::string_view>& w) {
        SideLine& s = out.emplace_back();
        s.key = w[0];
        s.ids.assign(w.begin() + 1, w.end());
    });
    return out;
}

// The value of a run of lower-case hex digits; false when another character is among them.
bool hexrun(const char* p, size_t n, uint64_t& value) {
    static constexpr auto digits = [] {
        std::array<int8_t, 256> t{};
        t.fill(-1);
        for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<int8_t>(c - '0');
        for (int c = 'a'; c <= 'f'; ++c) t[c] = static_cast<int8_t>(c - 'a' + 10);
        return t;
    }();
    uint64_t v = 0;
    int bad = 0;
    for (size_t i = 0; i < n; ++i) {
        int d = digits[static_cast<unsigned char>(p[i])];
        bad |= d;
        v = v << 4 | static_cast<uint64_t>(d & 15);
    }
    value = v;
    return bad >= 0;
}

// A Bets line's key as a number: 16 lower-case hex digits, the form the sidecar writes. Anything
// else is a key no line has.
bool parsekey(std::string_view text, uint64_t& key) {
    return text.size() == 16 && hexrun(text.data(), 16, key);
}

using SideBytes = std::shared_ptr<const std::string>;

// A Bets sidecar as read: each line's key and first identity, viewed in the bytes it holds.
struct BetSide {
    struct Line {
        uint64_t key = 0;
        bool haskey = false;
        std::string_view id;
    };
    SideBytes bytes;
    std::vector<Line> lines;
};

// Adds a sidecar line read by its first two words.
void addsideline(BetSide& out, std::string_view line) {
    size_t pos = 0;
    std::string_view key = nextword(line, pos), id = nextword(line, pos);
    if (id.empty()) return;
    BetSide::Line& l = out.lines.emplace_back();
    l.haskey = parsekey(key, l.key);
    l.id = id;
}

BetSide parsebetside(SideBytes bytes) {
    BetSide out;
    out.bytes = std::move(bytes);
    const char* p = out.bytes->data();
    const char* end = p + out.bytes->size();
    out.lines.reserve(out.bytes->size() / 52 + 1);
    std::string_view line;
    while (p < end) {
        // A line as sidetext writes it, with an identity as newbetid makes one ("<key>
        // <computer>-<serial>" CR LF, each part 16 hex digits), is read in one go.
        uint64_t computer, serial;
        BetSide::Line l;
        if (end - p >= 52 && p[16] == ' ' && p[33] == '-' && p[50] == '\r' && p[51] == '\n' &&
            hexrun(p, 16, l.key) && hexrun(p + 17, 16, computer) && hexrun(p + 34, 16, serial)) {
            l.haskey = true;
            l.id = std::string_view(p + 17, 33);
            out.lines.push_back(l);
            p += 52;
            continue;
        }
        p = nextline(p, end, line);
        if (!blank(line)) addsideline(out, line);
    }
    return out;
}

BetSide readbetside(const Files& files, const std::string& logical) {
    return parsebetside(std::make_shared<const std::string>(readsidebytes(files, logical)));
}

void writeside(const Files& files, const std::string& logical, const std::string& text) {
    std::string side = sidecarof(logical);
    if (!text.empty())
        files.replacefile(side, text);
    else if (files.exists(side))
        files.remove(side);
}

bool writtenline(std::string_view t);

// The hashed key of a Bets line in its sidecar.
uint64_t hashedkey(std::string_view linetext) {
    // A line as the program writes it is its own key (the common case: no copy made).
    std::string rewritten;
    std::string_view key =
        writtenline(linetext) ? linetext : (rewritten = betkey(std::string(linetext)));
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : key) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

using Keys = std::vector<uint64_t>;

// The identities of a Bets file's lines, viewed in the sidecars they were found in or in the new
// identities made for them, which it holds.
struct Assigned {
    std::vector<BetSide> sides;
    std::deque<std::string> made;
    std::vector<std::string_view> ids;
};

Keys linekeys(const std::string& bytes);
Assigned assign(const Files& files, const std::string& betsfile, const SideBytes& own,
                const Keys& keys, const std::string& from, bool* fresh);
std::string sidetext(const Keys& keys, const std::vector<std::string_view>& ids);

// A Bets file written: its lines keep their identities, any other line is a new bet here.
void keepbets(const Files& files, const std::string& logical, const std::string* bytes,
              const std::string& from) {
    if (!bytes) {
        writeside(files, logical, "");
        return;
    }
    // A Bets file and its backup are written one after the other with the same bytes: their keys
    // are worked out once. When the two sidecars were in step, the second file's comes out as the
    // first's (its lines find the same identities in its own sidecar, and any new bet the one the
    // first was given): it is taken as it is.
    thread_local struct {
        std::string file, from, bytes, newside;
        SideBytes oldside = std::make_shared<const std::string>();
        Keys keys;
    } last;
    SideBytes old = std::make_shared<const std::string>(readsidebytes(files, logical));
    bool samebytes = *bytes == last.bytes;
    if (samebytes && from == last.from && pairof(logical) == last.file && *old == *last.oldside &&
        readsidebytes(files, last.file) == last.newside) {
        last.file = logical;
        writeside(files, logical, last.newside);
        return;
    }
    if (!samebytes) {
        last.keys = linekeys(*bytes);
        last.bytes = *bytes;
    }
    last.file = logical;
    last.from = from;
    last.oldside = old;
    last.newside = sidetext(last.keys, assign(files, logical, old, last.keys, from, nullptr).ids);
    writeside(files, logical, last.newside);
}

long long bettornumber(const std::string& line) {
    long long n = 0;
    parseint(trim(line.substr(0, line.find(','))), n);
    return n;
}

// A Bettors file written: the identities of each bettor still in it are kept, with those of the
// copied file's sidecar for a copy.
void keepbettors(const Files& files, const std::string& logical, const std::string* bytes,
                 const std::string& from) {
    bool copied = !from.empty() && kindof(from) == Kind::bettors && files.exists(sidecarof(from));
    if (!files.exists(sidecarof(logical)) && !copied) return;
    BettorOrigins all = readbettororigins(files, logical), kept;
    if (copied)
        for (auto& [number, ids] : readbettororigins(files, from))
            all[number].insert(ids.begin(), ids.end());
    if (bytes)
        for (const std::string& line : textlines(*bytes)) {
            auto it = all.find(bettornumber(line));
            if (it != all.end()) kept.insert(*it);
        }
    writebettororigins(files, logical, kept);
}

}  // namespace

std::string sidecarof(const std::string& logical) {
    if (kindof(logical) == Kind::none) return "";
    size_t start = namestart(logical);
    return logical.substr(0, start) + "." + logical.substr(start) + ".ids";
}

void keeporigins(Files& files) {
    // Serials come from one generator seeded once: a fresh random device per bet costs more than
    // the rest of a rewrite that gives a whole old file its identities.
    if (!files.randomness) {
        std::random_device rd;
        uint64_t seed = (static_cast<uint64_t>(rd()) << 32) ^ rd();
        files.randomness = [engine = std::mt19937_64(seed)]() mutable { return engine(); };
    }
    const Files* f = &files;
    files.companion = [f](const std::string& logical, const std::string* bytes,
                          const std::string& from) {
        switch (kindof(logical)) {
            case Kind::bets:
                keepbets(*f, logical, bytes, from);
                break;
            case Kind::bettors:
                keepbettors(*f, logical, bytes, from);
                break;
            case Kind::none:
                break;
        }
    };
}

std::string computerid(const Files& files, bool make) {
    if (files.exists(kComputerFile)) {
        std::string id = trim(files.readall(kComputerFile));
        while (!id.empty() && (id.back() == '\r' || id.back() == '\n')) id.pop_back();
        uint64_t value;
        if (id.size() == 16 && hexrun(id.data(), 16, value)) return id;
    }
    if (!make) return "";
    std::string id = hex(randombits(files));
    files.replacefile(kComputerFile, id + "\r\n");
    return id;
}

namespace {

// A number written as the program writes one: no blanks, no leading zeros or "+", no trailing
// zeros after the point.
bool writtenform(std::string_view t, size_t b, size_t e) {
    if (b < e && t[b] == '-') ++b;
    if (b == e || (t[b] == '0' && b + 1 < e && t[b + 1] != '.')) return false;
    size_t point = std::string::npos;
    for (size_t i = b; i < e; ++i) {
        if (t[i] == '.' && point == std::string::npos)
            point = i;
        else if (t[i] < '0' || t[i] > '9')
            return false;
    }
    return point == std::string::npos || (point > b && point + 1 < e && t[e - 1] != '0');
}

bool writtenline(std::string_view t) {
    size_t b = 0;
    for (;;) {
        size_t e = std::min(t.find(',', b), t.size());
        if (!writtenform(t, b, e)) return false;
        if (e == t.size()) return true;
        b = e + 1;
    }
}

}  // namespace

std::string betkey(const std::string& linetext) {
    if (writtenline(linetext)) return linetext;
    // Fields trimmed and amounts as the program writes them, so a line rewritten from its
    // values keeps its key.
    std::string out;
    size_t pos = 0;
    for (bool first = true;; first = false) {
        size_t end = linetext.find(',', pos);
        std::string field =
            trim(linetext.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        Money m;
        if (!field.empty() && field[0] != '"' && Money::parse(field, m)) {
            RecordWriter w;
            field = w.num(m).bytes();
        }
        if (!first) out += ',';
        out += field;
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    return out;
}

BetOrigins::BetOrigins(const Files& files, const std::string& betsfile) {
    BetSide side = readbetside(files, betsfile);
    for (const BetSide::Line& l : side.lines)
        if (l.haskey) ids_[l.key].emplace_back(l.id);
}

std::string BetOrigins::take(const std::string& linetext) {
    auto it = ids_.find(hashedkey(linetext));
    if (it == ids_.end() || it->second.empty()) return "";
    std::string id = std::move(it->second.front());
    it->second.pop_front();
    return id;
}

namespace {

Keys linekeys(const std::string& bytes) {
    Keys keys;
    eachline(bytes, [&keys](std::string_view line) { keys.push_back(hashedkey(line)); });
    return keys;
}

// Identities already given.
using Used = std::unordered_set<std::string_view>;

// The sidecar of one file as a source of identities: looked up at the same line first, then by
// key among the lines not yet taken. With `used`, a line whose identity was given already is
// passed over; without it, nothing is (see assign).
class Source {
  public:
    Source(BetSide& side) : lines_(side.lines), taken_(lines_.size()) {}
    std::string_view at(size_t i, uint64_t key, const Used* used) {
        if (fits(i, key, used)) return take(i);
        // A rewrite that removed or added lines shifts the rest: the line after the last one
        // taken, or one a few lines on, is the likely match.
        for (size_t j = next_; j < next_ + kLookahead && j < lines_.size(); ++j)
            if (fits(j, key, used)) return take(j);
        return {};
    }
    std::string_view bykey(uint64_t key, const Used* used) {
        // The first few look-ups go through the lines (a bet added to a file looks up one key);
        // more build an index first. Either finds the first line of the key, in file order, not
        // taken nor given.
        if (!indexed_ && ++scans_ <= kScans) {
            for (size_t i = 0; i < lines_.size(); ++i)
                if (fits(i, key, used)) return take(i);
            return {};
        }
        if (!indexed_) index(used);
        auto first = std::lower_bound(order_.begin(), order_.end(), key,
                                      [this](uint32_t i, uint64_t k) { return lines_[i].key < k; });
        if (first == order_.end() || lines_[*first].key != key) return {};
        // Where the lines of this key still to be looked at start.
        uint32_t& pos = resume_[static_cast<size_t>(first - order_.begin())];
        while (pos < order_.size() && lines_[order_[pos]].key == key) {
            size_t i = order_[pos++];
            if (!taken_[i] && !isused(i, used)) return take(i);
        }
        return {};
    }

  private:
    static constexpr size_t kLookahead = 8, kScans = 16;
    bool isused(size_t i, const Used* used) const { return used && used->count(lines_[i].id); }
    bool fits(size_t i, uint64_t key, const Used* used) const {
        return i < lines_.size() && !taken_[i] && lines_[i].haskey && lines_[i].key == key &&
               !isused(i, used);
    }
    std::string_view take(size_t i) {
        taken_[i] = true;
        next_ = i + 1;
        return lines_[i].id;
    }
    // The lines not taken (nor given) yet, by key and then in file order.
    void index(const Used* used) {
        indexed_ = true;
        for (size_t i = 0; i < lines_.size(); ++i)
            if (!taken_[i] && lines_[i].haskey && !isused(i, used))
                order_.push_back(static_cast<uint32_t>(i));
        std::stable_sort(order_.begin(), order_.end(),
                         [this](uint32_t a, uint32_t b) { return lines_[a].key < lines_[b].key; });
        resume_.resize(order_.size());
        for (size_t k = 0; k < resume_.size(); ++k) resume_[k] = static_cast<uint32_t>(k);
    }
    const std::vector<BetSide::Line>& lines_;
    size_t next_ = 0;
    std::vector<bool> taken_;
    bool indexed_ = false;
    size_t scans_ = 0;
    std::vector<uint32_t> order_, resume_;
};

// True when no identity stands twice in `ids` (a table of their fingerprints: equal strings are
// compared only where two fingerprints meet).
bool distinct(const std::vector<std::string_view>& ids) {
    auto fingerprint = [](std::string_view id) {
        uint64_t head = 0, tail = 0;
        std::memcpy(&head, id.data(), std::min<size_t>(id.size(), 8));
        if (id.size() > 8) std::memcpy(&tail, id.data() + id.size() - 8, 8);
        return (head * 0x9e3779b97f4a7c15ull) ^ tail ^ id.size();
    };
    size_t size = 16;
    while (size < 2 * ids.size()) size *= 2;
    std::vector<uint32_t> slots(size);  // index + 1 of the identity there, 0 when free
    std::vector<uint64_t> prints(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        prints[i] = fingerprint(ids[i]);
        size_t s = (prints[i] ^ (prints[i] >> 29)) & (size - 1);
        for (; slots[s]; s = (s + 1) & (size - 1)) {
            size_t j = slots[s] - 1;
            if (prints[j] == prints[i] && ids[j] == ids[i]) return false;
        }
        slots[s] = static_cast<uint32_t>(i + 1);
    }
    return true;
}

// One pass of assign: with `used`, no identity is given twice; without it, one may be.
Assigned assignpass(const Files& files, const std::string& betsfile, const SideBytes& own,
                    const Keys& keys, const std::string& from, bool* fresh, Used* used) {
    if (fresh) *fresh = false;
    Assigned out;
    out.ids.resize(keys.size());
    if (keys.empty()) return out;
    // Where a line's identity is looked for, in order: the file's own sidecar, the file it is a
    // copy of, and the other file of its pair (so that a bet new to both gets one identity). The
    // others are read only when the file's own sidecar leaves a line without one.
    out.sides.reserve(3);
    std::vector<Source> sources;
    sources.reserve(3);
    sources.emplace_back(out.sides.emplace_back(parsebetside(own)));
    auto give = [&](size_t i, std::string_view id) {
        out.ids[i] = id;
        if (used) used->insert(id);
    };
    size_t missing = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        std::string_view id = sources[0].at(i, keys[i], used);
        if (id.empty()) id = sources[0].bykey(keys[i], used);
        if (id.empty())
            ++missing;
        else
            give(i, id);
    }
    if (!missing) return out;
    if (!from.empty() && kindof(from) == Kind::bets)
        sources.emplace_back(out.sides.emplace_back(readbetside(files, from)));
    sources.emplace_back(out.sides.emplace_back(readbetside(files, pairof(betsfile))));
    std::string computer;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!out.ids[i].empty()) continue;
        std::string_view id;
        for (size_t s = 1; s < sources.size() && id.empty(); ++s) {
            id = sources[s].at(i, keys[i], used);
            if (id.empty()) id = sources[s].bykey(keys[i], used);
        }
        if (id.empty()) {
            if (computer.empty()) computer = computerid(files);
            id = out.made.emplace_back(newbetid(files, computer));
            if (fresh) *fresh = true;
        }
        give(i, id);
    }
    return out;
}

Assigned assign(const Files& files, const std::string& betsfile, const SideBytes& own,
                const Keys& keys, const std::string& from, bool* fresh) {
    // No identity may be given twice. Looking up every identity given, line by line, costs more
    // than the rest of a rewrite, and a file's sidecars seldom hold one twice: the lines are
    // matched without it first, and only when an identity came out twice are they matched again
    // passing over what was given (which then gives what that would have given from the start).
    Assigned out = assignpass(files, betsfile, own, keys, from, fresh, nullptr);
    if (distinct(out.ids)) return out;
    Used used;
    return assignpass(files, betsfile, own, keys, from, fresh, &used);
}

// A Bets sidecar's text: each line's key and identity.
std::string sidetext(const Keys& keys, const std::vector<std::string_view>& ids) {
    std::string text;
    size_t n = std::min(keys.size(), ids.size());
    text.reserve(n * 56);
    for (size_t i = 0; i < n; ++i)
        text.append(hex(keys[i])).append(" ").append(ids[i]).append("\r\n");
    return text;
}

}  // namespace

std::vector<std::string> betids(const Files& files, const std::string& betsfile,
                                const std::string& bytes, const std::string& from, bool* fresh) {
    auto own = std::make_shared<const std::string>(readsidebytes(files, betsfile));
    Assigned a = assign(files, betsfile, own, linekeys(bytes), from, fresh);
    return {a.ids.begin(), a.ids.end()};
}

std::string newbetid(const Files& files, const std::string& computer) {
    return computer + "-" + hex(randombits(files));
}

void writebetorigins(const Files& files, const std::string& betsfile, const std::string& bytes,
                     const std::vector<std::string>& ids) {
    writeside(files, betsfile, sidetext(linekeys(bytes), {ids.begin(), ids.end()}));
}

std::string ownbettorid(const std::string& computer, long long number) {
    return computer + "/" + std::to_string(number);
}

BettorOrigins readbettororigins(const Files& files, const std::string& bettorsfile) {
    BettorOrigins out;
    for (SideLine& s : readside(files, bettorsfile)) {
        long long n;
        if (parseint(s.key, n)) out[n].insert(s.ids.begin(), s.ids.end());
    }
    return out;
}

void writebettororigins(const Files& files, const std::string& bettorsfile,
                        const BettorOrigins& origins) {
    std::string text;
    for (auto& [number, ids] : origins) {
        if (ids.empty()) continue;
        text += std::to_string(number);
        for (const std::string& id : ids) text += " " + id;
        text += "\r\n";
    }
    writeside(files, bettorsfile, text);
}

}  // namespace vt
