// Money as shown, and shown money read back: every text the program shows reads back exactly.
#include "records/moneytext.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

TEST(MoneyText, ShownAmountsReadBackExactly) {
    for (Money m : {Money(), Money::units(5000), Money::dollars(1234) + Money::units(5000),
                    Money::dollars(99999) + Money::units(9900), -Money::dollars(5)})
        EXPECT_EQ(shownamount(moneytext(m)), m) << moneytext(m);
    // Plain amounts, as tables and step boxes hold them, and the blank or empty box.
    EXPECT_EQ(shownamount(".25"), Money::units(2500));
    EXPECT_EQ(shownamount("12.5"), Money::units(125000));
    EXPECT_EQ(shownamount(" 0"), Money());
    EXPECT_EQ(shownamount(""), Money());
    EXPECT_EQ(shownamount(" C"), Money());
    // Misplaced separators are no amount.
    EXPECT_EQ(shownamount("1,0"), Money());
    EXPECT_EQ(shownamount("$$5"), Money());
}

}  // namespace
}  // namespace vt
