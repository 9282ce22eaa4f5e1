#include "betting/buildboard.h"

#include <algorithm>
#include <array>
#include <map>

#include "betting/betfiles.h"
#include "betting/frmbet.h"
#include "platform/text.h"
#include "records/host.h"
#include "records/records.h"

namespace vt {

namespace {

// The 25-character name field of the board lines.
std::string padname(const std::string& name) {
    std::string n = Left(name, 25);
    return n + std::string(25 - n.size(), ' ');
}

// The odds-order key: numerators of one digit gain a leading zero so the odds sort as text;
// a line without WIN odds gives "" and stays off the board.
std::string oddskey(const std::string& line) {
    if (line.size() >= 3 && line[2] == '/') return "0" + line.substr(1);
    if (line.size() >= 4 && line[3] == '/') return line.substr(1);
    return "";
}

// The three-character odds numerator of a flight-order board line.
std::string oddsnumerator(const std::string& odds) {
    std::string n = odds.size() == 5 ? " " + odds.substr(0, 2) : Left(odds, 3);
    if (n.size() < 3) n += std::string(3 - n.size(), ' ');
    return n;
}

}  // namespace

void buildboard(Host& app) {
    Shared& sh = app.shared();
    if (sh.dataerror == 1) return;
    auto& form = app.formas<frmbet>("frmbet");
    const long keepnbr = sh.curflightnbr;

    readentries(app);
    if (sh.dataerror == 1) return;

    // The entries up to the end of the table, and the flights they run in.
    std::vector<long> rows;
    std::array<bool, nflights + 1> used{};
    for (long i = 1; i <= sh.maxplayers; ++i) {
        const Entry& e = sh.entries(i);
        if (e.name.empty() || e.number == 999) break;
        if (!isflight(e.flight) || e.number < 1 || e.number > sh.maxplayers) continue;
        rows.push_back(i);
        used[e.flight] = true;
    }

    // Each flight's Bets file is summed once; its entries' odds are kept by entry number.
    struct Odds {
        std::string win, place, show;
    };
    std::map<long, Odds> odds;
    long lastflight = 0;
    for (long f = 1; f <= nflights; ++f)
        if (used[f]) lastflight = f;
    // The current flight is summed again at the end, which starts `summ` afresh: then no pass
    // needs to work out the odds of any flight but its own.
    const bool resummed = isflight(keepnbr);
    for (long f = 1; f <= nflights; ++f) {
        if (!used[f]) continue;
        sh.curflightnbr = f;
        sh.curflight = sh.flightnames[f];
        resetsumm(sh);
        // Every odds text of a pass is worked out below: the sum's own WIN odds would be
        // overwritten or reset unread.
        sumbetsall(app, false);
        if (sh.dataerror == 1) break;
        // Only this flight's odds are read here; without the sum at the end, the last flight's
        // pass works out every row, so the totals are left as a full pass leaves them.
        calcoddsall(app, f == lastflight && !resummed ? 0 : f);
        for (long i : rows) {
            const Entry& e = sh.entries(i);
            if (e.flight != f) continue;
            const SummRow& s = sh.summ(e.number);
            odds[e.number] = Odds{s.oddswin, s.oddsplace, s.oddsshow};
        }
    }

    if (sh.dataerror != 1) {
        Control& lst = form.control("lstentries");
        lst.clear();
        struct Line {
            std::string text;
            long flight;
        };
        struct Item {
            std::string text;
            long number;  // the entry's
        };
        std::vector<Line> lines;
        std::vector<Item> items;
        for (long i : rows) {
            const Entry& e = sh.entries(i);
            const Odds& o = odds[e.number];
            sh.padblanks = padname(e.name);
            const std::string& flight = sh.flightnames[e.flight];
            if (form.control("Check1", static_cast<int>(e.flight) - 1).value() == 1)
                items.push_back({flight + " " + sh.padblanks + o.win, e.number});
            std::string line;
            if (sh.sortodds == 1)
                line = oddskey(o.win + flight + " " + sh.padblanks);
            else if (sh.sortplayer == 1)
                line = sh.padblanks + flight + o.win;
            else
                line = flight + " " + sh.padblanks + oddsnumerator(o.win) + oddsnumerator(o.place) +
                       oddsnumerator(o.show);
            if (!line.empty()) lines.push_back({line, e.flight});
        }
        auto bytext = [](const auto& a, const auto& b) {
            return comparenocase(a.text, b.text) < 0;
        };
        // The sorted list puts each item after those that sort equal: sorted first the same way,
        // each one goes in at the end instead of moving the items after it.
        std::stable_sort(items.begin(), items.end(), bytext);
        for (const Item& item : items) {
            lst.additem(item.text);
            lst.setitemdata(lst.newindex(), item.number);
        }
        std::stable_sort(lines.begin(), lines.end(), bytext);
        sh.boardlines.assign(sh.maxplayers + 1, std::string());
        form.boardflight.assign(sh.maxplayers + 1, 0);
        for (size_t k = 0; k < lines.size() && k < static_cast<size_t>(sh.maxplayers); ++k) {
            sh.boardlines[k + 1] = lines[k].text;
            form.boardflight[k + 1] = lines[k].flight;
        }
    }

    // The current flight, its bets and its totals as they were before.
    sh.curflightnbr = keepnbr;
    if (isflight(keepnbr)) {
        sh.curflight = sh.flightnames[keepnbr];
        sumbets(app);
    }
}

}  // namespace vt
