#include "platform/text.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/money.h"

using namespace vt;

TEST(Text, StrCarriesTheLeadingBlank) {
    EXPECT_EQ(Str(0.0), " 0");
    EXPECT_EQ(Str(0.5), " 0.5");
    EXPECT_EQ(Str(1000.0), " 1000");
    EXPECT_EQ(Str(1234567.5), " 1234567.5");
    EXPECT_EQ(Str(-3.0), "-3");
    EXPECT_EQ(Str(-0.25), "-0.25");
    EXPECT_EQ(Str(1), " 1");
    EXPECT_EQ(Str(-12), "-12");
    EXPECT_EQ(Str(Money::units(25000)), " 2.5");
    EXPECT_EQ(Str(Money::units(-7500)), "-0.75");
    EXPECT_EQ(Str(0.1 + 0.2), " 0.3");
    EXPECT_EQ(numtext(1e20), "100000000000000000000");
    EXPECT_EQ(numtext(0.00001), "0.00001");
}

TEST(Text, ValTakesTheLeadingNumber) {
    EXPECT_EQ(Val("12abc"), 12);
    EXPECT_EQ(Val("  -3.5x"), -3.5);
    EXPECT_EQ(Val(".75"), 0.75);
    EXPECT_EQ(Val("1,000"), 1);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val("2e3"), 2000);
}

// Numbers far from the amounts a screen shows, written and read with the point whatever the
// machine's language: exponents are spelled out, and what does not fit a double is an infinity
// or a zero, never a wrong finite value.
TEST(Text, NumbersAtTheEdgesOfTheirRange) {
    EXPECT_EQ(numtext(1.5e-7), "0.00000015");
    EXPECT_EQ(numtext(-2.5e21), "-2500000000000000000000");
    EXPECT_EQ(numtext(123456789012345678.0), "123456789012346000");
    EXPECT_EQ(Str(1.0 / 3), " 0.333333333333333");
    EXPECT_EQ(Val("+2.5"), 2.5);
    EXPECT_EQ(Val("5.x"), 5);
    EXPECT_EQ(Val("2.5E-3"), 0.0025);
    EXPECT_EQ(Val("7e"), 7);
    EXPECT_EQ(Val("7e+"), 7);
    EXPECT_EQ(Val("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val("1e-999"), 0);
    EXPECT_EQ(Val("0." + std::string(400, '0') + "1"), 0);
    EXPECT_EQ(Val("0.001e-3"), 0.000001);
    double d = 0;
    EXPECT_TRUE(parsenumber("+2.5", d));
    EXPECT_EQ(d, 2.5);
    EXPECT_TRUE(parsenumber("5.", d));
    EXPECT_EQ(d, 5);
}

TEST(Text, StrictParseReportsFailure) {
    double d = -1;
    EXPECT_TRUE(parsenumber(" 12 ", d));
    EXPECT_EQ(d, 12);
    EXPECT_TRUE(parsenumber(".75", d));
    EXPECT_EQ(d, 0.75);
    EXPECT_TRUE(parsenumber("-2.5", d));
    EXPECT_EQ(d, -2.5);
    for (const char* bad : {"", " ", ".", "-", "12a", "1,000", "1.2.3", "$5", "1e3"})
        EXPECT_FALSE(parsenumber(bad, d)) << bad;
    long long n = 0;
    EXPECT_TRUE(parseint("+42", n));
    EXPECT_EQ(n, 42);
    for (const char* bad : {"", "+", "1.5", "12 3", "9999999999999999999"})
        EXPECT_FALSE(parseint(bad, n)) << bad;
}

TEST(Text, FormatNumberPatterns) {
    struct Row {
        double x;
        const char* pattern;
        const char* want;
    };
    const Row rows[] = {
        {0, "$#,##0.00", "$0.00"},
        {0.5, "$#,##0.00", "$0.50"},
        {1000, "$#,##0.00", "$1,000.00"},
        {1234567.5, "$#,##0.00", "$1,234,567.50"},
        {-1234567.5, "$#,##0.00", "-$1,234,567.50"},
        {1.575, "$#,##0.00", "$1.58"},
        {45.125, "$#,##0.00", "$45.13"},
        {45.125, "Currency", "$45.13"},
        {999.995, "Currency", "$1,000.00"},
        {-0.001, "#,##0.00", "0.00"},
        {1234567.5, "###0.00", "1234567.50"},
        {0, "###0.00", "0.00"},
        {1000, "#,##0.00", "1,000.00"},
        {0.5, "$###0.00", "$0.50"},
        {5, "#00.00", "05.00"},
        {123.456, "#00.00", "123.46"},
        {2.5, "0", "3"},
        {-7, "0", "-7"},
    };
    for (auto& r : rows) EXPECT_EQ(Format(r.x, r.pattern), r.want) << r.x << " " << r.pattern;
    EXPECT_EQ(Format(Money::units(15750), "$#,##0.00"), "$1.58");
    EXPECT_EQ(Format(Money::units(451250), "Currency"), "$45.13");
    EXPECT_EQ(Format(Money::units(-5), "$#,##0.00"), "$0.00");
}

TEST(Text, FormatTextPlaces) {
    EXPECT_EQ(Format(std::string("ab"), "!@@@@"), "ab  ");
    EXPECT_EQ(Format(std::string("ab"), "@@@@"), "  ab");
    EXPECT_EQ(Format(std::string("abcdef"), "@@@@"), "abcdef");
    EXPECT_EQ(Format(std::string(""), "@@@"), "   ");
    EXPECT_EQ(Format(12.0, "@@@@"), "  12");
    EXPECT_EQ(Format(12.0, "!@@@@"), "12  ");
}

TEST(Text, CaseAndSubstrings) {
    EXPECT_EQ(ucase("abc xyz \xe9!"), "ABC XYZ \xe9!");
    EXPECT_EQ(lcase("ABC \xc9"), "abc \xc9");
    EXPECT_EQ(Left("abc", 2), "ab");
    EXPECT_EQ(Left("abc", 5), "abc");
    EXPECT_EQ(Left("abc", 0), "");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 4), "def");
    EXPECT_EQ(Mid("abc", 5), "");
    EXPECT_EQ(Mid("abc", 2, 10), "bc");
    EXPECT_EQ(InStr("C:\\Vantrope\\", "\\"), 3);
    EXPECT_EQ(InStr("C:\\Vantrope\\", "\\", 4), 12);
    EXPECT_EQ(InStr("abc", "x"), 0);
    EXPECT_EQ(trim(" \t a b \t"), "a b");
    EXPECT_EQ(Space(3), "   ");
}

TEST(Text, OneCaseInsensitiveRule) {
    EXPECT_EQ(comparenocase("abc", "ABC"), 0);
    EXPECT_LT(comparenocase("abc", "ABD"), 0);
    // Letters fold to upper case before bytes compare: "a" sorts before "B" and "_" after "Z".
    EXPECT_LT(comparenocase("a", "B"), 0);
    EXPECT_GT(comparenocase("_", "zebra"), 0);
    EXPECT_LT(comparenocase("ab", "abc"), 0);
    EXPECT_TRUE(iszzz("ZzZ"));
    EXPECT_FALSE(iszzz("zzz "));
    EXPECT_FALSE(iszzz("zz"));
}
