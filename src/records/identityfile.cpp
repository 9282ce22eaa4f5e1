#include "records/identityfile.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/files.h"
#include "platform/text.h"
#include "records/filelines.h"

namespace vt::idfile {

namespace {

const std::string kHeader = "ids3 ";
const std::string kEarlierHeader = "ids2 ";

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

std::string namecheck(const std::string& logical) {
    return hashhex({ucase(logical.substr(namestart(logical)))});
}

// The earlier form's check of its data file: its size, and a check of its name and bytes.
std::string earliercheck(const std::string& logical, const std::string& bytes) {
    return std::to_string(bytes.size()) + " " +
           hashhex({ucase(logical.substr(namestart(logical))), bytes});
}

bool parsenumber(std::string_view t, long long& value) {
    return !t.empty() && t.size() < 12 && parseint(std::string(t), value);
}

// The lines after the first, each without its line end.
std::vector<std::string_view> bodylines(std::string_view body) {
    std::vector<std::string_view> out;
    out.reserve(body.size() / 24 + 1);
    for (size_t p = 0; p < body.size();) {
        size_t lf = body.find('\n', p), stop = lf == std::string_view::npos ? body.size() : lf;
        size_t end = stop > p && body[stop - 1] == '\r' ? stop - 1 : stop;
        out.push_back(body.substr(p, end - p));
        p = stop + 1;
    }
    return out;
}

// Every identity and bettor number the lines name, in whatever form: what an identity file that
// cannot be trusted may have given out.
void collectnamed(const std::vector<std::string_view>& lines, Kind kind, Side& s) {
    for (std::string_view line : lines) {
        size_t pos = 0;
        std::string_view first = nextword(line, pos);
        if (kind == Kind::bettors) {
            long long number;
            if (parsenumber(first.substr(first.rfind('-') == 0 ? 1 : 0), number))
                s.numbers.push_back(number);
        }
        for (std::string_view w = first; !w.empty(); w = nextword(line, pos)) {
            while (!w.empty() && (w[0] == '-' || w[0] == '?')) w.remove_prefix(1);
            Identity id;
            if (parsehex(w, id)) s.named.push_back(id);
        }
    }
    sortunique(s.named);
    std::sort(s.numbers.begin(), s.numbers.end());
    s.numbers.erase(std::unique(s.numbers.begin(), s.numbers.end()), s.numbers.end());
}

// "<id> <record>", "?<id> <record>", "-<id>" and "-<id> <record>" (the earlier form: a record's
// line is its identity alone, and "-?" may mark a deletion).
bool parsebetlines(const std::vector<std::string_view>& lines, bool earlier, Side& s) {
    s.bets.reserve(lines.size());
    IdSet all(lines.size());
    for (std::string_view line : lines) {
        bool deleted = !line.empty() && line[0] == '-';
        if (deleted) line.remove_prefix(1);
        bool unvouched = !line.empty() && line[0] == '?';
        if (unvouched && (deleted && !earlier)) return false;
        if (unvouched) line.remove_prefix(1);
        Identity id;
        if (!parsehex(line.substr(0, 16), id) || !all.insert(id)) return false;
        // "<id> <text>"; "<id>" alone is a blank line of the data file (or, in the earlier
        // form, a record whose text it does not give).
        std::string_view record;
        if (line.size() > 16) {
            if (line[16] != ' ' || line.size() == 17 || (earlier && !deleted)) return false;
            record = line.substr(17);
        }
        if (deleted)
            s.deletedbets.emplace_hint(s.deletedbets.end(), id, record);
        else
            s.bets.push_back(BetLine{id, unvouched, record});
    }
    return true;
}

// "<number> <id>... <record>" and "-<number> <id>..." (the earlier form: no record).
bool parsebettorlines(const std::vector<std::string_view>& lines, bool earlier, Side& s) {
    IdSet all(lines.size() * 2);
    std::vector<long long> live;
    for (std::string_view line : lines) {
        size_t end = std::min(line.find(' '), line.size());
        std::string_view first = line.substr(0, end);
        bool deleted = !first.empty() && first[0] == '-';
        if (deleted) first.remove_prefix(1);
        BettorLine b;
        if (!parsenumber(first, b.number)) return false;
        size_t pos = end;
        while (pos < line.size()) {
            size_t stop = std::min(line.find(' ', pos + 1), line.size());
            Identity id;
            if (line[pos] != ' ') return false;
            if (!parsehex(line.substr(pos + 1, stop - pos - 1), id)) break;
            if (!all.insert(id)) return false;
            b.ids.push_back(id);
            pos = stop;
        }
        if (pos < line.size()) {
            if (deleted || earlier || pos + 1 == line.size()) return false;
            b.record = line.substr(pos + 1);
        }
        if (deleted) {
            if (!s.deletedbettors.emplace(b.number, std::move(b.ids)).second) return false;
            continue;
        }
        if (b.ids.empty() || b.record.empty() != earlier) return false;  // a bettor is a record
        live.push_back(b.number);
        s.bettors.push_back(std::move(b));
    }
    std::sort(live.begin(), live.end());
    return std::adjacent_find(live.begin(), live.end()) == live.end();
}

}  // namespace

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
        for (long f = 1; f <= nflights; ++f)
            if (equalsnocase(stem, roundkeys[r] + Str(f))) return Kind::bets;
    return Kind::none;
}

std::string pairof(const std::string& logical) {
    return endsnocase(logical, "backup") ? logical.substr(0, logical.size() - 6)
                                         : logical + "backup";
}

std::string sidecarof(const std::string& logical) {
    if (kindof(logical) == Kind::none) return "";
    size_t start = namestart(logical);
    return logical.substr(0, start) + "." + logical.substr(start) + ".ids";
}

std::string describedby(const std::string& logical) {
    size_t start = namestart(logical);
    std::string name = logical.substr(start);
    if (name.size() < 6 || name[0] != '.' || !endsnocase(name, ".ids")) return "";
    std::string data = logical.substr(0, start) + name.substr(1, name.size() - 5);
    return kindof(data) == Kind::none ? "" : data;
}

std::vector<std::string_view> records(const std::string& bytes) {
    std::vector<std::string_view> out;
    out.reserve(bytes.size() / 16 + 1);  // a record is rarely shorter: few reallocations
    LineCursor lines(bytes, FileKind::Bets);
    size_t begin = 0, length = 0;
    while (lines.nextspan(begin, length)) out.emplace_back(bytes.data() + begin, length);
    return out;
}

void appendhex(std::string& out, uint64_t v) {
    // Two digits a byte: an identity file writes thousands of these.
    static constexpr auto pairs = [] {
        std::array<char, 512> p{};
        for (int b = 0; b < 256; ++b) {
            p[size_t(2 * b)] = "0123456789abcdef"[b >> 4];
            p[size_t(2 * b + 1)] = "0123456789abcdef"[b & 15];
        }
        return p;
    }();
    char digits[16];
    for (int i = 7; i >= 0; --i, v >>= 8) std::memcpy(digits + 2 * i, &pairs[2 * (v & 255)], 2);
    out.append(digits, 16);
}

std::string hex(uint64_t v) {
    std::string out;
    appendhex(out, v);
    return out;
}

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

Contents contentsof(const Files& files, const std::string& logical) {
    Contents c;
    c.exists = files.exists(logical);
    if (!c.exists) return c;
    try {
        c.bytes = files.readall(logical);
    } catch (const FileError& e) {
        if (e.number != 7) throw;
    }
    return c;
}

bool pairholds(const Files& files, const std::string& pair, const std::string& bytes) {
    try {
        return files.exists(pair) && files.readall(pair) == bytes;
    } catch (const FileError&) {
        return false;
    }
}

std::string_view Side::bodycheck() const {
    return body >= 18 ? std::string_view(bytes).substr(body - 18, 16) : std::string_view();
}

Side readside(const Files& files, const std::string& logical, const Contents& data) {
    std::string path = sidecarof(logical);
    return files.exists(path) ? parseside(logical, files.readall(path), data) : Side{};
}

Side parseside(const std::string& logical, std::string bytes, const Contents& data) {
    Side s;
    s.exists = true;
    s.bytes = std::move(bytes);
    std::string_view all(s.bytes);
    size_t firstend = all.find("\r\n");
    Kind kind = kindof(logical);
    std::string_view first = all.substr(0, firstend);
    s.body = firstend == std::string_view::npos ? all.size() : firstend + 2;
    std::vector<std::string_view> lines = bodylines(all.substr(s.body));
    // "ids3 <name> <lines>", or "ids2 <size> <check> <lines>" describing the data file's bytes.
    bool earlier = first.substr(0, kEarlierHeader.size()) == kEarlierHeader;
    bool formed = firstend != std::string_view::npos && first.size() >= 21 &&
                  first.substr(first.size() - 17) == " " + hashhex({all.substr(s.body)});
    if (formed && !earlier)
        formed = first == kHeader + namecheck(logical) + " " + std::string(s.bodycheck());
    else if (formed)
        formed = first.substr(kEarlierHeader.size(), first.size() - kEarlierHeader.size() - 17) ==
                 earliercheck(logical, data.bytes);
    s.earlier = earlier;
    if (formed)
        s.trusted = kind == Kind::bets ? parsebetlines(lines, earlier, s)
                                       : parsebettorlines(lines, earlier, s);
    if (!s.trusted) {
        s.bets.clear();
        s.bettors.clear();
        s.deletedbets.clear();
        s.deletedbettors.clear();
        collectnamed(firstend == std::string_view::npos ? bodylines(all) : lines, kind, s);
    }
    return s;
}

std::string betsbody(const BetsText& ids, const std::vector<std::string_view>& records) {
    size_t size = 0;
    for (std::string_view r : records) size += r.size() + 20;
    for (auto& [id, what] : ids.deletedholds) size += what.size() + 1;
    std::string text;
    text.reserve(size + ids.deleted.size() * 20);
    for (size_t i = 0; i < ids.live.size() && i < records.size(); ++i) {
        if (ids.unvouched && ids.unvouched->has(ids.live[i])) text += '?';
        appendhex(text, ids.live[i]);
        if (!records[i].empty()) text.append(" ").append(records[i]);
        text.append("\r\n");
    }
    // Both sorted: what each deleted bet held is found walking along.
    auto holds = ids.deletedholds.begin();
    for (Identity id : ids.deleted) {
        text += '-';
        appendhex(text, id);
        while (holds != ids.deletedholds.end() && holds->first < id) ++holds;
        if (holds != ids.deletedholds.end() && holds->first == id && !holds->second.empty())
            text.append(" ").append(holds->second);
        text.append("\r\n");
    }
    return text;
}

std::string bettorsbody(const std::map<long long, std::vector<Identity>>& live,
                        const std::map<long long, std::vector<Identity>>& deleted,
                        const std::map<long long, std::string_view>& records) {
    std::string text;
    for (auto& [number, list] : live) {
        auto record = records.find(number);
        if (list.empty() || record == records.end()) continue;
        text += std::to_string(number);
        for (Identity id : list) text.append(" ").append(hex(id));
        text.append(" ").append(record->second).append("\r\n");
    }
    for (auto& [number, list] : deleted) {
        text += "-" + std::to_string(number);
        for (Identity id : list) text.append(" ").append(hex(id));
        text += "\r\n";
    }
    return text;
}

std::string sidetext(const std::string& logical, const std::string& body,
                     const std::string& bodycheck) {
    std::string text;
    text.reserve(kHeader.size() + 34 + body.size());
    text.append(kHeader).append(namecheck(logical)).append(" ");
    text.append(bodycheck.empty() ? hashhex({body}) : bodycheck).append("\r\n");
    return text.append(body);
}

bool issidetext(std::string_view text, const std::string& logical, std::string_view body,
                std::string_view bodycheck) {
    const size_t head = kHeader.size() + 35;  // "ids3 <name> <lines>\r\n"
    return bodycheck.size() == 16 && text.size() == head + body.size() &&
           text.substr(0, kHeader.size()) == kHeader &&
           text.substr(kHeader.size(), 16) == namecheck(logical) &&
           text[kHeader.size() + 16] == ' ' && text.substr(kHeader.size() + 17, 16) == bodycheck &&
           text.substr(kHeader.size() + 33, 2) == "\r\n" && text.substr(head) == body;
}

void writeside(Files& files, const std::string& logical, const std::string& text) {
    std::string side = sidecarof(logical);
    if (!text.empty())
        files.replacefile(side, text);
    else if (files.exists(side))
        files.remove(side);
}

}  // namespace vt::idfile
