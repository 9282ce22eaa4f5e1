// Typed texts a file stores, and typed percentages, multipliers and slip amounts: one strict
// parse, then each kind's range.
#include "records/typedinput.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

TEST(StoredText, TheOneCheckSaysWhatIsWrong) {
    EXPECT_EQ(namerefusal("A\x0c"
                          "B",
                          "name"),
              "A name cannot contain a line break, a tab or another control character");
    EXPECT_EQ(namerefusal("A\"B", "name"), "A name cannot contain a double quote (\")");
    EXPECT_EQ(namerefusal("zZz", "bettor name"), "ZZZ cannot be used as a bettor name");
    EXPECT_EQ(namerefusal("O'BRIEN-\xc9MILE", "name"), "");  // Latin-1 letters are text
    EXPECT_NE(storedtextrefusal("A\x85"
                                "B",
                                "banner"),
              "");                                      // a Latin-1 control character
    EXPECT_EQ(storedtextrefusal("zzz", "banner"), "");  // only names keep "zzz" out
}

TEST(TypedNumbers, EachKindKeepsItsRangeAndRefusesLooseText) {
    Money m;
    for (const char* ok : {"0", "12.5", "99.9999", " 7 "}) EXPECT_TRUE(typedhousepct(ok, m)) << ok;
    for (const char* bad : {"100", "-0.5", "99.99999", "1e1", "1,5", "10%", "", "zzz"})
        EXPECT_FALSE(typedhousepct(bad, m)) << bad;

    for (const char* ok : {"1", "10", "2.5", "+3"}) EXPECT_TRUE(typedmultiplier(ok, m)) << ok;
    for (const char* bad : {"0.9999", "10.0001", "1e1", "5abc", "$5", ""})
        EXPECT_FALSE(typedmultiplier(bad, m)) << bad;
    ASSERT_TRUE(typedmultiplier("2.5", m));
    EXPECT_EQ(m, Money::units(25000));

    // An empty or blank slip box is 0; anything else is a plain amount from 0 to the largest bet.
    ASSERT_TRUE(typedslipamount("  ", m));
    EXPECT_EQ(m, Money());
    ASSERT_TRUE(typedslipamount("99999.99", m));
    EXPECT_EQ(m, Money::units(Money::maxbetunits));
    for (const char* bad : {"100000", "-5", "1,000", "1e9", "5abc", "$5"})
        EXPECT_FALSE(typedslipamount(bad, m)) << bad;
    EXPECT_EQ(slipamountrefusal("5abc"),
              "Bet amounts must be numbers of 0 or more, up to 99,999.99: \"5abc\"");
}

}  // namespace
}  // namespace vt
