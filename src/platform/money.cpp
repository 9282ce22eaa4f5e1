#include "platform/money.h"

#include <cmath>

#include "platform/text.h"

namespace vt {

Money Money::fromdouble(double d) {
    double scaled = d * scale;
    return units(static_cast<int64_t>(std::nearbyint(scaled)));  // default rounding: half to even
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
        if (whole > 100000000000000LL) return false;
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

}  // namespace vt
