// The origins kept beside the Bets and Bettors files follow every write of them.
#include "records/origins.h"

#include <cstdio>
#include <set>

#include "records/records.h"
#include "recordstest.h"

namespace vt::test {
namespace {

class Origins : public RecordsTest {
  protected:
    void SetUp() override {
        keeporigins(runtime.files());
        sh().curround = "Round2";
        sh().curflightnbr = 4;
        sh().curflight = "D -       ";
        folder.write("Players", "1,4,\"\",\"ONE\"\r\n2,4,\"\",\"TWO\"\r\n");
        folder.write("Bettors", "1,\"AnyBettor\"\r\n");
        readentries(cx);
    }
    // The identities the sidecar of a file gives its lines, in order.
    std::vector<std::string> ids(const std::string& name) {
        std::vector<std::string> out;
        if (!folder.exists("." + name + ".ids")) return out;
        std::string text = folder.read("." + name + ".ids");
        for (size_t pos = 0; pos < text.size();) {
            size_t eol = text.find("\r\n", pos);
            std::string line = text.substr(pos, eol - pos);
            out.push_back(line.substr(line.find(' ') + 1));
            pos = eol + 2;
        }
        return out;
    }
    void append(const std::string& records) {
        Transaction tx(cx.files());
        cx.files().append("C:\\Vantrope\\Round2 4Bets", records);
        cx.files().append("C:\\Vantrope\\Round2 4Betsbackup", records);
        tx.commit();
    }
};

TEST_F(Origins, EveryRewriteKeepsEachRemainingLinesIdentity) {
    append("1,1,1,2\r\n1,1,1,2\r\n1,2,3,5\r\n");
    auto first = ids("Round2 4Bets");
    ASSERT_EQ(first.size(), 3u);
    EXPECT_NE(first[0], first[1]);  // two equal bets are two bets
    EXPECT_EQ(ids("Round2 4Betsbackup"), first);
    EXPECT_EQ(first[0].substr(0, 17), folder.read(".computer").substr(0, 16) + "-");

    // A bet deleted: the others keep theirs.
    loadbets(cx);
    sh().dropbet = 2;
    writebets(cx);
    EXPECT_EQ(ids("Round2 4Bets"), (std::vector<std::string>{first[0], first[2]}));
    EXPECT_EQ(ids("Round2 4Betsbackup"), ids("Round2 4Bets"));

    // A line changed by hand is a new bet; a line rewritten in another form is not.
    folder.write("Round2 4Bets", "1,1,1,2.00\r\n1,2,3,6\r\n");
    append("2,1,1,1\r\n");
    auto now = ids("Round2 4Bets");
    ASSERT_EQ(now.size(), 3u);
    EXPECT_EQ(now[0], first[0]);
    EXPECT_NE(now[1], first[2]);
    EXPECT_EQ(ids("Round2 4Betsbackup")[2], now[2]);

    // Bets restored from the backup take the backup's identities back.
    folder.write("Round2 4Bets", "");
    std::remove(folder.file(".Round2 4Bets.ids").c_str());
    dialogs.answer(vbYes, "Bets with Betsbackup").ok("Bet file replaced").answer(vbNo).answer(vbNo);
    restorebackups(cx);
    EXPECT_EQ(ids("Round2 4Bets"), ids("Round2 4Betsbackup"));

    // Cleared: nothing is kept beside an empty pair.
    dialogs.answer(vbYes, "Click Yes to clear").answer(vbNo, "Print refunds?").ok("Bets Cleared");
    clearflightbets(cx);
    EXPECT_FALSE(folder.exists(".Round2 4Bets.ids"));
    EXPECT_FALSE(folder.exists(".Round2 4Betsbackup.ids"));
}

TEST_F(Origins, LinesFarFromWhereTheyWereAndEqualLinesKeepTheirOwnIdentities) {
    // Forty bets, four of them equal, then a rewrite that drops a run of twelve and moves the
    // last line to the front (the dropped lines' identities go).
    std::string records;
    for (int b = 1; b <= 40; ++b)
        records += b % 10 == 5 ? "7,1,1,2\r\n" : std::to_string(b) + ",2,1,3\r\n";
    append(records);
    auto before = ids("Round2 4Bets");
    ASSERT_EQ(before.size(), 40u);
    std::vector<std::string> lines;
    for (size_t pos = 0; pos < records.size(); pos = records.find('\n', pos) + 1)
        lines.push_back(records.substr(pos, records.find('\n', pos) + 1 - pos));
    std::string kept = lines[39];
    std::vector<std::string> expected{before[39]};
    for (size_t i = 0; i < 39; ++i)
        if (i < 14 || i >= 26) kept += lines[i], expected.push_back(before[i]);
    auto rewrite = [&](const std::string& bytes) {
        Transaction tx(cx.files());
        cx.files().replacefile("C:\\Vantrope\\Round2 4Bets", bytes);
        tx.commit();
    };
    rewrite(kept);
    EXPECT_EQ(ids("Round2 4Bets"), expected);

    // The same lines in reverse order: every line is looked for away from where it was. The
    // equal ones take the identities of their text in the order the file had them.
    std::vector<std::string> now;
    for (size_t pos = 0; pos < kept.size(); pos = kept.find('\n', pos) + 1)
        now.push_back(kept.substr(pos, kept.find('\n', pos) + 1 - pos));
    std::vector<std::string> equal;
    for (size_t i = 0; i < now.size(); ++i)
        if (now[i] == "7,1,1,2\r\n") equal.push_back(expected[i]);
    std::string reversed;
    std::vector<std::string> back;
    for (size_t i = now.size(), e = 0; i-- > 0;) {
        reversed += now[i];
        back.push_back(now[i] == "7,1,1,2\r\n" ? equal[e++] : expected[i]);
    }
    rewrite(reversed);
    EXPECT_EQ(ids("Round2 4Bets"), back);
}

TEST_F(Origins, AnIdentityASidecarHoldsTwiceIsGivenOnce) {
    append("1,1,1,2\r\n1,2,3,5\r\n");
    auto first = ids("Round2 4Bets");
    // Both sidecars edited so that the two lines name one identity.
    for (std::string name : {".Round2 4Bets.ids", ".Round2 4Betsbackup.ids"}) {
        std::string text = folder.read(name);
        text.replace(text.rfind(first[1]), first[1].size(), first[0]);
        folder.write(name, text);
    }
    append("2,1,1,1\r\n");
    auto now = ids("Round2 4Bets");
    ASSERT_EQ(now.size(), 3u);
    EXPECT_EQ(now[0], first[0]);
    EXPECT_NE(now[1], first[0]);
    EXPECT_NE(now[2], now[1]);
    EXPECT_EQ(ids("Round2 4Betsbackup"), now);
}

TEST_F(Origins, ABackupOutOfStepWithItsBetsFileKeepsItsOwnIdentities) {
    append("1,1,1,2\r\n1,2,3,5\r\n");
    auto first = ids("Round2 4Bets");
    std::string text = folder.read(".Round2 4Betsbackup.ids");
    text.replace(text.find(first[0]), first[0].size(), "Z-1");
    folder.write(".Round2 4Betsbackup.ids", text);
    append("2,1,1,1\r\n");
    EXPECT_EQ(ids("Round2 4Bets")[0], first[0]);
    EXPECT_EQ(ids("Round2 4Betsbackup")[0], "Z-1");
    EXPECT_EQ(ids("Round2 4Betsbackup")[2], ids("Round2 4Bets")[2]);
}

TEST_F(Origins, SidecarLinesReadTheSameInEveryForm) {
    append("1,1,1,2\r\n1,2,3,5\r\n2,1,1,1\r\n3,1,1,1\r\n4,1,1,1\r\n");
    std::string text = folder.read(".Round2 4Bets.ids");
    std::vector<std::string> lines;
    for (size_t pos = 0; pos < text.size(); pos = text.find("\r\n", pos) + 2)
        lines.push_back(text.substr(pos, text.find("\r\n", pos) - pos));
    ASSERT_EQ(lines.size(), 5u);
    auto key = [&](int i) { return lines[i].substr(0, 16); };
    // A bare LF, two blanks before the identity, an identity holding a tab, a blank line of
    // blanks and ^Z, and a last line without its end.
    folder.write(".Round2 4Bets.ids", key(0) + " A-1\n" + key(1) + "  B-2\r\n" + key(2) +
                                          " C\t3 extra\r\n \x1a\r\n" + key(3) + " D-4\r" + key(4) +
                                          " E-5");
    BetOrigins origins(cx.files(), "C:\\Vantrope\\Round2 4Bets");
    EXPECT_EQ(origins.take("1,1,1,2"), "A-1");
    EXPECT_EQ(origins.take("1,2,3,5"), "B-2");
    EXPECT_EQ(origins.take("2,1,1,1"), "C\t3");
    EXPECT_EQ(origins.take("3,1,1,1"), "D-4");
    EXPECT_EQ(origins.take("4,1,1,1"), "E-5");
}

TEST_F(Origins, BettorIdentitiesFollowTheirNumbersAndGoWithTheirBettor) {
    folder.write("Bettors", "1,\"AnyBettor\"\r\n3,\"LEE\"\r\n5,\"KING\"\r\n");
    readbettors(cx);
    writebettors(cx);
    EXPECT_FALSE(folder.exists(".Bettors.ids"));  // only this computer's own: nothing to keep

    Transaction tx(cx.files());
    writebettororigins(cx.files(), "C:\\Vantrope\\Bettors", {{3, {"X/7"}}, {5, {"X/9", "Y/2"}}});
    tx.commit();
    sh().bettors(2).name = "zzz";
    writebettors(cx);
    EXPECT_EQ(readbettororigins(cx.files(), "C:\\Vantrope\\Bettors"),
              (BettorOrigins{{5, {"X/9", "Y/2"}}}));
    sh().bettors(3).name = "zzz";
    writebettors(cx);
    EXPECT_FALSE(folder.exists(".Bettors.ids"));
}

}  // namespace
}  // namespace vt::test
