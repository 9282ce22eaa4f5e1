// PAY WINNING BETTOR: one bettor's amounts per finisher and pool, rounded total, PAID and
// ROUNDED PAID.
#include "payoff/frmpay.h"
#include "platform/text.h"
#include "records/payoffsums.h"

namespace vt {

void frmpay::cmdpay_Click() {
    Shared& s = sh();
    Control& lst = control("lstwinners");
    int sel = lst.listindex();
    // Bettor 1 is the anonymous bettor: its slips are worked out on the calculator.
    if (sel >= 0 && lst.itemdata(sel) == 1) {
        app_.form("frmany1").show();
        return;
    }
    control("cmdcalc").setvisible(false);
    for (int i = 0; i < 30; ++i) control("txtpay", i).settext("");
    clearbettorbets(s);
    if (sel < 0) {
        app_.msgbox(
            "Winner name not selected or bettor name not found in bettor file.Check for problem "
            "with Bettor "
            "File at Fix Files",
            vbOKOnly, "Pay winners");
        return;
    }
    // The line's item data names the bettor, so two bettors of one name are paid apart.
    const long b = lst.itemdata(sel);
    const std::string name = lst.list(sel);
    gatherbettorbets(s, b);
    for (int slot = 1; slot <= 10; ++slot)
        for (int t = 1; t <= 3; ++t)
            control("txtpay", slot - 1 + 10 * (t - 1)).settext(moneytext(paidamount(s, slot, t)));
    s.curbettor = name;
    s.curticket = b;

    const Money total = totalpaid(s);
    control("txtwintotal").settext(moneytext(poolpaid(s, 1)));
    control("txtplacetotal").settext(moneytext(poolpaid(s, 2)));
    control("txtshowtotal").settext(moneytext(poolpaid(s, 3)));
    control("txttotaltotal").settext(moneytext(total));
    const Money rounded = roundedpayoff(app_, total);
    showpayment(*this, s, total, rounded, name);
    lst.removeitem(sel);

    // After the last winner the document of payoff sheets printed so far is sent.
    if (s.printswitch != "no" && lst.listcount() == 0) app_.enddoc();
}

}  // namespace vt
