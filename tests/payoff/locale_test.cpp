// The payoff screen, its printed sheets and the Results file under languages that write a decimal
// comma are byte for byte what they are under the C locale.
#include <clocale>

#include "paytest.h"

namespace vt::test {
namespace {

// The C library's whole locale set for one scope; the locale the tests run under comes back after.
class LocaleScope {
  public:
    explicit LocaleScope(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, saved_.c_str()); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
    bool ok() const { return ok_; }

  private:
    std::string saved_;
    bool ok_ = false;
};

struct Seen {
    std::string screen, paper, results;
};

// One cashier's payoff in a fresh program folder, made under whatever locale is set.
class PayoffRun : public PayTest {
  public:
    void TestBody() override {}
    using AppTest::TearDown;

    Seen go() {
        Seen seen;
        app->results.open(app->files(), "C:\\Vantrope\\Results");
        sh().printswitch = "yes";
        sh().roundingchoice = 3;  // payments to the quarter: the rounded amounts show too
        calcworked();
        seen.screen += snapshot();
        ctl("cmdprtsumm").click();
        ctl("cmbbn").setlistindex(0);
        paybettor(2);
        paybettor(3);
        seen.screen += snapshot();
        for (const PrintDoc& doc : printed.docs)
            for (const auto& page : doc.pages) {
                for (const PrintLine& l : page) {
                    seen.paper +=
                        l.fontname + " " + std::to_string(l.fontsize) + " |" + l.text + "|";
                    for (const PrintRun& r : l.runs)
                        seen.paper += " " + std::to_string(r.column) + ":" + r.text;
                    seen.paper += "\n";
                }
                seen.paper += "\f\n";
            }
        seen.results = folder.read("Results");
        return seen;
    }

  private:
    // Every text the payoff screen holds: boxes, labels, lists and grids.
    std::string snapshot() {
        std::string out;
        for (Control* c : pay().controls()) {
            out += c->name() + "(" + std::to_string(c->index()) + ") " + c->caption() + "|" +
                   c->text() + "\n";
            for (int i = 0; i < c->listcount(); ++i) out += "  " + c->list(i) + "\n";
            if (c->kind() != Kind::Grid) continue;
            for (int r = 0; r < c->rows(); ++r)
                for (int k = 0; k < c->cols(); ++k) out += "  " + c->textmatrix(r, k) + "\n";
        }
        return out;
    }
};

Seen payoffunder(const char* locale) {
    LocaleScope scope(locale);
    if (!scope.ok()) {
        ADD_FAILURE() << "locale " << locale
                      << " is not installed: run tools/ensure-locales.sh as root";
        return {};
    }
    PayoffRun run;
    Seen seen = run.go();
    run.TearDown();
    return seen;
}

TEST(Locale, PayoffScreenSheetsAndResultsAreTheSameUnderEveryLanguage) {
    const Seen plain = payoffunder("C");
    ASSERT_NE(plain.screen.find("$5.85"), std::string::npos);
    ASSERT_NE(plain.paper.find("$29.25"), std::string::npos);
    ASSERT_NE(plain.results.find(",29.25,"), std::string::npos);
    for (const char* locale : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
        const Seen seen = payoffunder(locale);
        EXPECT_EQ(seen.screen, plain.screen) << locale;
        EXPECT_EQ(seen.paper, plain.paper) << locale;
        EXPECT_EQ(seen.results, plain.results) << locale;
    }
}

}  // namespace
}  // namespace vt::test
