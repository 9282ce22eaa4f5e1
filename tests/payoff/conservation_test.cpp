// Money is never made or lost by either payoff screen: for thousands of generated finishes,
// driven through the screens' controls, money paid (before the payout rounding) + house amount +
// money refunded = money bet, to the cent; every listed winner is paid more than $0; and a
// finish the screen refuses leaves the screen as it was.
#include <cstdlib>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "records/payoffsums.h"
#include "testapp.h"

namespace vt::test {
namespace {

constexpr int kEntries = 12;  // flight 1 holds entries 1..12
constexpr int kBettors = 9;   // bettors 2..9 bet (1 is the anonymous bettor of the calculators)

const char* const kTypes[4] = {"", "win", "place", "show"};

struct GenBet {
    long bettor, entry, type;
    Money amount;
};

// The data files are synced on every write: in memory when the machine has a memory file system.
std::string memorybase() {
    std::error_code ec;
    return std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "";
}

class Conservation : public AppTest {
  protected:
    std::mt19937 rng{20261209};
    TempFolder mem{memorybase()};

    Conservation() {
        app = std::make_unique<App>(AppEnvironment{mem.path(), &dialogs, &printed});
        std::string players;
        for (int e = 1; e <= kEntries; ++e)
            players += std::to_string(e) + ",1,\"\",\"TEAM" + std::to_string(e) + "\"\r\n";
        players += "13,2,\"\",\"OTHER\"\r\n";
        mem.write("Players", players);
        std::string bettors = "1,\"AnyBettor\"\r\n";
        for (int b = 2; b <= kBettors; ++b)
            bettors += std::to_string(b) + ",\"BETTOR" + std::to_string(b) + "\"\r\n";
        mem.write("Bettors", bettors);
        sh().flightnames[1] = "A         ";
        for (int f = 2; f <= 15; ++f)
            sh().flightnames[f] = "F" + std::to_string(f) + std::string(f < 10 ? 8 : 7, ' ');
        sh().roundlabels = {"", "0.01", "0.10", "0.25", "0.50", "1.00"};
        sh().printswitch = "no";
    }
    ~Conservation() override { app.reset(); }  // before its folder goes

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }

    // Bets of several bettors on several entries; each (finisher, type) pair is left unbacked now
    // and then, so every pool and category goes without winning bets in some finishes.
    std::vector<GenBet> genbets(const std::set<long>& finishers) {
        std::vector<GenBet> bets;
        if (chance(0.03)) return bets;
        std::set<std::pair<long, long>> unbacked;
        for (long e : finishers)
            for (long t = 1; t <= 3; ++t)
                if (chance(0.3)) unbacked.insert({e, t});
        const int n = pick(1, 24);
        for (int i = 0; i < n; ++i) {
            long entry = chance(0.6) && !finishers.empty()
                             ? *std::next(finishers.begin(), pick(0, finishers.size() - 1))
                             : pick(1, kEntries);
            long type = pick(1, 3);
            if (unbacked.count({entry, type})) continue;
            Money amount =
                chance(0.7) ? Money::dollars(pick(1, 50)) : Money::units(pick(1, 2000000) * 100);
            if (chance(0.01)) amount = Money::units(Money::maxbetunits);
            bets.push_back({pick(2, kBettors), entry, type, amount});
        }
        return bets;
    }

    Money writebets(const std::vector<GenBet>& bets) {
        std::string text;
        Money total;
        for (const GenBet& b : bets) {
            text += std::to_string(b.bettor) + "," + std::to_string(b.entry) + "," +
                    std::to_string(b.type) + "," + b.amount.tostring() + "\r\n";
            total += b.amount;
        }
        mem.write("Round1 1Bets", text);
        mem.write("Round1 1Betsbackup", text);
        return total;
    }

    std::string housepct() {
        int p = pick(0, 50);
        return chance(0.2) && p < 50 ? std::to_string(p) + ".5" : std::to_string(p);
    }

    // Every control's state, to tell whether a refused finish changed anything.
    static std::string snapshot(Form& f) {
        std::ostringstream out;
        for (Control* c : f.controls()) {
            out << c->name() << c->index() << '|' << c->text() << '|' << c->caption() << '|'
                << c->visible() << '|' << c->enabled() << '|' << c->listindex();
            for (int i = 0; i < c->listcount(); ++i) out << '|' << c->list(i);
            out << '\n';
        }
        return out.str();
    }

    // The boxes shown since `mark`; each must be one the screens give for a finish. They were
    // answered OK (or No to "Print Winners?") as unscripted boxes and are not failures here.
    std::vector<std::string> boxessince(size_t mark, const std::vector<std::string>& allowed) {
        std::vector<std::string> out;
        for (size_t i = mark; i < dialogs.shown.size(); ++i) {
            const std::string& p = dialogs.shown[i].prompt;
            bool ok = false;
            for (const auto& a : allowed) ok = ok || p.find(a) != std::string::npos;
            EXPECT_TRUE(ok) << "unexpected box: " << p;
            out.push_back(p);
        }
        dialogs.failures.clear();
        return out;
    }

    static bool has(const std::vector<std::string>& boxes, const std::string& s) {
        for (const auto& b : boxes)
            if (b.find(s) != std::string::npos) return true;
        return false;
    }

    // Pays every listed winner with PAY WINNER; each payment must be above $0, and then paid
    // before rounding + house + refunds must make the money bet, to the cent.
    void payall(Form& f, Money refund, Money total) {
        Control& list = f.control("lstwinners");
        while (list.listcount() > 0) {
            list.setlistindex(0);
            const Money before = sh().paidtotal;
            const std::string name = list.list(0);
            f.control("cmdpay").click();
            ASSERT_GT(sh().paidtotal, before) << f.name() << ": " << name << " paid nothing";
        }
        const Money diff = sh().paidtotal + refund - total;
        ASSERT_LT(std::llabs(diff.units()), 100)
            << f.name() << ": paid + house + refunds = " << (sh().paidtotal + refund).tostring()
            << " of " << total.tostring() << " bet";
    }

    static std::string describe(const std::vector<GenBet>& bets, const std::string& finish,
                                const std::string& pct) {
        std::ostringstream out;
        out << "finish " << finish << " house " << pct << "% bets:";
        for (const auto& b : bets)
            out << ' ' << b.bettor << ',' << b.entry << ',' << b.type << ',' << b.amount.tostring();
        return out.str();
    }
};

// Bet money of one type.
Money pooltotal(const std::vector<GenBet>& bets, long type) {
    Money m;
    for (const auto& b : bets)
        if (b.type == type) m += b.amount;
    return m;
}

// Position sequences the payoff screen's entry rules accept, and some it refuses at CALCULATE.
std::vector<std::string> frmpaypositions(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<std::string> pos;
    auto add = [&](const char* p, int n) {
        for (int i = 0; i < n; ++i) pos.push_back(p);
    };
    switch (pick(0, 7)) {
        case 0:
            add("1", 1), add("2", 1), add("3", pick(1, 8));
            break;  // ties for third
        case 1:
            add("1", 1), add("2", pick(2, 9));
            break;  // tie for second
        case 2:
            add("1", 2), add("3", pick(1, 8));
            break;  // dead heat for first
        case 3:
            add("1", 2), add("2", pick(1, 8));
            break;
        case 4:
            add("1", pick(3, 10));
            break;  // three or more for first
        case 5:
            add("1", 1), add("3", pick(2, 9));
            break;
        case 6:
            add("2", pick(1, 3)), add("3", pick(1, 3));
            break;  // no WIN finisher
        default:    // refused at CALCULATE
            if (pick(0, 1))
                add("1", pick(1, 2));
            else
                pos = {"2", "1", "3"};
    }
    if (pos.size() > 10) pos.resize(10);
    return pos;
}

TEST_F(Conservation, PayoffScreenConservesEveryDollar) {
    Form& f = app->form("frmpay");
    app->dispatch([&] { f.show(); });
    f.control("optflight", 1).click();
    const std::vector<std::string> allowed = {
        "Less than 3 winners selected",
        "Must enter winners in consecutive boxes",
        "No winning win bets. Allocating all win bets to place bets",
        "No winning place bets. Allocating all place bets to show bets",
        "No winning show bets. Refund all ",
        "No winning win, place, or show bets. Refund all bets."};
    int paid = 0, refunded = 0, refused = 0;
    for (int iter = 0; iter < 2000; ++iter) {
        const std::vector<std::string> positions = frmpaypositions(rng);
        std::vector<long> entries;
        std::set<long> finishers;
        while (finishers.size() < positions.size()) {
            long e = pick(1, kEntries);
            if (finishers.insert(e).second) entries.push_back(e);
        }
        const std::vector<GenBet> bets = genbets(finishers);
        const Money total = writebets(bets);
        const std::string pct = housepct();
        sh().roundingchoice = pick(1, 5);
        std::string finish;
        for (auto& p : positions) finish += p;
        SCOPED_TRACE(describe(bets, finish, pct));

        f.control("cmdclear").click();  // reloads the flight's bets
        f.control("txthousepct").settext(pct);
        for (size_t i = 0; i < positions.size(); ++i) {
            Control& box = f.control("cmbpos", static_cast<int>(i));
            for (int k = 0; k < box.listcount(); ++k)
                if (box.list(k) == positions[i]) box.setlistindex(k);
            Control& pt = f.control("cmbpt", static_cast<int>(i));
            pt.setlistindex(pt.findbydata(entries[i]));
        }
        const bool refuse = positions.size() < 3 || positions[0] > positions[1];
        const std::string before = snapshot(f);
        const size_t mark = dialogs.shown.size();
        f.control("cmdcalc").click();
        const auto boxes = boxessince(mark, allowed);
        if (refuse) {
            ++refused;
            ASSERT_EQ(boxes.size(), 1u);
            ASSERT_EQ(snapshot(f), before) << "a refused finish changed the screen";
            continue;
        }
        if (has(boxes, "Refund all bets.")) {
            ++refunded;
            EXPECT_EQ(f.control("txthousetot").text(), "$0.00");
            EXPECT_FALSE(f.control("cmdpay").visible());
            EXPECT_EQ(f.control("lstwinners").listcount(), 0);
            continue;
        }
        ASSERT_EQ(f.control("txtbet").text(), moneytext(total));
        // The refund message names the bet types whose money goes back.
        Money refund;
        std::smatch m;
        for (const auto& b : boxes)
            if (std::regex_search(b, m, std::regex("Refund all (.*) bets\\.")))
                for (long t = 1; t <= 3; ++t)
                    if (m[1].str().find(kTypes[t]) != std::string::npos)
                        refund += pooltotal(bets, t);
        payall(f, refund, total);
        if (HasFatalFailure()) return;
        ++paid;
    }
    // The generator reaches every outcome.
    EXPECT_GT(paid, 1200);
    EXPECT_GT(refunded, 100);
    EXPECT_GT(refused, 150);
}

// The three-position screen's finishes: clicks of ENTER WINNER, PLACE and SHOW as the buttons'
// own rules allow them, some outside the five finishes the payoffs are worked out for.
TEST_F(Conservation, ThreePositionScreenConservesEveryDollar) {
    Form& f = app->form("frmpaywinners");
    app->dispatch([&] { f.show(); });
    const std::vector<std::string> allowed = {
        "Enter the finishers of every position", "Print Winners?",
        "No winning bets - print a bet summary to refund all bets"};
    const char* buttons[4] = {"", "cmdwinner", "cmdplace", "cmdshow"};
    int paid = 0, refunded = 0, refused = 0;
    std::set<std::string> cases;
    for (int iter = 0; iter < 2000; ++iter) {
        f.control("optflight", 1).click();  // forgets the last race
        // Clicks, each on a visible button; no second WIN finisher after a PLACE finisher.
        Control& list = f.control("lstwinners");
        int count[4] = {0, 0, 0, 0};
        std::set<long> finishers;
        std::string finish;
        const int n = pick(1, 10);
        const int style = pick(0, 4);  // leans the clicks toward each dead heat in turn
        for (int i = 0; i < n; ++i) {
            int pos = i == 0       ? (chance(0.95) ? 1 : pick(2, 3))
                      : style == 0 ? pick(1, 3)
                                   : (style % 3) + 1;
            if (style == 4 && i == 1) pos = 2;
            if (!f.control(buttons[pos]).visible() || (pos == 1 && count[1] >= 1 && count[2] >= 1))
                continue;
            const long e = pick(1, kEntries);
            list.setlistindex(list.findbydata(e));
            f.control(buttons[pos]).click();
            ++count[pos];
            finishers.insert(e);
            finish += std::string(1, "WPS"[pos - 1]) + std::to_string(e) + " ";
        }
        // The bets are read when the payoffs are calculated.
        const std::vector<GenBet> bets = genbets(finishers);
        const Money total = writebets(bets);
        const std::string pct = housepct();
        sh().roundingchoice = pick(1, 5);
        SCOPED_TRACE(describe(bets, finish, pct));
        f.control("txthousepct").settext(pct);
        const int W = count[1], P = count[2], S = count[3];
        const bool payable =
            (W == 1 && P == 1 && S >= 1) || (W == 2 && S > 0) || W > 2 || (W == 1 && P > 1);
        const std::string before = snapshot(f);
        const Money paidbefore = sh().paidtotal;
        const size_t mark = dialogs.shown.size();
        f.control("cmdpayoff").click();
        const auto boxes = boxessince(mark, allowed);
        if (!payable) {
            ++refused;
            ASSERT_EQ(boxes.size(), 1u);
            ASSERT_EQ(snapshot(f), before) << "a refused finish changed the screen";
            ASSERT_EQ(sh().paidtotal, paidbefore);
            continue;
        }
        cases.insert(W == 1 && P == 1 && S == 1 ? "A"
                     : W == 2                   ? "B"
                     : W > 2                    ? "C"
                     : P > 1                    ? "D"
                                                : "E");
        ASSERT_EQ(f.control("txtbet").text(), moneytext(total));
        Money refund;
        if (has(boxes, "No winning bets")) {
            ++refunded;
            refund = total;
            EXPECT_EQ(f.control("lstwinners").listcount(), 0);
        }
        payall(f, refund, total);
        if (HasFatalFailure()) return;
        ++paid;
    }
    EXPECT_EQ(cases.size(), 5u) << "every tie case";
    EXPECT_GT(paid, 1000);
    EXPECT_GT(refunded, 80);
    EXPECT_GT(refused, 400);
}

}  // namespace
}  // namespace vt::test
