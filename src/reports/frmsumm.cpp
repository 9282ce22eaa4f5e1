#include "reports/frmsumm.h"

#include "platform/text.h"
#include "records/records.h"
#include "records/summarylists.h"
#include "reports/printcopies.h"

namespace vt {

namespace {

// Cell alignments of the grid.
constexpr int kLeftBottom = 2;
constexpr int kRightCenter = 7;

const char* const kTitles[] = {"Rec Nbr", "Flight",   "Player/Team", "Win $",    "Win Odds",
                               "Place $", "Plc Odds", "Show $",      "Shw Odds", "Total $"};
const int kWidths[] = {800, 1000, 1500, 1000, 1000, 1000, 1000, 1000, 1000, 1000};
const int kPrintTabs[] = {0, 5, 15, 35, 45, 56, 65, 75, 85, 97};

// Blanks in front of a text so that `measured` fills six places; none when it is longer.
std::string padto6(const std::string& measured, const std::string& text) {
    long n = 6 - static_cast<long>(measured.size());
    return Space(n > 0 ? n : 0) + text;
}

// WIN and total: padded by the length of the whole dollars only.
std::string wholepadded(Money m) {
    int64_t u = m.units();
    int64_t whole = u >= 0 ? u / Money::scale : -((-u + Money::scale - 1) / Money::scale);
    return padto6(std::to_string(whole), Str(m));
}

// PLACE and SHOW: padded by the length of the amount's own text.
std::string amountpadded(Money m) { return padto6(m.tostring(), Str(m)); }

}  // namespace

frmsumm::frmsumm(Host& app) : Form(app, "frmsumm"), app_(app) {
    caption = "";
    auto& grid = add(Kind::Grid, "grdodds", "", 8, 8, 761, 505);
    grid.fontname = "Courier New";
    grid.fontsize = 8;
    grid.fontbold = true;
    grid.grid.fixedrows = 1;
    grid.grid.fixedcols = 1;

    auto& print = add(Kind::CommandButton, "cmdprint", "PRINT", 8, 522, 81, 33);
    print.tooltip = "Print this screen";
    print.fontbold = true;
    print.Click = [this] { cmdprint_Click(); };
    auto& ret = add(Kind::CommandButton, "cmdreturn", "RETURN", 97, 522, 81, 33);
    ret.tooltip = "Return to Summary screen";
    ret.fontbold = true;
    ret.Click = [this] { cmdreturn_Click(); };
}

void frmsumm::Form_Load() {
    Shared& s = app_.shared();
    Control& g = control("grdodds");
    g.setcols(10);
    g.setrows(1);
    g.clearcells();
    for (int c = 0; c < 10; ++c) {
        g.setcolwidth(c, kWidths[c]);
        g.settextmatrix(0, c, kTitles[c]);
        g.setcellalignment(0, c, kRightCenter);
    }

    for (auto& pool : s.flightpool) pool = {};
    readentries(app_);
    resetsumm(s);
    sumallflights();
    calcoddsall(app_);

    int r = 1;
    long p = 1;
    long last = std::min<long>(s.maxplayers, static_cast<long>(s.entries.size()));
    for (long i = 1; i <= last; ++i) {
        const Entry& e = s.entries(i);
        if (e.name.empty()) break;
        if (e.flight != p) writetotalrow(r, p);
        writeentryrow(r, e);
        ++r;
        p = e.flight;
    }
    writetotalrow(r, p);
}

void frmsumm::sumallflights() {
    // Every flight of the round is summed; each pass starts the flight pools afresh, so they are
    // added up aside and put back at the end, with the current flight unchanged.
    Shared& s = app_.shared();
    long current = s.curflightnbr;
    std::array<std::array<Money, 4>, nflights + 1> pools{};
    for (long f = 1; f <= nflights; ++f) {
        s.curflightnbr = f;
        sumbetsall(app_);
        for (size_t x = 1; x < pools.size(); ++x)
            for (size_t t = 1; t < pools[x].size(); ++t) pools[x][t] += s.flightpool[x][t];
    }
    s.flightpool = pools;
    s.curflightnbr = current;
}

void frmsumm::writeentryrow(int r, const Entry& e) {
    Shared& s = app_.shared();
    Control& g = control("grdodds");
    g.setrows(r + 1);
    SummRow sr;
    if (e.number >= 1 && e.number <= static_cast<long>(s.summ.size())) sr = s.summ(e.number);
    std::string label = e.flight >= 0 && e.flight <= nflights ? s.flightnames[e.flight] : "";
    const std::string texts[] = {std::to_string(r),
                                 Format(label, "!@@@@@@@@@@@"),
                                 trim(e.name),
                                 wholepadded(sr.win),
                                 padto6(sr.oddswin, sr.oddswin),
                                 amountpadded(sr.place),
                                 padto6(sr.oddsplace, sr.oddsplace),
                                 amountpadded(sr.show),
                                 padto6(sr.oddsshow, sr.oddsshow),
                                 wholepadded(sr.total)};
    for (int c = 0; c < 10; ++c) {
        g.settextmatrix(r, c, texts[c]);
        g.setcellalignment(r, c, c == 1 ? kLeftBottom : kRightCenter);
    }
}

void frmsumm::writetotalrow(int& r, long f) {
    Shared& s = app_.shared();
    Control& g = control("grdodds");
    Money win, place, show;
    if (isflight(f)) {
        win = s.flightpool[f][1];
        place = s.flightpool[f][2];
        show = s.flightpool[f][3];
    }
    Money total = win + place + show;
    if (total != Money{}) {
        if (g.rows() < r + 1) g.setrows(r + 1);
        g.settextmatrix(r, 0, std::to_string(r));
        g.setcellalignment(r, 0, kRightCenter);
        g.settextmatrix(r, 2, "TOTAL");
        g.setcellbold(r, 2, true);
        const std::pair<int, Money> pools[] = {{3, win}, {5, place}, {7, show}, {9, total}};
        for (const auto& [c, m] : pools) {
            g.settextmatrix(r, c, "$" + Str(m));
            g.setcellbold(r, c, true);
            g.setcellalignment(r, c, kRightCenter);
        }
    }
    for (int k = 0; k < 2; ++k) {
        ++r;
        g.setrows(r + 1);
        g.settextmatrix(r, 0, std::to_string(r));
        g.setcellalignment(r, 0, kRightCenter);
    }
}

void frmsumm::cmdprint_Click() {
    if (app_.shared().printswitch == "no") return;
    long copies = askcopies(app_, "Print Bets");
    printcopies(app_, copies, "Odds Grid", [this](Printer& p) {
        Control& g = control("grdodds");
        p.fontname = "MS Sans Serif";
        p.fontsize = 8;
        for (int r = 0; r < g.rows(); ++r) {
            std::vector<PItem> items;
            for (int c = 0; c < 10; ++c) {
                printline[c] = g.textmatrix(r, c);
                if (c > 0) items.push_back(Tab(kPrintTabs[c]));
                // The flight and the name fill the room before the next tab, drawn narrower
                // when wider, so a wide label or a long name keeps its row on one line.
                if ((c == 1 || c == 2) && !printline[c].empty())
                    items.push_back(InField(printline[c], kPrintTabs[c + 1] - kPrintTabs[c]));
                else
                    items.push_back(printline[c]);
            }
            p.print(items);
        }
    });
}

void frmsumm::cmdreturn_Click() {
    unload();
    app_.form("frmsummary").show();
}

}  // namespace vt
