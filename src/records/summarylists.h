#pragma once
// The summary lists: the entries of the current flight with their money and WIN odds, put in
// order, written to disptab for paging and readers elsewhere, and shown on frmsummary.
#include <string>
#include <vector>

#include "platform/money.h"

namespace vt {

class Host;
class Form;
struct Shared;

// One entry as the summary shows it.
struct SummaryRow {
    std::string key;  // flight label & name
    Money win, place, show, total;
    std::string odds;  // WIN odds text
};

// Lines the list builder puts into the six lists; the sorts put a few more.
constexpr int kSummaryPage = 32;
constexpr int kSortLines = 35;

// The entries of the current flight, in the order of `entries`, with their `summ` figures.
// Loose: every row whose flight label equals curflight without regard to case. Otherwise the
// rows up to nextentryrow or the first empty name whose label equals curflight exactly.
// Also leaves the collected rows in sorttab.
std::vector<SummaryRow> collectsummaryrows(Shared& sh, bool loose);

enum class SummaryOrder {
    NameNoCase,  // ascending name, case folded
    NameCodes,   // ascending name by character codes (upper case first)
    WinMoney     // largest WIN money first; only entries with WIN money (see ordersummaryrows)
};
// Puts rows in order; equal keys keep their order.
std::vector<SummaryRow> ordersummaryrows(std::vector<SummaryRow> rows, SummaryOrder order);

// disptab: rows 1..n hold the rows as text, row n+1 the "zzz" end row, the rest cleared.
void writedisptab(Shared& sh, const std::vector<SummaryRow>& rows);
// True when display row r ends the table.
bool disptabend(const Shared& sh, long r);
// Display row r read back.
SummaryRow disptabrow(const Shared& sh, long r);

// The six lists of frmsummary.
void clearsummarylists(Form& f);
void addsummaryline(Form& f, const SummaryRow& row);
// The four total boxes from the totals row of summ.
void showsummarytotals(Shared& sh, Form& f);
// Fills the summary screen's lists and disptab for the current flight (loads the screen unseen).
void fillsummarylists(Host& app);

}  // namespace vt
