// CALCULATE  PAYOFF: checks, the calculation, the payoff boxes, the winning bettors and the
// payoff sheet of the flight.
#include "payoff3/frmpaywinners.h"
#include "platform/text.h"
#include "records/moneytext.h"
#include "records/payoffprep.h"
#include "records/payoffsums.h"
#include "records/records.h"
#include "records/typedinput.h"

namespace vt {

namespace {

const char* const kSteps[] = {
    "Click on a WINNING BETTOR from the WINNING BETTOR list",
    "Click on PAY WINNER to payoff the selected bettor",
    "Continue until all winning bettors are paid",
    "$BET should = $PAID, plus or minus a few cents because of rounding, when all bettors have "
    "been paid",
    "Click on AnyBettor to bring up a special AnyBettor payoff screen",
};

// Money with at least two whole digits ($05.50), as the sheet prints it.
std::string sheetmoney(Money m) {
    std::string s = moneytext(m);
    size_t d = s.find('$');
    if (d != std::string::npos && d + 2 < s.size() && s[d + 2] == '.') s.insert(d + 1, "0");
    return s;
}

}  // namespace

bool frmpaywinners::calculate(ThreePosCalc& calc, double& pct, double& mult) {
    Shared& sh = app_.shared();
    for (int i = 1; i <= 10; ++i)
        for (const auto* t : {&sh.winhorses, &sh.placehorses, &sh.showhorses})
            if ((*t)[i] < 0 || (*t)[i] > sh.maxplayers) {
                app_.msgbox("Invalid player number. Check Player files at Fix Files", vbOKOnly,
                            "Payoff");
                return false;
            }
    if (sh.curflight.empty()) {
        app_.msgbox("Must select flight first", vbOKOnly, "Payoff");
        return false;
    }
    Money typedpct, typedmult;
    if (!typedhousepct(control("txthousepct").text(), typedpct)) {
        app_.msgbox(kHousePctRefusal, vbOKOnly, "Payoff");
        return false;
    }
    if (!takemultiplier(app_, *this, false, "Payoff", typedmult)) return false;
    pct = typedpct.todouble();
    mult = typedmult.todouble();
    calc.setfinishers(sh.winhorses, sh.placehorses, sh.showhorses);
    // Only the five finishes the payoffs are worked out for: any other would list winners and pay
    // them nothing.
    const int W = calc.W, P = calc.P, S = calc.S;
    if (!((W == 1 && P == 1 && S >= 1) || (W == 2 && S > 0) || W > 2 || (W == 1 && P > 1))) {
        app_.msgbox("Enter the finishers of every position before calculating payoffs", vbOKOnly,
                    "Payoff");
        return false;
    }

    // The pools and the bets of the chosen round and flight, read afresh and whole.
    if (!readpools(app_)) return false;
    for (long i = 1; i < sh.betcount; ++i) {
        const Bet& bet = sh.bets(i);
        calc.addbet(bet.bettor, bet.entry, bet.type, bet.amount);
    }
    const BettorLookup bettors(sh);
    for (const auto& [b, row] : calc.winning)
        if (haswinnings(row) && (b < 1 || b > sh.maxbettors || !bettors.find(b))) {
            app_.msgbox("Bad bettor number - use Fix Files to check bet and bettor files");
            return false;
        }

    const SummRow& totals = sh.summ(sh.maxplayers + 1);
    calc.winpool = totals.win;
    calc.placepool = totals.place;
    calc.showpool = totals.show;
    calc.computepayoffs(pct);
    return true;
}

void frmpaywinners::cmdpayoff_Click() {
    Shared& sh = app_.shared();
    ThreePosCalc calc;
    double pct = 0, mult = 2;
    if (!calculate(calc, pct, mult)) return;

    control("cmdpay").setvisible(true);
    for (auto* n : {"cmdpayoff", "cmdwinner", "cmdplace", "cmdshow", "txtwinwin2"})
        control(n).setvisible(false);
    control("lbllist").setcaption("WINNING BETTORS");
    sh.crlf = "\r\n\r\n";
    std::string text;
    for (auto* line : kSteps) text += (text.empty() ? "" : sh.crlf) + std::string(line);
    control("lblinstructions").setcaption(text);

    sh.placehorses = calc.place;
    sh.showhorses = calc.show;
    for (auto& row : sh.winningbets) row = {};
    for (const auto& [b, row] : calc.winning) {
        if (b < 1 || b >= static_cast<long>(sh.winningbets.size())) continue;
        sh.winningbets[b] = row;
    }
    const SummRow& totals = sh.summ(sh.maxplayers + 1);
    // The house keeps its share of the pools that pay; when nothing pays, every bet is refunded.
    const Money house =
        calc.nowinningbets ? Money() : (totals.win + totals.place + totals.show).times(pct / 100);
    sh.winpool = calc.winpool;
    sh.placepool = calc.placepool;
    sh.showpool = calc.showpool;
    if (calc.nowinningbets) app_.msgbox("No winning bets - print a bet summary to refund all bets");

    // Outside payoffs typed in stay in force; the second winner's payoff is always worked out.
    const bool outside = control("cmdusing").visible();
    for (int col = colww; col <= colww2; ++col)
        if (!outside || col == colww2) payofcol(sh, col) = calc.pay[col];
    showpayoffs(calc, mult);

    for (auto* n : {"txtwintotal", "txtplacetotal", "txtshowtotal", "txttotaltotal",
                    "txtwinnername", "txttotalr", "lblround", "lblrfactor", "txtfactor"})
        control(n).setvisible(false);
    control("cmdpay").setvisible(true);
    control("txtbet").settext(moneytext(totals.total));
    control("txtpaid").settext(moneytext(house));
    sh.paidtotal = house;
    sh.roundedpaid = roundpayoff(house, sh.roundingchoice);
    sh.roundval = sh.roundedpaid;
    sh.payamt = sh.roundedpaid;
    control("txtrounded").settext(Str(sh.roundedpaid));
    control("txthousetot").settext(Str(sh.roundedpaid));

    listwinners();
    if (app_.msgbox("Print Winners?", vbYesNo, "Payoff") != vbYes) return;
    app_.setprintswitch("yes");
    printsheet(mult);
    for (auto* n : {"cmdwinner", "cmdplace", "cmdshow", "cmdpayoff", "lblpaywinner", "lbltotal"})
        control(n).setvisible(false);
}

void frmpaywinners::showpayoffs(const ThreePosCalc& calc, double mult) {
    Shared& sh = app_.shared();
    const std::pair<const char*, int> boxes[] = {{"txtwinwin", colww},     {"txtwinwin2", colww2},
                                                 {"txtwinplace", colwp},   {"txtwinshow", colws},
                                                 {"txtplaceplace", colpp}, {"txtplaceshow", colps},
                                                 {"txtshowshow", colss}};
    const bool outside = control("cmdusing").visible();
    for (const auto& [name, col] : boxes)
        if (!outside || col == colww2) control(name).settext(moneytext(mult * payofcol(sh, col)));
    control("txtwinwin2").setvisible(calc.ww[2] > Money());
}

void frmpaywinners::listwinners() {
    Shared& sh = app_.shared();
    Control& list = control("lstwinners");
    list.clear();
    const BettorLookup bettors(sh);
    for (long b = 1; b < static_cast<long>(sh.winningbets.size()); ++b) {
        if (!haswinnings(sh.winningbets[b])) continue;
        const Bettor* who = bettors.find(b);
        list.additem(who ? who->name : "");
        list.setitemdata(list.newindex(), b);
    }
}

void frmpaywinners::printsheet(double mult) {
    Shared& sh = app_.shared();
    Printer& pr = app_.printer();
    pr.fontsize = 8;
    pr.fontname = "MS Sans Serif";
    DocGuard doc(pr, "Payoffs");
    auto m = [&](int col) { return Format(mult * payofcol(sh, col), "$#,##0.00"); };
    pr.print({sh.curround + " Flight " + sh.curflight + " Payoffs"});
    pr.print({" "});
    pr.print({"Player/Team", Tab(42), "$WIN", Tab(52), "$PLACE", Tab(62), "$SHOW"});
    pr.print({" "});
    // A finisher or winner before a tab stands in the field up to it, drawn narrower when wider,
    // so a long name never pushes its figures onto the next line.
    Control& wins = control("lstwinhorse");
    for (int i = 0; i < wins.listcount(); ++i) {
        if (i == 0)
            pr.print({InField("1. " + wins.list(i), 41), Tab(42), m(colww), Tab(52), m(colwp),
                      Tab(62), m(colws)});
        else if (i == 1)
            pr.print({InField("    " + wins.list(i), 41), Tab(42), m(colww2)});
        else
            pr.print({"    " + wins.list(i)});
    }
    pr.print({" "});
    Control& places = control("lstplacehorse");
    for (int i = 0; i < places.listcount(); ++i) {
        if (i == 0)
            pr.print({InField("2. " + places.list(i), 51), Tab(52), m(colpp), Tab(62), m(colps)});
        else
            pr.print({"    " + places.list(i)});
    }
    pr.print({" "});
    Control& shows = control("lstshowhorse");
    for (int i = 0; i < shows.listcount(); ++i)
        if (i == 0)
            pr.print({InField("3. " + shows.list(i), 61), Tab(62), m(colss)});
        else
            pr.print({"    " + shows.list(i)});
    pr.print({" "});
    pr.print({"WINNER", Tab(42), "AMOUNT", Tab(52), "ROUNDED"});
    pr.print({" "});
    const std::string namecol = "!@@@@@@@@@@@@@@@";
    pr.print({InField(Format(std::string("House"), namecol), 41), Tab(42), sheetmoney(sh.paidtotal),
              Tab(52), sheetmoney(sh.roundedpaid)});
    Money paid = sh.paidtotal, rounded;
    const BettorLookup bettors(sh);
    for (long b = 1; b < static_cast<long>(sh.winningbets.size()); ++b) {
        if (!haswinnings(sh.winningbets[b])) continue;
        const Bettor* who = bettors.find(b);
        Money payout = bettorpayout(sh, sh.winningbets[b]);
        Money r = roundpayoff(payout, sh.roundingchoice);
        pr.print({InField(Format(who ? who->name : std::string(), namecol), 41), Tab(42),
                  sheetmoney(payout), Tab(52), sheetmoney(r)});
        paid += payout;
        rounded += r;
    }
    rounded += shownamount(control("txthousetot").text());
    sh.work2 = rounded;
    pr.print({" "});
    pr.print({"TOTAL BET", Zone(), "TOTAL PAID", Zone(), "TOTAL ROUNDED PAID"});
    pr.print({control("txtbet").text(), Zone(), moneytext(paid), Zone(), moneytext(rounded)});
}

}  // namespace vt
