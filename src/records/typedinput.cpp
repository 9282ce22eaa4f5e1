#include "records/typedinput.h"

#include "platform/text.h"

namespace vt {

bool holdscontrol(const std::string& text) {
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || (c >= 127 && c < 160)) return true;
    }
    return false;
}

std::string storedtextrefusal(const std::string& text, const std::string& what) {
    if (text.find('"') != std::string::npos)
        return "A " + what + " cannot contain a double quote (\")";
    if (holdscontrol(text))
        return "A " + what + " cannot contain a line break, a tab or another control character";
    return "";
}

std::string namerefusal(const std::string& name, const std::string& what) {
    if (std::string why = storedtextrefusal(name, what); !why.empty()) return why;
    if (iszzz(name)) return "ZZZ cannot be used as a " + what;
    return "";
}

bool typedhousepct(const std::string& text, Money& pct) {
    Money p;
    if (!Money::parse(text, p) || p < Money() || p >= Money::dollars(100)) return false;
    pct = p;
    return true;
}

bool typedmultiplier(const std::string& text, Money& mult) {
    Money m;
    if (!Money::parse(text, m) || m < Money::dollars(1) || m > Money::dollars(10)) return false;
    mult = m;
    return true;
}

bool typedslipamount(const std::string& text, Money& amount) {
    if (trim(text).empty()) {
        amount = Money();
        return true;
    }
    Money a;
    if (!Money::parse(text, a) || a < Money() || a > Money::units(Money::maxbetunits)) return false;
    amount = a;
    return true;
}

std::string slipamountrefusal(const std::string& text) {
    return "Bet amounts must be numbers of 0 or more, up to 99,999.99: \"" + text + "\"";
}

}  // namespace vt
