#include "platform/money.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/fileerror.h"
#include "platform/text.h"

namespace vt {

void Money::overflow() { throwfileerror(6); }

Money Money::fromdouble(double d) {
    double scaled = d * scale;
    if (!std::isfinite(d) || std::fabs(scaled) >= 9.2e18) overflow();
    if (std::fabs(scaled) >= 1e15) return units(static_cast<int64_t>(std::nearbyint(scaled)));
    // Round the 15-significant-digit decimal form of d, the value a person reads, half to even:
    // 1.00015 is 1.0002 though its binary value lies a hair below the half.
    // d.dddddddddddddde+XX: 15 significant digits, written without the C library's locale.
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 14);
    std::string t(buf, r.ptr);
    bool neg = t[0] == '-';
    if (neg) t = t.substr(1);
    auto e = t.find('e');
    int exp = 0;
    std::from_chars(t.data() + e + (t[e + 1] == '+' ? 2 : 1), t.data() + t.size(), exp);
    std::string digits = t.substr(0, 1) + t.substr(2, e - 2);  // 15 digits, point after the first
    // The value is 0.digits * 10^(exp+1); units are value * 10^4.
    int point = exp + 1 + 4;  // digits before the point of the unit count
    int64_t whole = 0;
    for (int i = 0; i < point && i < static_cast<int>(digits.size()); ++i)
        whole = whole * 10 + (digits[i] - '0');
    for (int i = static_cast<int>(digits.size()); i < point; ++i) whole *= 10;
    std::string rest = point >= 0
                           ? (point < static_cast<int>(digits.size()) ? digits.substr(point) : "")
                           : std::string(-point, '0') + digits;
    bool up = false;
    if (!rest.empty() && rest[0] > '5')
        up = true;
    else if (!rest.empty() && rest[0] == '5')
        up = rest.find_first_not_of('0', 1) != std::string::npos || (whole % 2) == 1;
    if (up) ++whole;
    return units(neg ? -whole : whole);
}

bool Money::parse(const std::string& text, Money& out) {
    std::string s = trim(text);
    if (s.empty()) return false;
    size_t i = 0;
    bool neg = false;
    if (s[i] == '-' || s[i] == '+') neg = s[i++] == '-';
    int64_t whole = 0, frac = 0;
    int fracdigits = 0, digits = 0;
    while (i < s.size() && isdigit(static_cast<unsigned char>(s[i]))) {
        if (whole >= 10000000000000LL) return false;  // keeps whole * scale inside 64 bits
        whole = whole * 10 + (s[i++] - '0');
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isdigit(static_cast<unsigned char>(s[i]))) {
            if (fracdigits < 4) {
                frac = frac * 10 + (s[i] - '0');
                ++fracdigits;
            } else if (fracdigits == 4) {
                // Fifth decimal decides the rounding (half to even on exact halves is rare enough
                // that half up suffices for typed amounts).
                if (s[i] >= '5') ++frac;
                ++fracdigits;
            }
            ++i;
            ++digits;
        }
    }
    if (i != s.size() || digits == 0) return false;
    int used = fracdigits > 4 ? 4 : fracdigits;
    for (int k = used; k < 4; ++k) frac *= 10;
    int64_t v = whole * scale + frac;
    out = units(neg ? -v : v);
    return true;
}

bool Money::parseshown(const std::string& text, Money& out) {
    std::string s = trim(text);
    std::string sign;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        sign = s.substr(0, 1);
        s = s.substr(1);
    }
    if (!s.empty() && s[0] == '$') s = s.substr(1);
    const size_t point = std::min(s.find('.'), s.size());
    const size_t commas = static_cast<size_t>(std::count(s.begin(), s.end(), ','));
    if (commas) {
        // One to three digits, then groups of a comma and three digits, all before the point.
        const size_t first = s.find(',');
        if (first == 0 || first > 3 || (point - first) % 4 != 0 || commas != (point - first) / 4)
            return false;
        for (size_t i = first; i < point; i += 4)
            if (s[i] != ',') return false;
    }
    std::string plain;
    for (char c : s)
        if (c != ',') plain += c;
    // Parse takes the sign; one more here ("$-5", "--5") or a blank after "$" is not an amount.
    if (plain.empty() || plain[0] == '-' || plain[0] == '+' || plain[0] == ' ' || plain[0] == '\t')
        return false;
    return parse(sign + plain, out);
}

std::string Money::tostring() const {
    int64_t a = v_ < 0 ? -v_ : v_;
    std::string s = std::to_string(a / scale);
    int64_t f = a % scale;
    if (f) {
        std::string fs = std::to_string(f + scale).substr(1);
        while (!fs.empty() && fs.back() == '0') fs.pop_back();
        s += "." + fs;
    }
    return v_ < 0 ? "-" + s : s;
}

Money Money::times(double ratio) const { return fromdouble(todouble() * ratio); }

std::string Str(Money m) { return m.units() < 0 ? m.tostring() : " " + m.tostring(); }

std::string Format(Money m, const std::string& pattern) {
    if (!pattern.empty() && (pattern[0] == '@' || pattern[0] == '!'))
        return Format(m.tostring(), pattern);
    return formatdecimal(m.tostring(), pattern);
}

}  // namespace vt
