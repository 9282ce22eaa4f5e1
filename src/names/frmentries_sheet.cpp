// The printed bet sheet of the current flight.
#include <algorithm>

#include "names/frmentries.h"
#include "platform/text.h"

namespace vt {

namespace {

const std::string rule(84, '_');

// The four empty boxes of a line: WIN, PLACE, SHOW and TOTAL.
std::vector<PItem> withboxes(std::vector<PItem> items) {
    for (int col : {57, 67, 77, 87}) {
        items.push_back(Tab(col));
        items.push_back("|");
    }
    return items;
}

// The lines of a message, split at its own line breaks (a trailing break leaves an empty line).
std::vector<std::string> messagelines(const std::string& msg) {
    std::vector<std::string> out(1);
    for (size_t i = 0; i < msg.size(); ++i) {
        char c = msg[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < msg.size() && msg[i + 1] == '\n') ++i;
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

}  // namespace

void frmentries::cmdprint_Click() {
    Shared& sh = app_.shared();
    if (equalsnocase(sh.printswitch, "no")) return;
    if (sh.curflight.empty()) {
        app_.msgbox("Select a Flight First");
        return;
    }
    printbetsheet();
}

void frmentries::printbetsheet() {
    Shared& sh = app_.shared();
    // Sort keys: flight label then name, in character-code order; equal keys keep table order.
    struct SheetKey {
        std::string key;
        long flight;
    };
    std::vector<SheetKey> keys;
    for (size_t i = 1; i <= sh.entries.size(); ++i) {
        const Entry& e = sh.entries(i);
        if (e.number == 999 || e.name.empty()) break;
        if (iszzz(e.name) || !isflight(e.flight)) continue;
        keys.push_back({listline(e.flight, e.name), e.flight});
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const SheetKey& a, const SheetKey& b) { return a.key < b.key; });

    Printer& pr = app_.printer();
    DocGuard guard(pr, "Bet Sheet");
    pr.fontsize = 8;
    pr.fontname = "MS Sans Serif";
    pr.print({"Flight", "  Player/Team", Tab(57), "|", "   Win", Tab(67), "|", "  Place", Tab(77),
              "|", "  Show", Tab(87), "|", "  TOTAL"});
    pr.print({rule});
    // The pause question counts sorted rows of every flight, so long sheets can be stopped.
    size_t pause = 35;
    for (size_t i = 1; i <= keys.size(); ++i) {
        if (i == pause) {
            pause += 35;
            if (app_.msgbox("Continue Printing Bet Sheet", vbYesNo, "Print Bet Sheet") != vbYes)
                return;
        }
        const SheetKey& k = keys[i - 1];
        if (k.flight != sh.curflightnbr) continue;
        // The label in its 10 places, then the name in the room before the first box; each is
        // drawn narrower when wider.
        pr.print(withboxes({InField(Left(k.key, 10), 10), InField(Left(Mid(k.key, 11), 40), 46)}));
        pr.print({rule});
    }
    pr.print(withboxes({" ", Zone(), "TOTAL BET"}));
    pr.print({rule});
    pr.print({" "});
    pr.print({" "});
    for (auto& l : messagelines(sh.betsheetmsg)) pr.print({l});
}

}  // namespace vt
