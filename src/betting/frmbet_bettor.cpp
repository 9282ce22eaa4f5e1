// The betting screen's bettor: typed or picked, a new name made a bettor, the prior bets listed.
#include "betting/betfiles.h"
#include "betting/bettorentry.h"
#include "betting/buildboard.h"
#include "betting/frmbet.h"
#include "platform/text.h"
#include "records/filelines.h"
#include "records/records.h"

namespace vt {

namespace {

const char* const kDivider = "----------NEW BETS--------------";

}  // namespace

// Refills the bettor box from the bettors table, each name with its bettor number.
void frmbet::fillbettors() {
    Control& cbo = control("cbobettor");
    std::string keep = cbo.text();
    cbo.clear();
    for (long i = 1; i <= sh_.maxbettors; ++i) {
        const Bettor& b = sh_.bettors(i);
        if (b.name.empty()) break;
        cbo.additem(b.name);
        cbo.setitemdata(cbo.newindex(), b.number);
    }
    quiet_ = true;
    cbo.settext(keep);
    quiet_ = false;
}

// Shows the current bettor in the bettor boxes again (after a refusal).
void frmbet::showcurrentbettor() {
    quiet_ = true;
    control("cbobettor").settext(control("txtbettor").text());
    quiet_ = false;
}

void frmbet::cbobettor_KeyPress(int& key) {
    if (quiet_ || key != vbKeyReturn) return;
    Control& cbo = control("cbobettor");
    if (cbo.text().empty()) return;
    key = 0;
    if (unpaid()) {
        showcurrentbettor();
        return;
    }
    std::string text = ucase(cbo.text());
    cbo.settext(text);
    readbettors(app_);
    if (long found = findbettor(sh_, text)) {
        sh_.curticket = sh_.bettors(found).number;
        sh_.curbettor = sh_.bettors(found).name;
    } else if (long ticket = addbettor(app_, text, "Bet")) {
        sh_.curticket = ticket;
        sh_.curbettor = text;
        fillbettors();
    } else {
        return;
    }
    quiet_ = true;
    cbo.settext(sh_.curbettor);
    quiet_ = false;
    listbettor();
}

void frmbet::cbobettor_Click() {
    Control& cbo = control("cbobettor");
    const int i = cbo.listindex();
    if (quiet_ || i < 0) return;
    if (unpaid()) {
        showcurrentbettor();
        return;
    }
    long number = cbo.itemdata(i);
    if (const Bettor* who = BettorLookup(sh_).find(number)) {
        sh_.curticket = number;
        sh_.curbettor = who->name;
        listbettor();
    }
}

// One line of the bet list: flight label, name in 20 places, amount and position.
std::vector<PItem> frmbet::betline(long flight, const std::string& name, Money amount,
                                   const std::string& wps) const {
    return {InField(sh_.flightnames[flight]),
            InField(Format(Left(name, 20), "!@@@@@@@@@@@@@@@@@@@")),
            " $" + Format(amount, "#00.00") + " " + wps};
}

// Starts the bettor's turn: empties the new bets and lists the bettor's bets of the round from
// all 15 flights, then the divider under which the new bets follow.
void frmbet::listbettor() {
    clearlist();
    control("txthorse").settext(" ");
    control("txtwps").settext(" ");
    control("txttotalprior").settext("0");
    sh_.priortotal = Money{};
    control("txttotal").settext("0");
    sh_.newtotal = Money{};
    control("txtamount").settext("0");
    control("cmdpay").setvisible(false);
    for (auto& b : sh_.newbets.rows) b = Bet{};
    control("txtbettor").settext(sh_.curbettor);
    sh_.betrow = 1;
    const char* letters[4] = {"", "W", "P", "S"};
    bool whole = eachpriorbet(
        "Bad Player number in a bet record - use 'Fix File' to examine bet records",
        [&](long f, const Bet& bet, const Entry& e) {
            std::string letter = bet.type >= 1 && bet.type <= 3 ? letters[bet.type] : "";
            addlistline(betline(e.flight, e.name, bet.amount, letter), f, bet);
        });
    if (!whole) return;
    addlistline({kDivider}, 0, Bet{});
}

}  // namespace vt

namespace vt {

void frmbet::clearlist() {
    control("lstbetsprior").clear();
    betflight.clear();
    betprint.clear();
}

// A line of the bet list with the bet it stands for and the flight whose file holds it. The list
// shows the items' texts joined; each field holds as many characters as its places.
void frmbet::addlistline(const std::vector<PItem>& line, long flight, const Bet& bet) {
    std::string text;
    for (const PItem& item : line) text += item.text;
    control("lstbetsprior").additem(text);
    betflight.push_back(flight);
    betprint.push_back(line);
    if (sh_.betrow >= 1 && sh_.betrow <= sh_.maxbets) sh_.newbets(sh_.betrow) = bet;
    ++sh_.betrow;
}

// Runs fn over the current bettor's bets of the round, flight by flight in file order, adding
// each to the prior total. Each flight is summed as the screens expect, and its file is read line
// by line for the listing, so another bettor's bad record hides nothing; a bet of this bettor's
// that names an entry no row holds, or does not read whole, stops the listing with the message.
bool frmbet::eachpriorbet(const std::string& badmessage,
                          const std::function<void(long, const Bet&, const Entry&)>& fn) {
    for (long f = 1; f <= nflights; ++f) {
        sh_.curflight = sh_.flightnames[f];
        sh_.curflightnbr = f;
        const Outcome summed = sumbets(app_);
        // The file as the sum just read it: kept, not read again.
        std::shared_ptr<const BetsLines> file = std::make_shared<BetsLines>();
        try {
            std::string path = sh_.betsfile(sh_.curround, f);
            if (app_.files().exists(path))
                file = static_cast<Context&>(app_).betscache().get(app_.files(), path);
        } catch (const FileError& e) {
            sh_.fileop = "Bets Input";
            if (!summed.shown) app_.fileerrorbox(e);  // the sum may have told of it
            return false;
        }
        // The lines the sum could load: a file fuller than the table lists its first bets only.
        for (size_t n = 0; n < file->lines.size() && static_cast<long>(n) < sh_.maxbets; ++n) {
            const BetsLine& line = file->lines[n];
            const LineBet& b = line.asbet;
            if (!b.hasbettor || b.bet.bettor != sh_.curticket) continue;
            if (!line.readable || !b.whole) {
                // This bettor's line does not read as a bet: the file is told of (once per click)
                // and the listing stops there.
                sh_.dataerror = 1;
                sh_.fileop = "Bets Input";
                app_.fileerrorbox(file->bad.at(n));
                showdataerror();
                return false;
            }
            long k = entryrow(sh_, b.bet.entry);
            if (b.bet.amount == Money{}) break;
            if (!k) {
                sh_.dataerror = 1;
                app_.msgbox(badmessage, vbOKOnly, "Player select");
                showdataerror();
                return false;
            }
            sh_.selrow = k;
            fn(f, b.bet, sh_.entries(k));
            sh_.priortotal += b.bet.amount;
            control("txttotalprior").settext(Format(sh_.priortotal, "$#,##0.00"));
        }
    }
    return true;
}

}  // namespace vt
