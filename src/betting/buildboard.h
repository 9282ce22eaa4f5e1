#pragma once

namespace vt {

class Host;

// Fills the betting screen's odds board: the clickable list of the ticked flights' entries with
// their WIN odds, and the shared board lines the scroller shows, in the chosen sort order.
// Leaves the current flight, its bets and its totals as they were before it ran.
void buildboard(Host& app);

}  // namespace vt
