#pragma once
// What a cashier types, checked in one place before it is stored or computed with: texts that a
// data file stores, and the amounts and percentages typed into the screens.
#include <string>

#include "platform/money.h"

namespace vt {

// True when the text holds a line break, a tab or another control character (C0, DEL or the C1
// controls of Latin-1).
bool holdscontrol(const std::string& text);

// Why a typed text cannot be stored in a data file, or "" when it can. A double quote has no
// place in the record syntax, and a line break or any other control character would split or
// corrupt the record. `what` names the text in the message ("bettor name", "banner").
std::string storedtextrefusal(const std::string& text, const std::string& what);
// The same for a name of an entry or a bettor, which also may not be "zzz" in any case (the
// deleted-record mark).
std::string namerefusal(const std::string& name, const std::string& what);

// Typed numbers go through Money::parse, the one strict parse (digits with an optional sign and
// decimal point, blanks around; no thousands separators, exponents or trailing text), then each
// kind's range. False when the text is refused.
// A house withholding percentage: 0 up to, not including, 100 (at 100 every winner would be
// listed and paid nothing).
bool typedhousepct(const std::string& text, Money& pct);
// A payoff multiplier: 1 to 10, both included.
bool typedmultiplier(const std::string& text, Money& mult);
// An amount bet on a slip: from 0 to the largest bet; an empty or blank box is 0.
bool typedslipamount(const std::string& text, Money& amount);
// The message for a refused slip amount, naming the text.
std::string slipamountrefusal(const std::string& text);

}  // namespace vt
