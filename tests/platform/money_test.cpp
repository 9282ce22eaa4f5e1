#include "platform/money.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/fileerror.h"

using namespace vt;

TEST(Money, FromDoubleRoundsHalfToEven) {
    EXPECT_EQ(Money::fromdouble(2.05).units(), 20500);
    EXPECT_EQ(Money::fromdouble(1.575).units(), 15750);
    EXPECT_EQ(Money::fromdouble(123.456789).units(), 1234568);
    // Halves of the last place go to the even unit, judged on the decimal form people read.
    EXPECT_EQ(Money::fromdouble(0.00005).units(), 0);
    EXPECT_EQ(Money::fromdouble(0.00015).units(), 2);
    EXPECT_EQ(Money::fromdouble(1.00015).units(), 10002);
    EXPECT_EQ(Money::fromdouble(1.00025).units(), 10002);
    EXPECT_EQ(Money::fromdouble(-1.00015).units(), -10002);
    EXPECT_EQ(Money::fromdouble(1.000150001).units(), 10002);
    EXPECT_EQ(Money::fromdouble(1.000250001).units(), 10003);
    EXPECT_EQ(Money::fromdouble(0).units(), 0);
    EXPECT_EQ(Money::fromdouble(1e-20).units(), 0);
    EXPECT_EQ(Money::fromdouble(123456789.5).units(), 1234567895000);
    EXPECT_EQ(Money::dollars(3).times(1.5), Money::units(45000));
    EXPECT_EQ(Money::dollars(2).times(1.00015 / 2), Money::units(10002));
}

TEST(Money, ParseIsStrict) {
    struct Row {
        const char* text;
        int64_t units;
    };
    const Row good[] = {{"12", 120000},     {"2.5", 25000}, {".75", 7500},
                        {"-3", -30000},     {" 7 ", 70000}, {"0.0001", 1},
                        {"1.23456", 12346}, {"+4.", 40000}, {"999999999999", 9999999999990000}};
    for (auto& r : good) {
        Money m;
        EXPECT_TRUE(Money::parse(r.text, m)) << r.text;
        EXPECT_EQ(m.units(), r.units) << r.text;
    }
    for (const char* bad :
         {"", " ", ".", "-", "1e3", "$5", "1,000", "12a", "1.2.3", "- 3", "10000000000000000"}) {
        Money m = Money::units(77);
        EXPECT_FALSE(Money::parse(bad, m)) << bad;
        EXPECT_EQ(m.units(), 77) << "left untouched on failure: " << bad;
    }
}

TEST(Money, ShownAmountsTakeADollarSignAndSeparatorsInTheirPlaces) {
    const std::pair<const char*, int64_t> good[] = {
        {"$9.00", 90000},   {"$1,234.50", 12345000},      {"9", 90000},
        {"-$5.00", -50000}, {"12,345,678", 123456780000}, {" $0.75 ", 7500}};
    for (auto& [text, units] : good) {
        Money m;
        EXPECT_TRUE(Money::parseshown(text, m)) << text;
        EXPECT_EQ(m.units(), units) << text;
    }
    for (const char* bad : {"", " ", "$", "1,0", "1,00", ",100", "1234,567", "1,000,00", "5.0,0",
                            "$$5", "$-5", "--5", "$ 5", "9 dollars", "1e3"}) {
        Money m;
        EXPECT_FALSE(Money::parseshown(bad, m)) << bad;
    }
}

TEST(Money, TextForm) {
    EXPECT_EQ(Money::units(25000).tostring(), "2.5");
    EXPECT_EQ(Money::units(7500).tostring(), "0.75");
    EXPECT_EQ(Money::dollars(10).tostring(), "10");
    EXPECT_EQ(Money::units(-7500).tostring(), "-0.75");
    EXPECT_EQ(Money::units(1).tostring(), "0.0001");
    EXPECT_EQ(Money().tostring(), "0");
    EXPECT_EQ(Money::units(-25000).wholedollars(), -2);
    EXPECT_EQ(Money::units(29999).wholedollars(), 2);
    Money sum;
    for (int i = 0; i < 10; ++i) sum += Money::fromdouble(0.1);
    EXPECT_EQ(sum, Money::dollars(1));
}

TEST(Money, OverflowIsAnErrorNeverAWrappedValue) {
    const Money big = Money::units(INT64_MAX - 5);
    auto overflows = [](auto f) {
        try {
            f();
        } catch (const FileError& e) {
            return e.number == 6 && e.text == "Overflow";
        }
        return false;
    };
    EXPECT_TRUE(overflows([&] { (void)(big + Money::units(6)); }));
    EXPECT_TRUE(overflows([&] { (void)(-big - Money::units(10)); }));
    EXPECT_TRUE(overflows([&] { (void)(Money::dollars(1) * INT64_MAX); }));
    EXPECT_TRUE(overflows([&] { (void)Money::dollars(INT64_MAX / 1000); }));
    EXPECT_TRUE(overflows([&] { (void)Money::fromdouble(1e20); }));
    EXPECT_TRUE(overflows([&] { (void)Money::fromdouble(std::nan("")); }));
    EXPECT_TRUE(overflows([&] {
        Money sum;
        for (int i = 0; i < 10; ++i) sum += Money::units(99999999999999LL * Money::scale);
    }));
    Money m = big;
    EXPECT_TRUE(overflows([&] { m += Money::units(6); }));
    EXPECT_EQ(m, big) << "left as it was";
    EXPECT_EQ((big + Money::units(5)).units(), INT64_MAX);
}

TEST(Money, BetAmountIsWholeCentsAboveZeroUpToTheLargestBet) {
    for (const char* good : {"0.01", "2.5", "19.99", "1234.56", "99999.99"}) {
        Money m;
        ASSERT_TRUE(Money::parse(good, m)) << good;
        EXPECT_TRUE(m.isbetamount()) << good;
        Money back;
        EXPECT_TRUE(Money::parse(m.tostring(), back));
        EXPECT_EQ(back, m) << "reads back exactly";
    }
    for (const char* bad : {"0", "-1", "2.123456", "2.001", "0.005", "100000", "99999.991"}) {
        Money m;
        ASSERT_TRUE(Money::parse(bad, m)) << bad;
        EXPECT_FALSE(m.isbetamount()) << bad;
    }
}
