#include "records/moneytext.h"

#include "platform/text.h"

namespace vt {

std::string moneytext(Money m) { return Format(m, "Currency"); }

std::string moneytext(double x) { return Format(x, "Currency"); }

Money shownamount(const std::string& text) {
    Money m;
    return Money::parseshown(text, m) ? m : Money();
}

}  // namespace vt
