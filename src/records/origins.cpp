#include "records/origins.h"

#include <algorithm>
#include <cstdint>
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

// Calls `take` with each line of a file that holds something, in order, read in place.
template <class Take>
void eachline(const std::string& bytes, Take take) {
    std::string_view all(bytes);
    size_t pos = 0, n = all.size();
    while (pos < n) {
        size_t end = pos;
        while (end < n && all[end] != '\r' && all[end] != '\n') ++end;
        std::string_view line = all.substr(pos, end - pos);
        if (!blank(line)) take(line);
        pos = end;
        if (pos < n && all[pos] == '\r') ++pos;
        if (pos < n && all[pos] == '\n') ++pos;
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

std::vector<SideLine> readside(const Files& files, const std::string& logical) {
    std::vector<SideLine> out;
    std::string side = sidecarof(logical);
    if (side.empty() || !files.exists(side)) return out;
    eachline(files.readall(side), [&out](std::string_view line) {
        SideLine s;
        size_t pos = 0;
        while (pos < line.size()) {
            size_t end = std::min(line.find(' ', pos), line.size());
            if (end > pos)
                (s.key.empty() ? s.key : s.ids.emplace_back()) = line.substr(pos, end - pos);
            pos = end + 1;
        }
        if (!s.ids.empty()) out.push_back(std::move(s));
    });
    return out;
}

void writeside(const Files& files, const std::string& logical, const std::string& text) {
    std::string side = sidecarof(logical);
    if (!text.empty())
        files.replacefile(side, text);
    else if (files.exists(side))
        files.remove(side);
}

bool writtenline(const std::string& t);

// The hashed key of a Bets line in its sidecar.
std::string hashedkey(const std::string& linetext) {
    // A line as the program writes it is its own key (the common case: no copy made).
    std::string rewritten;
    const std::string& key = writtenline(linetext) ? linetext : (rewritten = betkey(linetext));
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : key) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return hex(h);
}

std::vector<std::string> linekeys(const std::string& bytes);
std::vector<std::string> assign(const Files& files, const std::string& betsfile,
                                const std::vector<std::string>& keys, const std::string& from,
                                bool* fresh);
void writekeys(const Files& files, const std::string& betsfile,
               const std::vector<std::string>& keys, const std::vector<std::string>& ids);

// A Bets file written: its lines keep their identities, any other line is a new bet here.
void keepbets(const Files& files, const std::string& logical, const std::string* bytes,
              const std::string& from) {
    if (!bytes) {
        writeside(files, logical, "");
        return;
    }
    // A Bets file and its backup are written with the same bytes: their keys are worked out once.
    thread_local std::string lastbytes;
    thread_local std::vector<std::string> lastkeys;
    if (*bytes != lastbytes) {
        lastkeys = linekeys(*bytes);
        lastbytes = *bytes;
    }
    const std::vector<std::string>& keys = lastkeys;
    writekeys(files, logical, keys, assign(files, logical, keys, from, nullptr));
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
        if (id.size() == 16 && id.find_first_not_of("0123456789abcdef") == std::string::npos)
            return id;
    }
    if (!make) return "";
    std::string id = hex(randombits(files));
    files.replacefile(kComputerFile, id + "\r\n");
    return id;
}

namespace {

// A number written as the program writes one: no blanks, no leading zeros or "+", no trailing
// zeros after the point.
bool writtenform(const std::string& t, size_t b, size_t e) {
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

bool writtenline(const std::string& t) {
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
    for (SideLine& s : readside(files, betsfile)) ids_[s.key].push_back(std::move(s.ids.front()));
}

std::string BetOrigins::take(const std::string& linetext) {
    auto it = ids_.find(hashedkey(linetext));
    if (it == ids_.end() || it->second.empty()) return "";
    std::string id = std::move(it->second.front());
    it->second.pop_front();
    return id;
}

namespace {

std::vector<std::string> linekeys(const std::string& bytes) {
    std::vector<std::string> keys = textlines(bytes);
    for (std::string& k : keys) k = hashedkey(k);
    return keys;
}

// Identities already given, as views of the strings that hold them (which stay in place).
using Used = std::unordered_set<std::string_view>;

// The sidecar of one file as a source of identities: looked up at the same line first, then by
// key among the lines not yet taken.
class Source {
  public:
    Source(const Files& files, const std::string& file)
        : lines_(readside(files, file)), taken_(lines_.size()) {}
    std::string at(size_t i, const std::string& key, const Used& used) {
        if (fits(i, key, used)) return take(i);
        // A rewrite that removed or added lines shifts the rest: the line after the last one
        // taken, or one a few lines on, is the likely match.
        for (size_t j = next_; j < next_ + kLookahead && j < lines_.size(); ++j)
            if (fits(j, key, used)) return take(j);
        return "";
    }
    std::string bykey(const std::string& key, const Used& used) {
        if (!indexed_) {
            indexed_ = true;
            for (size_t i = 0; i < lines_.size(); ++i)
                if (!taken_[i] && !used.count(lines_[i].ids.front()))
                    bykey_[lines_[i].key].lines.push_back(i);
        }
        auto it = bykey_.find(key);
        if (it == bykey_.end()) return "";
        Waiting& w = it->second;
        while (w.next < w.lines.size()) {
            size_t i = w.lines[w.next++];
            if (!taken_[i] && !used.count(lines_[i].ids.front())) return take(i);
        }
        return "";
    }

  private:
    static constexpr size_t kLookahead = 8;
    bool fits(size_t i, const std::string& key, const Used& used) const {
        return i < lines_.size() && !taken_[i] && lines_[i].key == key &&
               !used.count(lines_[i].ids.front());
    }
    // A taken line is never looked at again: its identity is moved out.
    std::string take(size_t i) {
        taken_[i] = true;
        next_ = i + 1;
        return std::move(lines_[i].ids.front());
    }
    size_t next_ = 0;
    std::vector<SideLine> lines_;
    std::vector<bool> taken_;
    bool indexed_ = false;
    // The lines of a key still to be looked at, from `next` on.
    struct Waiting {
        std::vector<size_t> lines;
        size_t next = 0;
    };
    std::unordered_map<std::string, Waiting> bykey_;
};

std::vector<std::string> assign(const Files& files, const std::string& betsfile,
                                const std::vector<std::string>& keys, const std::string& from,
                                bool* fresh) {
    if (fresh) *fresh = false;
    std::vector<std::string> ids(keys.size());
    if (keys.empty()) return ids;
    // Where a line's identity is looked for, in order: the file's own sidecar, the file it is a
    // copy of, and the other file of its pair (so that a bet new to both gets one identity). The
    // others are read only when the file's own sidecar leaves a line without one.
    std::vector<Source> sources;
    sources.emplace_back(files, betsfile);
    Used used;  // views of ids[i], which is set once and then left alone
    size_t missing = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        ids[i] = sources[0].at(i, keys[i], used);
        if (ids[i].empty()) ids[i] = sources[0].bykey(keys[i], used);
        if (ids[i].empty())
            ++missing;
        else
            used.insert(ids[i]);
    }
    if (!missing) return ids;
    if (!from.empty() && kindof(from) == Kind::bets) sources.emplace_back(files, from);
    sources.emplace_back(files, pairof(betsfile));
    std::string computer;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!ids[i].empty()) continue;
        for (size_t s = 1; s < sources.size() && ids[i].empty(); ++s) {
            ids[i] = sources[s].at(i, keys[i], used);
            if (ids[i].empty()) ids[i] = sources[s].bykey(keys[i], used);
        }
        if (ids[i].empty()) {
            if (computer.empty()) computer = computerid(files);
            ids[i] = newbetid(files, computer);
            if (fresh) *fresh = true;
        }
        used.insert(ids[i]);
    }
    return ids;
}

void writekeys(const Files& files, const std::string& betsfile,
               const std::vector<std::string>& keys, const std::vector<std::string>& ids) {
    std::string text;
    for (size_t i = 0; i < keys.size() && i < ids.size(); ++i)
        text.append(keys[i]).append(" ").append(ids[i]).append("\r\n");
    writeside(files, betsfile, text);
}

}  // namespace

std::vector<std::string> betids(const Files& files, const std::string& betsfile,
                                const std::string& bytes, const std::string& from, bool* fresh) {
    return assign(files, betsfile, linekeys(bytes), from, fresh);
}

std::string newbetid(const Files& files, const std::string& computer) {
    return computer + "-" + hex(randombits(files));
}

void writebetorigins(const Files& files, const std::string& betsfile, const std::string& bytes,
                     const std::vector<std::string>& ids) {
    writekeys(files, betsfile, linekeys(bytes), ids);
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
