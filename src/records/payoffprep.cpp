#include "records/payoffprep.h"

#include "platform/text.h"
#include "records/host.h"
#include "records/records.h"
#include "records/typedinput.h"

namespace vt {

const char* const kNotice = "Vantrope - pari-mutuel pools for golf events";
const char* const kIncompletePools =
    "A bet or player/team record could not be read, so the pools are incomplete. Check the files "
    "at Fix Files "
    "before calculating payoffs";

bool readpools(Host& app) {
    Shared& sh = app.shared();
    sh.dataerror = 0;
    // Players first, so every bet is matched against the current entries; all three are read
    // whatever the others did, as the screens show what was read.
    const Outcome read[] = {readentries(app), readbettors(app), sumbets(app)};
    for (const Outcome& r : read)
        if (r.shown) return false;
    // Payoffs are never worked out on part of a pool.
    if (!read[0] || !read[1] || !read[2] || !sh.entriescomplete || !sh.betscomplete) {
        app.msgbox(kIncompletePools);
        return false;
    }
    return true;
}

namespace {

const char* const kInstructions[] = {
    "Click on a Round and Flight",
    "Enter house %(optional) - e.g. enter 10 for 10 percent and press enter",
    "Enter positions to be paid first before entering names. Then enter winner names from the drop "
    "down list in "
    "sequence by 1st, 2nd, 3rd up to 10 total.",
    "Enter 2 teams tied for first as 1,1,3",
    "Total winners would normally equal three.",
    "In the case of ties total winners can exceed 3 if you start entering winners for a position "
    "and the total "
    "winners to that point are less than 3.",
    "Then click 'CALCULATE PAYOFF'",
    "Click on a winning bettor name and click Pay Winning Bettor to display payoff results for "
    "this bettor.",
    "Click Clear All Winners to start over on winner entry",
    "After running Calculate Payoff click Print Options to display a sortable winner list and to "
    "print winner "
    "detail",
};

void sethidden(Form& f, std::initializer_list<const char*> names) {
    for (auto* n : names) f.control(n).setvisible(false);
}

}  // namespace

bool takemultiplier(Host& app, Form& screen, bool atenter, const std::string& title, Money& mult) {
    Control& box = screen.control("txtmult");
    const std::string text = box.text();
    if (typedmultiplier(text, mult)) {
        if (atenter) app.msgbox("Payoff multiplier set to " + text);
        screen.control("txtbamt").settext("$" + text);
        return true;
    }
    Money ignored;
    const bool number = Money::parse(text, ignored);
    box.settext("2");
    screen.control("txtbamt").settext("$2");
    if (!atenter || !number)
        app.msgbox("Payoff multiplier must be a number from 1 to 10", vbOKOnly, title);
    return false;
}

void resetpayform(Host& app) {
    Form& f = app.form("frmpay");
    Shared& sh = app.shared();
    f.control("lblcopyr").setcaption(kNotice);
    f.control("txtbanner").settext(sh.banner);
    sh.crlf = "\r\n\r\n";
    std::string text;
    for (auto* line : kInstructions) text += (text.empty() ? "" : sh.crlf) + std::string(line);
    f.control("lblinstructions").setcaption(text);
    f.control("lstwinners").clear();
    sethidden(f, {"cmdpay", "cmdprtsumm"});
    for (auto* n : {"txtbet", "txthousetot", "txtpaid", "txtwintotal", "txtplacetotal",
                    "txtshowtotal", "txttotaltotal"})
        f.control(n).settext("0");
    f.control("txtwinnername").settext("");
    sh.paidtotal = Money();
    readbettors(app);
    // The bets are summed against the entries as they stand in the Players file: a table not
    // read yet would make every bet look like a bet on an unknown entry.
    readentries(app);
    resetsumm(sh);
    for (int i = 0; i < 10; ++i) f.control("cmbpt", i).clear();
    sumbets(app);
    // The flight's Bets file is made present (opening it to append creates it when missing).
    sh.fileop = "Bets Append";
    Transaction tx(app.files(), sh.fileop);
    try {
        app.files().append(sh.betsfile(sh.curround, sh.curflightnbr), "");
    } catch (const FileError& e) {
        app.fileerrorbox(e);
        return;
    }
    if (!app.commit(tx)) return;
    sethidden(f, {"cmdpay", "txtwintotal", "txtplacetotal", "txtshowtotal", "txttotaltotal",
                  "txtwinnername", "lblpaywinner", "lbltotal"});
}

void fillwinnercombos(Host& app) {
    Form& f = app.form("frmpay");
    Shared& sh = app.shared();
    sh.curticket = 0;
    sh.curbettor.clear();
    readentries(app);
    for (int i = 0; i < 10; ++i) f.control("cmbpt", i).clear();
    for (long k = 1; k <= sh.maxplayers && k <= static_cast<long>(sh.entries.size()); ++k) {
        const Entry& e = sh.entries(k);
        if (e.name.empty()) break;
        if (!isflight(e.flight)) continue;
        const std::string& label = sh.flightnames[e.flight];
        if (!equalsnocase(label, sh.curflight)) continue;
        for (int i = 0; i < 10; ++i) {
            Control& c = f.control("cmbpt", i);
            c.additem(label + e.name);
            c.setitemdata(c.newindex(), e.number);
        }
    }
}

}  // namespace vt
