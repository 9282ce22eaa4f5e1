#pragma once
#include <cstdint>
#include <string>

namespace vt {

// Exact dollar amount: a 64-bit count of 1/10000 dollar. Never loses a cent. Arithmetic is
// checked: a result that would not fit throws the old platform's error 6 "Overflow" (a
// FileError, so every handler that reports file errors reports it), never a wrapped value.
class Money {
  public:
    static constexpr int64_t scale = 10000;
    static constexpr int64_t maxbetunits = 999999900;  // the largest single bet, $99,999.99
    constexpr Money() = default;
    static constexpr Money units(int64_t u) {
        Money m;
        m.v_ = u;
        return m;
    }
    static constexpr Money dollars(int64_t d) { return units(mul(d, scale)); }
    // Nearest 1/10000, half to even.
    static Money fromdouble(double d);
    // A bet amount: whole cents, above 0 and at most $99,999.99.
    bool isbetamount() const { return v_ > 0 && v_ <= maxbetunits && v_ % (scale / 100) == 0; }
    // Strict parse of a decimal amount ("12", "2.5", ".75", "-3"); false on anything else.
    static bool parse(const std::string& text, Money& out);
    // The same, also taking an amount as the screens show it: a "$" after the sign and thousands
    // separators in their places ("$1,234.50", "-$5.00"); "1,0" or "$$5" are refused.
    static bool parseshown(const std::string& text, Money& out);

    constexpr int64_t units() const { return v_; }
    double todouble() const { return static_cast<double>(v_) / scale; }
    // Whole dollars, truncated toward zero.
    constexpr int64_t wholedollars() const { return v_ / scale; }
    // File and plain text form: whole numbers bare, decimals with a leading zero ("2.5", "0.75").
    std::string tostring() const;

    constexpr Money operator+(Money o) const { return units(add(v_, o.v_)); }
    constexpr Money operator-(Money o) const { return units(sub(v_, o.v_)); }
    constexpr Money operator-() const { return units(sub(0, v_)); }
    constexpr Money operator*(int64_t k) const { return units(mul(v_, k)); }
    Money& operator+=(Money o) { return *this = *this + o; }
    Money& operator-=(Money o) { return *this = *this - o; }
    constexpr auto operator<=>(const Money&) const = default;
    // Money times a ratio, rounded half to even to 1/10000.
    Money times(double ratio) const;

  private:
    int64_t v_ = 0;
    [[noreturn]] static void overflow();
    static constexpr int64_t add(int64_t a, int64_t b) {
        int64_t r = 0;
        if (__builtin_add_overflow(a, b, &r)) overflow();
        return r;
    }
    static constexpr int64_t sub(int64_t a, int64_t b) {
        int64_t r = 0;
        if (__builtin_sub_overflow(a, b, &r)) overflow();
        return r;
    }
    static constexpr int64_t mul(int64_t a, int64_t b) {
        int64_t r = 0;
        if (__builtin_mul_overflow(a, b, &r)) overflow();
        return r;
    }
};

// Money as text, as Str and Format (text.h) give numbers, from the exact amount: " 2.5", "$1.58".
std::string Str(Money m);
std::string Format(Money m, const std::string& pattern);

}  // namespace vt
