#include "records/identityfile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

#include "platform/files.h"
#include "platform/text.h"
#include "records/filelines.h"

namespace vt::idfile {

namespace {

bool space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

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
        for (long f = 1; f <= 15; ++f)
            if (equalsnocase(stem, roundkeys[r] + Str(f))) return Kind::bets;
    return Kind::none;
}

std::string pairof(const std::string& logical) {
    return endsnocase(logical, "backup") ? logical.substr(0, logical.size() - 6)
                                         : logical + "backup";
}

std::vector<std::string_view> records(const std::string& bytes) {
    std::vector<std::string_view> out;
    out.reserve(bytes.size() / 16 + 1);  // a record is rarely shorter: few reallocations
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

std::string checkof(const std::string& logical, const std::string& bytes) {
    return std::to_string(bytes.size()) + " " +
           hashhex({ucase(logical.substr(namestart(logical))), bytes});
}

std::string sidetext(const std::string& logical, const std::string* bytes, const std::string& body,
                     const std::string& bodycheck) {
    std::string check = checkof(logical, bytes ? *bytes : std::string());
    std::string text;
    text.reserve(kHeader.size() + check.size() + 19 + body.size());
    text.append(kHeader).append(check).append(" ");
    text.append(bodycheck.empty() ? hashhex({body}) : bodycheck).append("\r\n");
    return text.append(body);
}

std::string_view nextword(std::string_view line, size_t& pos) {
    while (pos < line.size() && space(line[pos])) ++pos;
    size_t end = pos;
    while (end < line.size() && !space(line[end])) ++end;
    std::string_view word = line.substr(pos, end - pos);
    pos = end;
    return word;
}

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

bool pairholds(const Files& files, const std::string& pair, const std::string& bytes) {
    try {
        return files.exists(pair) && files.readall(pair) == bytes;
    } catch (const FileError&) {
        return false;
    }
}

Side readside(const Files& files, const std::string& logical) {
    std::string path = sidecarof(logical);
    return files.exists(path) ? sideof(files.readall(path)) : Side{};
}

Side sideof(std::string bytes) {
    Side s;
    s.exists = true;
    s.bytes = std::move(bytes);
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

std::string bodycheckof(const Side& s) {
    if (!s.wellformed) return "";
    std::string_view first = s.line(0);
    return std::string(first.substr(first.rfind(' ') + 1));
}

bool describes(const Side& s, const std::string& logical, const Contents& data) {
    return s.wellformed && s.check == checkof(logical, data.bytes);
}

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

void takeout(std::vector<Identity>& set, const std::vector<Identity>& taken) {
    if (set.empty() || taken.empty()) return;
    IdSet back(taken);
    set.erase(std::remove_if(set.begin(), set.end(), [&](Identity id) { return back.has(id); }),
              set.end());
}

}  // namespace vt::idfile
