#include "platform/text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vt {
namespace {

// The blanks trim and the number readers skip.
bool blankortab(char c) { return c == ' ' || c == '\t'; }

// The signed exponent digits of a number's text from position i ("+20", "-05").
int exponentof(const std::string& s, size_t i) {
    bool neg = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    int v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        if (v < 100000) v = v * 10 + (s[i] - '0');
    return neg ? -v : v;
}

// A decimal number already checked to be sign, digits, point, digits and an optional exponent,
// read without the C library's locale. Too large is an infinity and too small a zero, as the C
// library's reader gives them.
double readdecimal(const std::string& t) {
    size_t i = 0;
    bool neg = !t.empty() && t[0] == '-';
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) i = 1;
    double v = 0;
    auto r = std::from_chars(t.data() + i, t.data() + t.size(), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // The decimal exponent of the first significant digit says which way it went.
        long intdigits = 0, zeros = 0;
        bool seen = false, point = false;
        size_t j = i;
        for (; j < t.size() && t[j] != 'e' && t[j] != 'E'; ++j) {
            if (t[j] == '.') {
                point = true;
            } else if (!seen && t[j] == '0') {
                if (point) ++zeros;
            } else {
                seen = true;
                if (!point) ++intdigits;
            }
        }
        long mag = intdigits > 0 ? intdigits - 1 : -(zeros + 1);
        if (j < t.size()) mag += exponentof(t, j + 1);
        v = mag > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return neg ? -v : v;
}

// Shortest decimal text of a double with at most 15 significant digits, no exponent. Written
// without the C library's locale, so the point is a point under every language setting.
std::string plaindecimal(double x) {
    if (x == 0) return "0";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
    std::string s(buf, r.ptr);
    auto e = s.find('e');
    if (e == std::string::npos) return s;
    // Expand the exponent form.
    bool neg = s[0] == '-';
    std::string mant = s.substr(neg ? 1 : 0, e - (neg ? 1 : 0));
    int exp = exponentof(s, e + 1);
    std::string digits;
    int point = 0;
    for (char c : mant) {
        if (c == '.') continue;
        digits += c;
    }
    auto dot = mant.find('.');
    point = static_cast<int>(dot == std::string::npos ? mant.size() : dot) + exp;
    std::string out;
    if (point <= 0) {
        out = "0." + std::string(-point, '0') + digits;
    } else if (point >= static_cast<int>(digits.size())) {
        out = digits + std::string(point - digits.size(), '0');
    } else {
        out = digits.substr(0, point) + "." + digits.substr(point);
    }
    return neg ? "-" + out : out;
}

// A decimal number as sign, integer digits and fraction digits.
struct Dec {
    bool neg = false;
    std::string whole = "0", frac;
};

Dec todec(const std::string& plain) {
    Dec d;
    std::string s = plain;
    if (!s.empty() && s[0] == '-') {
        d.neg = true;
        s = s.substr(1);
    }
    auto dot = s.find('.');
    d.whole = s.substr(0, dot);
    if (d.whole.empty()) d.whole = "0";
    if (dot != std::string::npos) d.frac = s.substr(dot + 1);
    return d;
}

// Rounds to n decimals, half away from zero.
Dec rounddec(Dec d, size_t n) {
    if (d.frac.size() <= n) {
        d.frac.resize(n, '0');
        return d;
    }
    bool up = d.frac[n] >= '5';
    std::string digits = d.whole + d.frac.substr(0, n);
    if (up) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0) {
            if (digits[i] == '9') {
                digits[i] = '0';
                --i;
            } else {
                ++digits[i];
                break;
            }
        }
        if (i < 0) digits = "1" + digits;
    }
    d.whole = digits.substr(0, digits.size() - n);
    d.frac = digits.substr(digits.size() - n);
    size_t nz = d.whole.find_first_not_of('0');
    d.whole = nz == std::string::npos ? "0" : d.whole.substr(nz);
    if (d.whole == "0" && d.frac.find_first_not_of('0') == std::string::npos) d.neg = false;
    return d;
}

std::string groupthousands(const std::string& whole) {
    std::string out;
    int n = static_cast<int>(whole.size());
    for (int i = 0; i < n; ++i) {
        out += whole[i];
        int left = n - 1 - i;
        if (left > 0 && left % 3 == 0) out += ',';
    }
    return out;
}

}  // namespace

std::string formatdecimal(const std::string& plain, const std::string& pattern) {
    std::string pat = pattern;
    if (equalsnocase(pat, "Currency")) pat = "$#,##0.00";
    // Literal prefix before the first digit placeholder.
    size_t first = pat.find_first_of("#0");
    std::string prefix = first == std::string::npos ? pat : pat.substr(0, first);
    std::string body = first == std::string::npos ? "" : pat.substr(first);
    auto dot = body.find('.');
    std::string intpat = body.substr(0, dot);
    std::string fracpat = dot == std::string::npos ? "" : body.substr(dot + 1);
    size_t decimals = 0;
    for (char c : fracpat)
        if (c == '0' || c == '#') ++decimals;
    size_t mindigits = 0;
    for (char c : intpat)
        if (c == '0') ++mindigits;
    bool thousands = intpat.find(',') != std::string::npos;
    Dec d = rounddec(todec(plain), decimals);
    std::string whole = d.whole;
    if (whole == "0" && mindigits == 0) whole = "";
    while (whole.size() < mindigits) whole = "0" + whole;
    if (thousands) whole = groupthousands(whole);
    std::string out = prefix + whole;
    if (decimals) out += "." + d.frac;
    if (d.neg) out = "-" + out;
    return out;
}

std::string numtext(double x) {
    std::string s = plaindecimal(x);
    return s;
}

std::string Str(double x) {
    std::string s = plaindecimal(x);
    return x < 0 ? s : " " + s;
}
std::string Str(long long x) { return x < 0 ? std::to_string(x) : " " + std::to_string(x); }

double Val(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    size_t start = i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    bool digits = false;
    while (i < s.size() && isdigit(static_cast<unsigned char>(s[i]))) {
        ++i;
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            digits = true;
        }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
        if (j < s.size() && isdigit(static_cast<unsigned char>(s[j]))) {
            while (j < s.size() && isdigit(static_cast<unsigned char>(s[j]))) ++j;
            i = j;
        }
    }
    return readdecimal(s.substr(start, i - start));
}

bool parsenumber(const std::string& s, double& out) {
    std::string t = trim(s);
    if (t.empty()) return false;
    size_t i = 0;
    if (t[i] == '-' || t[i] == '+') ++i;
    bool digits = false;
    while (i < t.size() && isdigit(static_cast<unsigned char>(t[i]))) {
        ++i;
        digits = true;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isdigit(static_cast<unsigned char>(t[i]))) {
            ++i;
            digits = true;
        }
    }
    if (!digits || i != t.size()) return false;
    out = readdecimal(t);
    return true;
}

bool parseint(std::string_view s, long long& out) {
    // Read in place (the data files' readers call this for every field).
    size_t b = 0, e = s.size();
    while (b < e && blankortab(s[b])) ++b;
    while (e > b && blankortab(s[e - 1])) --e;
    if (b == e || e - b > 18) return false;
    size_t i = b;
    bool negative = s[i] == '-';
    if (s[i] == '-' || s[i] == '+') ++i;
    if (i == e) return false;
    long long v = 0;  // at most 18 digits: no overflow
    for (size_t j = i; j < e; ++j) {
        if (s[j] < '0' || s[j] > '9') return false;
        v = v * 10 + (s[j] - '0');
    }
    out = negative ? -v : v;
    return true;
}

std::string Format(double x, const std::string& pattern) {
    if (!pattern.empty() && (pattern[0] == '@' || pattern[0] == '!'))
        return Format(numtext(x), pattern);
    return formatdecimal(plaindecimal(x), pattern);
}

std::string Format(const std::string& text, const std::string& pattern) {
    bool leftalign = !pattern.empty() && pattern[0] == '!';
    size_t places = 0;
    for (char c : pattern)
        if (c == '@') ++places;
    if (places == 0) {
        double v;
        if (parsenumber(text, v)) return Format(v, pattern);
        return text;
    }
    if (text.size() >= places) return text;
    std::string pad(places - text.size(), ' ');
    return leftalign ? text + pad : pad + text;
}

std::string ucase(const std::string& s) {
    std::string o = s;
    for (auto& c : o)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return o;
}

std::string lcase(const std::string& s) {
    std::string o = s;
    for (auto& c : o)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return o;
}

std::string ltrim(const std::string& s) {
    size_t i = s.find_first_not_of(" \t");
    return i == std::string::npos ? "" : s.substr(i);
}
std::string rtrim(const std::string& s) {
    size_t i = s.find_last_not_of(" \t");
    return i == std::string::npos ? "" : s.substr(0, i + 1);
}
std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && blankortab(s[b])) ++b;
    while (e > b && blankortab(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string Left(const std::string& s, long n) {
    if (n <= 0) return "";
    return s.substr(0, std::min<size_t>(n, s.size()));
}
std::string Right(const std::string& s, long n) {
    if (n <= 0) return "";
    if (static_cast<size_t>(n) >= s.size()) return s;
    return s.substr(s.size() - n);
}
std::string Mid(const std::string& s, long start, long n) {
    if (start < 1) start = 1;
    if (static_cast<size_t>(start) > s.size()) return "";
    if (n < 0) return s.substr(start - 1);
    return s.substr(start - 1, n);
}
std::string Space(long n) { return n > 0 ? std::string(n, ' ') : ""; }

long InStr(const std::string& s, const std::string& needle, long start) {
    if (start < 1) start = 1;
    if (static_cast<size_t>(start) > s.size() + 1) return 0;
    auto p = s.find(needle, start - 1);
    return p == std::string::npos ? 0 : static_cast<long>(p) + 1;
}

int comparenocase(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
bool equalsnocase(const std::string& a, const std::string& b) { return comparenocase(a, b) == 0; }
bool iszzz(const std::string& s) { return equalsnocase(s, "zzz"); }

}  // namespace vt
