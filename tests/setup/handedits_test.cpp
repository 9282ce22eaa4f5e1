// Bets files edited by hand, identity files lost, and bets refunded, on two and three computers:
// an edit loses only the identities it touched, a deletion removes only the bet it names, and
// every bet that what it holds alone decided is named in the import's last box.
#include <filesystem>

#include "computers.h"

namespace vt::test {
namespace {

const char* const kTwo = "1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n3,\"BROWN-AL\"\r\n";

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class HandEdits : public ::testing::Test {
  protected:
    Drive e{"E"};
    static void carry(Computer& from, Computer& to) {
        from.exportto("E");
        to.importfrom("E");
    }
    // The pair of a flight of the first round written by hand, both files alike.
    static void edit(Computer& pc, long flight, const std::string& bytes) {
        std::string name = "Round1 " + std::to_string(flight) + "Bets";
        pc.folder.write(name, bytes);
        pc.folder.write(name + "backup", bytes);
    }
    // The first prior bet of a bettor deleted at the betting screen: refunded.
    static void refund(Computer& pc, const std::string& bettor, const std::string& amount) {
        Form& bet = pc.app->form("frmbet");
        bet.show();
        Control& cbo = bet.control("cbobettor");
        for (int i = 0; i < cbo.listcount(); ++i)
            if (cbo.list(i) == bettor) cbo.setlistindex(i);
        bet.control("lstbetsprior").setlistindex(0);
        pc.dialogs.answer(vbYes, "Delete ").ok("Refund " + bettor + " " + amount);
        bet.control("cmdclear").click();
        bet.unload();
    }
    static std::string win(const Computer& pc) {
        auto p = pools(pc);
        return p.count("Round1 1Bets WIN") ? p["Round1 1Bets WIN"] : "0.00";
    }
};

// A ticket refunded on A, the same bet taken for real on B, and a correction by hand on B: the
// correction does not make B's other bet unvouched, so content decides nothing; A keeps B's bet
// (naming it beside its own refund) and B removes nothing.
TEST_F(HandEdits, OneCorrectionByHandLeavesTheOtherBetsOfItsFileTheirIdentities) {
    Computer a(kTwo), b(kTwo);
    a.take("Round1", 1, Bet{2, 1, 1, Money::dollars(5)});
    refund(a, "SMITH-JO", "$5.00");
    EXPECT_EQ(win(a), "0.00");
    b.take("Round1", 1, Bet{2, 1, 1, Money::dollars(5)});
    b.take("Round1", 1, Bet{3, 1, 1, Money::dollars(3)});
    edit(b, 1, "2,1,1,5\r\n3,1,1,4\r\n");  // BROWN-AL's $3 corrected to $4
    size_t printed = b.printed.docs.size();

    carry(b, a);
    EXPECT_EQ(heldbets(a), (std::multiset<std::string>{"Round1 1Bets BROWN-AL 1/1 4.00",
                                                       "Round1 1Bets SMITH-JO 1/1 5.00"}));
    EXPECT_TRUE(has(a.told(), "Bets added: 2\r\nBets already here: 0\r\nBettors")) << a.told();
    EXPECT_FALSE(has(a.told(), "not imported")) << a.told();
    EXPECT_TRUE(has(a.told(),
                    "was deleted (check that it is not the deleted ticket):\r\n"
                    "SMITH-JO, Round1 flight 1, ADAMS, WIN $5.00"))
        << a.told();

    carry(a, b);
    EXPECT_EQ(heldbets(b), heldbets(a));
    EXPECT_FALSE(has(b.told(), "removed here")) << b.told();
    EXPECT_TRUE(has(b.told(), "Bets added: 0\r\nBets already here: 2\r\n")) << b.told();
    EXPECT_EQ(b.printed.docs.size(), printed);  // no refund printed on B
}

// Two equal bets taken independently are two bets, also where a correction by hand on one
// computer left one bet of its file unvouched: $20 taken, $20 on each computer.
TEST_F(HandEdits, EqualBetsTakenOnTwoComputersStayTwoBesideACorrection) {
    Computer a(kTwo), b(kTwo);
    a.take("Round1", 1, Bet{2, 1, 1, Money::dollars(5)});
    a.take("Round1", 1, Bet{3, 2, 1, Money::dollars(3)});
    edit(a, 1, "2,1,1,5\r\n3,2,1,4\r\n");
    b.take("Round1", 1, Bet{2, 1, 1, Money::dollars(5)});
    b.take("Round1", 1, Bet{2, 1, 1, Money::dollars(6)});
    carry(b, a);
    EXPECT_FALSE(has(a.told(), "matched")) << a.told();
    carry(a, b);
    EXPECT_FALSE(has(b.told(), "matched")) << b.told();
    EXPECT_EQ(win(a), "20.00");
    EXPECT_EQ(win(b), "20.00");
    EXPECT_EQ(heldbets(a), heldbets(b));
}

// Three computers in step; then a line taken out by hand on A (a refund), a paper ticket added by
// hand on B, and $3 corrected to $4 by hand on C. Two full rounds of exchanges: each edit
// travels, and every computer holds the $15 taken and not refunded.
TEST_F(HandEdits, ThreeEditsByHandOnThreeComputersTravelTogether) {
    Computer a(kTwo), b(kTwo), c(kTwo);
    a.take("Round1", 1, Bet{2, 1, 1, Money::dollars(5)});
    a.take("Round1", 1, Bet{3, 2, 1, Money::dollars(3)});
    a.take("Round1", 1, Bet{2, 2, 3, Money::dollars(2)});
    b.take("Round1", 1, Bet{3, 1, 1, Money::dollars(6)});
    std::vector<std::pair<Computer*, Computer*>> mesh = {{&a, &b}, {&b, &c}, {&c, &a},
                                                         {&b, &a}, {&c, &b}, {&a, &c}};
    for (auto [from, to] : mesh) carry(*from, *to);
    for (const Computer* pc : {&a, &b, &c}) ASSERT_EQ(pools(*pc), pools(a));
    const std::string all = a.read("Round1 1Bets");
    ASSERT_EQ(all, "2,1,1,5\r\n3,2,1,3\r\n2,2,3,2\r\n3,1,1,6\r\n");

    edit(a, 1, "2,1,1,5\r\n3,2,1,3\r\n3,1,1,6\r\n");             // the $2 SHOW refunded
    edit(b, 1, all + "2,2,1,1\r\n");                             // a $1 paper ticket
    edit(c, 1, "2,1,1,5\r\n3,2,1,4\r\n2,2,3,2\r\n3,1,1,6\r\n");  // $3 corrected to $4
    for (int round = 0; round < 2; ++round)
        for (auto [from, to] : mesh) carry(*from, *to);
    const std::multiset<std::string> expected = {
        "Round1 1Bets BROWN-AL 1/1 6.00", "Round1 1Bets BROWN-AL 2/1 4.00",
        "Round1 1Bets SMITH-JO 1/1 5.00", "Round1 1Bets SMITH-JO 2/1 1.00"};
    for (const Computer* pc : {&a, &b, &c}) {
        EXPECT_EQ(heldbets(*pc), expected);
        EXPECT_EQ(win(*pc), "16.00");
        EXPECT_EQ(pools(*pc).count("Round1 1Bets SHOW"), 0u);
    }
}

// A computer set up from a folder copied without its hidden files refunds one of the copied
// bets; another computer holds two equal bets of its own. After exchanges both ways the two hold
// the same bets, none of the two equal bets was taken as the refunded one, and each bet the
// refund's deletion could not settle is named on both computers.
TEST_F(HandEdits, ACopyWithoutHiddenFilesAndTwoEqualBetsElsewhereEndAlike) {
    Computer a(kTwo);
    a.take("Round1", 1, Bet{2, 1, 1, Money::dollars(2)});
    a.take("Round1", 1, Bet{3, 2, 1, Money::dollars(1)});
    Computer c(Computer::CopyOf{a, false});
    refund(c, "SMITH-JO", "$2.00");
    Computer b(kTwo);
    b.take("Round1", 1, Bet{2, 1, 1, Money::dollars(2)});
    b.take("Round1", 1, Bet{2, 1, 1, Money::dollars(2)});

    carry(c, b);
    EXPECT_FALSE(has(b.told(), "removed here")) << b.told();
    // The refund's bet held what B's two hold: both kept, both named.
    EXPECT_TRUE(has(b.told(),
                    "ticket):\r\nSMITH-JO, Round1 flight 1, ADAMS, WIN $2.00\r\n"
                    "SMITH-JO, Round1 flight 1, ADAMS, WIN $2.00"))
        << b.told();
    carry(b, c);
    EXPECT_EQ(heldbets(b), heldbets(c));
    EXPECT_EQ(win(b), "5.00");  // B's two, and A's $1 that C holds
    EXPECT_TRUE(has(c.told(), "SMITH-JO, Round1 flight 1, ADAMS, WIN $2.00")) << c.told();
    // A's own $2, never refunded where A knew it, reaches both with its name.
    carry(a, c);
    carry(c, b);
    EXPECT_EQ(heldbets(b), heldbets(c));
    EXPECT_EQ(win(c), "7.00");
}

// An empty stick, or one without the set's Bettors file, is refused naming that file, and a bettor
// brought back by his new bets is named with the player or team of each bet and takes his place
// in number order in the Bettors file.
TEST_F(HandEdits, AnEmptyStickAndABettorBroughtBackAreToldPlainly) {
    Computer a(kTwo);
    a.dialogs.type("E", "Enter import drive letter")
        .ok("Insert export disk")
        .ok("E:\\Bettors is not there: the drive holds no set exported from another computer");
    a.clickimport();
    EXPECT_TRUE(has(a.told(), "Nothing was imported.")) << a.told();

    Computer b(kTwo);
    carry(a, b);
    a.deletebettor("SMITH-JO");
    a.addbettor("KING-ED");
    b.take("Round1", 2, Bet{2, 3, 2, Money::dollars(7)});
    carry(b, a);
    EXPECT_TRUE(has(a.told(),
                    "SMITH-JO, deleted here, is back as bettor 2 with new bets: "
                    "Round1 flight 2, CARTER, PLACE $7.00"))
        << a.told();
    EXPECT_EQ(a.read("Bettors"),
              "1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n3,\"BROWN-AL\"\r\n4,\"KING-ED\"\r\n");
}

}  // namespace
}  // namespace vt::test
