#pragma once
// Helpers shared by the data file procedures.
#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/money.h"

namespace vt {

class Context;

// The amount that marks the first row after the loaded bets.
inline constexpr Money kendmarker = Money::dollars(9999);

// A whole number field: empty reads 0; text that is not a number is error 13.
long long intfield(const Field& f);
bool emptyfield(const Field& f);
// An amount field: empty reads 0; text that is not an amount is error 13.
Money moneyfield(const Field& f);

// x / d rounded to the nearest whole number, halves to the even one (d > 0).
int64_t divhalfeven(int64_t x, int64_t d);

// Tells the operator that `what` (e.g. "Players") was not read completely and is not rewritten.
void refuserewrite(Context& cx, const std::string& what);

}  // namespace vt
