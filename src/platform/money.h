#pragma once
#include <cstdint>
#include <string>

namespace vt {

// Exact dollar amount: a 64-bit count of 1/10000 dollar. Never loses a cent.
class Money {
public:
    static constexpr int64_t scale = 10000;
    constexpr Money() = default;
    static constexpr Money units(int64_t u) { Money m; m.v_ = u; return m; }
    static constexpr Money dollars(int64_t d) { return units(d * scale); }
    // Nearest 1/10000, half to even.
    static Money fromdouble(double d);
    // Strict parse of a decimal amount ("12", "2.5", ".75", "-3"); false on anything else.
    static bool parse(const std::string& text, Money& out);

    constexpr int64_t units() const { return v_; }
    double todouble() const { return static_cast<double>(v_) / scale; }
    // Whole dollars, truncated toward zero.
    constexpr int64_t wholedollars() const { return v_ / scale; }
    // File and plain text form: whole numbers bare, decimals with a leading zero ("2.5", "0.75").
    std::string tostring() const;

    constexpr Money operator+(Money o) const { return units(v_ + o.v_); }
    constexpr Money operator-(Money o) const { return units(v_ - o.v_); }
    constexpr Money operator-() const { return units(-v_); }
    constexpr Money operator*(int64_t k) const { return units(v_ * k); }
    Money& operator+=(Money o) { v_ += o.v_; return *this; }
    Money& operator-=(Money o) { v_ -= o.v_; return *this; }
    constexpr auto operator<=>(const Money&) const = default;
    // Money times a ratio, rounded half to even to 1/10000.
    Money times(double ratio) const;

private:
    int64_t v_ = 0;
};

}  // namespace vt
