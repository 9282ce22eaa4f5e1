#pragma once
// Sums shared by paying, the payoff sheets and the winners list, so a bettor's amounts are the
// same value on the screen, on paper and in the list.
#include "platform/money.h"
#include "records/moneytext.h"
#include "records/shared.h"

namespace vt {

class Host;
class Form;

// The amount rounded with the payoff rounding step in force.
Money roundedpayoff(Host& app, Money amount);
// Money rounded to whole cents, halves away from zero (the amount as shown).
Money tocents(Money m);
// Fills bettorbets with bettor b's bets on the paying combinations (each bet once per
// combination naming its entry and bet type).
void gatherbettorbets(Shared& sh, long b);
void clearbettorbets(Shared& sh);
// Paid for slot s (1..10) and pool t (1..3): the bettor's bet there times the payoff per dollar.
Money paidamount(const Shared& sh, int s, int t);
// Paid in pool t over all ten slots, and in all three pools.
Money poolpaid(const Shared& sh, int t);
Money totalpaid(const Shared& sh);
// The money text of an amount.
// Shows a paid bettor's name and rounded total on a payoff screen and adds the payment to PAID
// and ROUNDED PAID (both payoff screens keep the same boxes for this).
void showpayment(Form& form, Shared& sh, Money total, Money rounded, const std::string& name);

}  // namespace vt
