#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/printer.h"

using namespace vt;

namespace {
// Where the text "x" starts (1-based column) in a laid-out line.
size_t columnofx(const std::string& line) { return line.find('x') + 1; }
}  // namespace

TEST(Printer, PrintZonesEveryFourteenColumns) {
    EXPECT_EQ(columnofx(layoutline({"12345678901234567890", Zone(), "x"}, nullptr)), 29u);
    EXPECT_EQ(columnofx(layoutline({"abc", Zone(), "x"}, nullptr)), 15u);
    EXPECT_EQ(columnofx(layoutline({Zone(), "x"}, nullptr)), 15u);
    // Two commas in a row skip a whole zone.
    EXPECT_EQ(columnofx(layoutline({"a", Zone(), Zone(), "x"}, nullptr)), 29u);
    EXPECT_EQ(columnofx(layoutline({"12345678901234", Zone(), "x"}, nullptr)), 29u);
    EXPECT_EQ(columnofx(layoutline({"1234567890123", Zone(), "x"}, nullptr)), 15u);
    EXPECT_EQ(layoutline({"a", "b", "c"}, nullptr), "abc");
}

TEST(Printer, TabColumnsAndTabPastTheColumn) {
    EXPECT_EQ(columnofx(layoutline({"abc", Tab(10), "x"}, nullptr)), 10u);
    EXPECT_EQ(columnofx(layoutline({"abc", Tab(4), "x"}, nullptr)), 4u);
    EXPECT_EQ(columnofx(layoutline({Tab(0), "x"}, nullptr)), 1u);
    std::vector<std::string> before;
    std::string last = layoutline({"123456789012", Tab(5), "x", Tab(20), "y"}, &before);
    EXPECT_EQ(before, std::vector<std::string>{"123456789012"});
    EXPECT_EQ(last, "    x              y");
}

TEST(Printer, EachRunOfItemsKeepsItsColumn) {
    // Items joined directly make one run, words and blanks included; zones and tabs start runs.
    auto lines = layoutlines({"----------NEW BETS", "--------------", Tab(40), "$5.00", Zone(), "x"});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].runs, (std::vector<PrintRun>{{0, "----------NEW BETS--------------"}, {39, "$5.00"}, {56, "x"}}));  // zone 57
    EXPECT_EQ(lines[0].text.substr(39), "$5.00            x");
    // A tab behind the column goes on a new line, which starts its own runs.
    lines = layoutlines({"ADAMS-JOHN", Tab(5), "WIN", "", Tab(12), "2"});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].runs, (std::vector<PrintRun>{{0, "ADAMS-JOHN"}}));
    EXPECT_EQ(lines[1].runs, (std::vector<PrintRun>{{4, "WIN"}, {11, "2"}}));
    EXPECT_TRUE(layoutlines({Tab(8), ""})[0].runs.empty());
}

TEST(Printer, StatementsPagesAndDocuments) {
    CapturePrintSink sink;
    Printer p(&sink);
    EXPECT_FALSE(p.docopen());
    p.fontbold = true;
    p.print({"Title"});
    p.fontbold = false;
    p.fontsize = 8;
    p.print({"Name", Tab(20), "Amount"});
    p.print();
    p.print({"123456789012", Tab(5), "wrapped"});
    p.newpage();
    p.print({"page two"});
    EXPECT_TRUE(sink.docs.empty());
    p.enddoc();
    p.enddoc();
    ASSERT_EQ(sink.docs.size(), 1u);
    EXPECT_EQ(sink.lines(0), (std::vector<std::string>{"Title", "Name               Amount", "", "123456789012",
                                                       "    wrapped", "\f", "page two"}));
    const auto& first = sink.docs[0].pages[0];
    EXPECT_TRUE(first[0].bold);
    EXPECT_FALSE(first[1].bold);
    EXPECT_EQ(first[1].fontsize, 8);

    // A new document starts clean; a killed one is never sent.
    p.print({"dropped"});
    p.killdoc();
    p.enddoc();
    p.print({"second"});
    p.enddoc();
    ASSERT_EQ(sink.docs.size(), 2u);
    EXPECT_EQ(sink.lines(1), std::vector<std::string>{"second"});
}

TEST(Printer, DocGuardEndsTheDocumentOnAnError) {
    CapturePrintSink sink;
    Printer p(&sink);
    EXPECT_THROW(
        {
            DocGuard guard(p, "Test");
            p.print({"before the error"});
            throw std::runtime_error("stopped");
        },
        std::runtime_error);
    EXPECT_FALSE(p.docopen());
    ASSERT_EQ(sink.docs.size(), 1u);
    EXPECT_EQ(sink.lines(0), std::vector<std::string>{"before the error"});

    // A sink that fails does not throw out of the guard.
    struct FailingSink : PrintSink {
        void print(const PrintDoc&) override { throw std::runtime_error("no printer"); }
    } failing;
    Printer q(&failing);
    EXPECT_NO_THROW({
        DocGuard guard(q, "Test");
        q.print({"x"});
    });
    EXPECT_FALSE(q.docopen());
}
