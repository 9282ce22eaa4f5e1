#pragma once
// Helpers shared by the data file procedures.
#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/money.h"
#include "records/filelines.h"

namespace vt {

class Context;

// The amount that marks the first row after the loaded bets.
inline constexpr Money kendmarker = Money::dollars(9999);

// A whole-number field (`wholenumber`) of a readable line; anything else is error 13.
long long intfield(const Field& f);
// An amount field: empty reads 0; text that is not an amount is error 13.
Money moneyfield(const Field& f);

// x / d rounded to the nearest whole number, halves to the even one (d > 0). Inline: the odds
// call it with constant divisors thousands of times a click.
inline int64_t divhalfeven(int64_t x, int64_t d) {
    int64_t q = x / d, r = x % d;
    if (r < 0) {  // floor division
        q -= 1;
        r += d;
    }
    if (2 * r > d || (2 * r == d && (q & 1))) ++q;
    return q;
}

// The setup's capacity for records of a kind of file: maxplayers, maxbettors or maxbets.
long capacityof(const Shared& sh, FileKind kind);

// When a line of a data file (logical path) is not a record, or the file was emptied while its
// backup holds records, shows the readers' box naming it (titled with `fileop`, once per file per
// action) and returns true; false when every line is a record or the file cannot be read now. A
// refusal that follows a reading which stopped says the same as the reading did.
bool tellbadline(Context& cx, const std::string& file, FileKind kind);
// Tells the operator that a data file was not read completely and is not rewritten: the box of
// its bad line (tellbadline()), or one saying so; told once per file per action.
void refuserewrite(Context& cx, const std::string& file, FileKind kind);

// Tells the operator that a file holds more records than the setup's capacity for them, so that
// only the first `loaded` were loaded (or, `shown`, shown); once per file per action.
void overcapacity(Context& cx, const std::string& file, FileKind kind, long loaded,
                  bool shown = false);

}  // namespace vt
