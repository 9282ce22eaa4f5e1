// With VANTROPE_TEST_LOCALE set, a test program takes its locale from the environment as the
// program's start does (LANG=de_DE.UTF-8), so every check runs where the C library writes a
// decimal comma. A locale the machine lacks fails the run: it never passes quietly under "C".
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

class LocaleFromEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        const char* want = std::getenv("VANTROPE_TEST_LOCALE");
        if (!want || !*want) return;
        const char* got = std::setlocale(LC_ALL, "");
        ASSERT_NE(got, nullptr) << "locale " << want
                                << " is not installed: run tools/ensure-locales.sh as root";
        const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
        ASSERT_EQ(numeric, want) << "the environment did not select " << want;
        ASSERT_STREQ(std::localeconv()->decimal_point, ",")
            << want << " does not write a decimal comma";
    }
};

[[maybe_unused]] ::testing::Environment* const kLocale =
    ::testing::AddGlobalTestEnvironment(new LocaleFromEnvironment);

}  // namespace
