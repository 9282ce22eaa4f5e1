// PAY WINNER: pays the selected winning bettor and prints the bettor's payment block.
#include "payoff3/frmpaywinners.h"
#include "platform/text.h"
#include "records/moneytext.h"
#include "records/payoffsums.h"
#include "records/records.h"

namespace vt {

namespace {

struct Category {
    const char* box;
    int col;
};
const Category kCategories[] = {{"txtwinwin", colww},     {"txtwinwin2", colww2},
                                {"txtwinplace", colwp},   {"txtwinshow", colws},
                                {"txtplaceplace", colpp}, {"txtplaceshow", colps},
                                {"txtshowshow", colss}};

}  // namespace

void frmpaywinners::cmdpay_Click() {
    Shared& sh = app_.shared();
    Control& list = control("lstwinners");
    const int sel = list.listindex();
    const std::string name = sel >= 0 ? list.list(sel) : "";
    if (name == "AnyBettor") app_.form("frmany").show();
    // The bettor is the line's bettor number, so two bettors of one name are each paid their own.
    const long b = sel >= 0 ? list.itemdata(sel) : 0;
    if (sel < 0 || b < 1 || b >= static_cast<long>(sh.winningbets.size())) {
        app_.msgbox("Bettor name not found", vbOKOnly, "Pay winners");
        return;
    }
    sh.curbettor = name;
    sh.curticket = b;
    const WinningRow& row = sh.winningbets[b];
    Money paid[9];
    for (const Category& k : kCategories) {
        paid[k.col] = paidincol(row[k.col], payofcol(sh, k.col));
        control(k.box).settext(moneytext(paid[k.col]));
    }
    const Money wintotal = paid[colww] + paid[colww2] + paid[colwp] + paid[colws];
    const Money placetotal = paid[colpp] + paid[colps];
    const Money showtotal = paid[colss];
    const Money total = wintotal + placetotal + showtotal;
    control("txtwintotal").settext(moneytext(wintotal));
    control("txtplacetotal").settext(moneytext(placetotal));
    control("txtshowtotal").settext(moneytext(showtotal));
    control("txttotaltotal").settext(moneytext(total));

    if (sh.printswitch != "no") {
        paydoc_ = true;
        printblock(b, row);
    }
    const Money rounded = roundpayoff(total, sh.roundingchoice);
    sh.payamt = rounded;
    sh.roundval = rounded;
    sh.work1 = rounded;
    showpayment(*this, sh, total, rounded, name);
    control("cmdpayoff").setvisible(false);
    list.removeitem(sel);

    // The last payment ends the document of payment blocks; printing stays as it was set.
    if (list.listcount() == 0) enddoc();
}

void frmpaywinners::printblock(long, const WinningRow& row) {
    Shared& sh = app_.shared();
    Printer& pr = app_.printer();
    if (!pr.docopen()) pr.document = "Payment Blocks";
    pr.fontsize = 8;
    pr.fontname = "MS Sans Serif";
    auto line = [this](const char* list, int i) {
        Control& l = control(list);
        return i < l.listcount() ? l.list(i) : std::string();
    };
    auto bet = [&](int col) { return moneytext(row[col]); };
    auto paid = [&](int col) { return moneytext(paidincol(row[col], payofcol(sh, col))); };
    pr.print({"Winner", Tab(45), "WIN", Tab(65), "PLACE", Tab(85), "SHOW"});
    // The bettor and each finisher stand in the field up to their first tab, drawn narrower when
    // wider, so a long name never pushes its figures onto the next line.
    pr.print({InField(sh.curbettor, 40), Tab(41), "Bet", Tab(51), "Paid", Tab(61), "Bet", Tab(71),
              "Paid", Tab(81), "Bet", Tab(91), "Paid"});
    pr.print({InField(Left(line("lstwinhorse", 0), 30), 40), Tab(41), bet(colww), Tab(51),
              paid(colww), Tab(61), bet(colwp), Tab(71), paid(colwp), Tab(81), bet(colws), Tab(91),
              paid(colws)});
    pr.print({InField(Left(line("lstwinhorse", 1), 30), 40), Tab(41), bet(colww2), Tab(51),
              paid(colww2)});
    pr.print({InField(line("lstplacehorse", 0), 60), Tab(61), bet(colpp), Tab(71), paid(colpp),
              Tab(81), bet(colps), Tab(91), paid(colps)});
    pr.print({InField(line("lstshowhorse", 0), 80), Tab(81), bet(colss), Tab(91), paid(colss)});
    pr.print();
}

}  // namespace vt
