#pragma once
// Money as the screens, lists and sheets show it, and such a text read back: the one formatter
// and the one reader of shown amounts.
#include <string>

#include "platform/money.h"

namespace vt {

// "$1,234.50"; a negative amount "-$5.00".
std::string moneytext(Money m);
// A payoff per dollar (times a multiplier) shown as money, rounded to the cent from its decimal
// form.
std::string moneytext(double x);

// An amount the program showed ("$1,234.50", "-$5.00", " 0", "12.5") read back exactly; a text
// that holds no amount (empty, blank) reads 0.
Money shownamount(const std::string& text);

}  // namespace vt
