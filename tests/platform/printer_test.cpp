#include "platform/printer.h"

#include <gtest/gtest.h>

#include <stdexcept>

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
    auto lines =
        layoutlines({"----------NEW BETS", "--------------", Tab(40), "$5.00", Zone(), "x"});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].runs,
              (std::vector<PrintRun>{
                  {0, "----------NEW BETS--------------"}, {39, "$5.00"}, {56, "x"}}));  // zone 57
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
    EXPECT_EQ(sink.lines(0),
              (std::vector<std::string>{"Title", "Name               Amount", "", "123456789012",
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

namespace {
// A proportional face: capitals 1.25 columns, small letters and blanks half a column, figures one.
class HalfWidthMeasure : public TextMeasure {
  public:
    double columns(const std::string& text, const std::string&, int, bool) const override {
        double w = 0;
        for (char c : text) w += (c >= 'A' && c <= 'Z') ? 1.25 : (c >= '0' && c <= '9') ? 1.0 : 0.5;
        return w;
    }
};
}  // namespace

// The current column is the drawn width: tabs and zones compare that, not the count.
TEST(Printer, ColumnsCompareTheDrawnWidth) {
    HalfWidthMeasure m;
    // Eleven narrow characters (5.5 columns) from Tab(5) do not pass Tab(15); by count they would.
    auto lines = layoutlines({"12", Tab(5), "flight a  ", Tab(15), "x"}, m);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].runs.back(), (PrintRun{14, "x"}));
    // Wide capitals pass a tab that their count would reach: the rest goes on a new line.
    lines = layoutlines({"ABCDEFGHIJ", Tab(12), "x"}, m);  // 12.5 columns
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].runs, (std::vector<PrintRun>{{11, "x"}}));
    // A text that ends exactly at the tab fits.
    EXPECT_EQ(layoutlines({"1234", Tab(5), "x"}, m).size(), 1u);
    // Texts joined into one run are measured together where a tab or zone needs the column.
    lines = layoutlines({"12", "ab", Tab(4), "x", "ABC", "de", Tab(8), "y"}, m);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].runs, (std::vector<PrintRun>{{0, "12ab"}, {3, "xABCde"}}));
    EXPECT_EQ(lines[1].runs, (std::vector<PrintRun>{{7, "y"}}));
    // Zones: after 10.5 columns the next zone is 15; after 14 columns it is 29.
    EXPECT_EQ(layoutlines({"abcdefghijklmnopqrstu", Zone(), "x"}, m)[0].runs.back().column, 14);
    EXPECT_EQ(layoutlines({"ABCDEFGHIJKLMN", Zone(), "x"}, m)[0].runs.back().column, 28);
    EXPECT_EQ(layoutlines({"ABCDEFGHIJKLMNOPQRSTUVW", Zone(), "x"}, m)[0].runs.back().column, 42);
}

// Only visible text past a tab's column breaks the line: a flight padded to 11 characters from
// Tab(5) reaches Tab(15) by count, but its padding never pushes the line on.
TEST(Printer, TrailingPaddingNeverPassesATab) {
    HalfWidthMeasure m;
    auto lines = layoutlines({"1", Tab(5), "A -        ", Tab(15), "ALPHA"}, m);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].runs.back(), (PrintRun{14, "ALPHA"}));
    // Visible text that really reaches past the tab still breaks it.
    lines = layoutlines({"Rec Nbr", Tab(5), "x"}, m);
    ASSERT_EQ(lines.size(), 2u);
    // Fixed pitch keeps the count: the padded field ends at its length.
    EXPECT_EQ(layoutline({"1", Tab(5), "A -        ", Tab(15), "ALPHA"}, nullptr),
              "1   A -        ALPHA");
}

// A text in a field takes the field's columns whatever its width: the next item starts there,
// and a wider text stays whole in the line (the sink draws it narrower).
TEST(Printer, AFieldKeepsWhatFollowsOnItsColumn) {
    HalfWidthMeasure m;
    for (std::string name : {std::string("li-al"), std::string("BARTHOLOMEW-WETHERINGTON-SMYTH")}) {
        auto lines = layoutlines({InField(name, 20), Zone(), "$2.00"}, m);
        ASSERT_EQ(lines.size(), 1u) << name;
        EXPECT_EQ(lines[0].runs.front(), (PrintRun{0, name}));
        EXPECT_EQ(lines[0].runs.back(), (PrintRun{28, "$2.00"}));
        EXPECT_NE(lines[0].text.find(name), std::string::npos);
    }
    // Fields side by side start every 20 columns.
    auto lines = layoutlines({InField("BARTHOLOMEW-WETHERIN", 20), InField("1", 20), "x"}, m);
    EXPECT_EQ(lines[0].runs[1].column, 20);
    EXPECT_EQ(lines[0].runs[2].column, 40);
}

// A text padded with blanks is a field as many columns wide as it holds characters, so padded
// columns line up; a text drawn wider is drawn narrower to fit. Rules take one column a
// character in any face.
TEST(Printer, PaddedFieldsEndAtTheirLengthAndRulesTakeOneColumnEach) {
    HalfWidthMeasure m;
    EXPECT_DOUBLE_EQ(textcolumns(std::string(84, '_'), m, "", 8, false), 84.0);
    EXPECT_DOUBLE_EQ(textcolumns("ab   cd", m, "", 8, false), 5 + 1.0);
    EXPECT_DOUBLE_EQ(textcolumns("a b", m, "", 8, false), 1.5);  // a single blank is a word gap
    EXPECT_DOUBLE_EQ(textcolumns("Bettor Name                  Amount", m, "", 8, false),
                     29 + textcolumns("Amount", m, "", 8, false));
    // Narrow and wide names padded to the same length put what follows at the same column, also
    // a name drawn wider than its field ...
    auto padded = [](const std::string& name) {
        return name + std::string(22 - name.size(), ' ') + "$2.00";  // "$2.00" is 4 columns
    };
    EXPECT_DOUBLE_EQ(textcolumns(padded("li-al"), m, "", 8, false), 22 + 4);
    EXPECT_DOUBLE_EQ(textcolumns(padded("SMITH-JOHN"), m, "", 8, false), 22 + 4);
    EXPECT_DOUBLE_EQ(textcolumns(padded(std::string(20, 'W')), m, "", 8, false), 22 + 4);
    // ... which is drawn narrower, whole, to leave a blank before the field's end.
    const RunPlacement wide = placerun(padded(std::string(20, 'W')), [&](const std::string& t) {
        return m.columns(t, "", 8, false);
    });
    ASSERT_EQ(wide.pieces.size(), 3u);
    EXPECT_DOUBLE_EQ(wide.pieces[0].width, 21.5);
    EXPECT_DOUBLE_EQ(wide.pieces[0].scale, 21.5 / 25);
    EXPECT_DOUBLE_EQ(wide.pieces[2].column, 22.0);
    // Padding ahead of a text (a right-aligned figure) counts a column a blank.
    EXPECT_DOUBLE_EQ(textcolumns("   1250", m, "", 8, false), 7.0);
    auto pieces = textpieces("A  B__C d");
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[0].text, "A");
    EXPECT_TRUE(pieces[1].fixed);
    EXPECT_EQ(pieces[2].text, "B");
    EXPECT_EQ(pieces[3].text, "__");
    EXPECT_EQ(pieces[4].text, "C d");
    EXPECT_FALSE(pieces[4].fixed);
    // Fixed pitch: every character one column, as the golden lines count them.
    EXPECT_EQ(layoutline({"SMITH-JOHN          ", Zone(), "$2.00"}, nullptr),
              "SMITH-JOHN" + std::string(18, ' ') + "$2.00");
}

// A run wider than its room narrows its last text, so a label and its padding keep their
// columns on every line; a last text that would keep less than a third narrows the whole run.
TEST(Printer, AFittedRunKeepsWhatStandsBeforeItsLastText) {
    HalfWidthMeasure m;
    auto place = [&](const std::string& text, double room) {
        RunPlacement r =
            placerun(text, [&](const std::string& t) { return m.columns(t, "", 8, false); });
        fitrun(r, room);
        return r;
    };
    // "A -" and 7 blanks make a field of 10; 16 W's are 20 columns wide, the room 21.
    RunPlacement r = place("A -       " + std::string(16, 'W'), 21);
    ASSERT_EQ(r.pieces.size(), 3u);
    EXPECT_DOUBLE_EQ(r.pieces[0].scale, 1.0);
    EXPECT_DOUBLE_EQ(r.pieces[2].column, 10.0);
    EXPECT_DOUBLE_EQ(r.pieces[2].width, 11.0);
    EXPECT_DOUBLE_EQ(r.pieces[2].scale, 11 / 20.0);
    EXPECT_DOUBLE_EQ(r.visible, 21.0);
    // A run that fits is left alone.
    EXPECT_DOUBLE_EQ(place("A -       li-al", 21).pieces[2].scale, 1.0);
    // Room for less than a third of the last text: every piece alike.
    r = place("A -       " + std::string(16, 'W'), 14);
    EXPECT_DOUBLE_EQ(r.pieces[2].column, 10 * 14 / 30.0);
    EXPECT_DOUBLE_EQ(r.pieces[0].scale, 14 / 30.0);
    EXPECT_DOUBLE_EQ(r.visible, 14.0);
}

// The printer lays out with its sink's measure, in the font of the statement.
TEST(Printer, LaysOutWithTheSinksMeasure) {
    struct Recorder : TextMeasure {
        mutable std::string font;
        mutable int size = 0;
        double columns(const std::string& text, const std::string& name, int s,
                       bool) const override {
            font = name;
            size = s;
            return static_cast<double>(text.size()) / 2;
        }
    } m;
    CapturePrintSink sink;
    sink.textmeasure = &m;
    Printer p(&sink);
    p.fontname = "Arial";
    p.fontsize = 8;
    p.print({"123456789012", Tab(7), "x"});  // six columns wide: Tab(7) is free
    p.enddoc();
    EXPECT_EQ(m.font, "Arial");
    EXPECT_EQ(m.size, 8);
    EXPECT_EQ(sink.lines(0), std::vector<std::string>{"123456789012 x"});
    EXPECT_EQ(sink.docs[0].pages[0][0].runs.back(), (PrintRun{6, "x"}));
}

// The busy signal goes on with the first document and off when the last one is done, also when
// the printer fails; a failed document names itself.
TEST(Printer, BusyWhileADocumentIsProducedAndFailuresNameTheDocument) {
    CapturePrintSink sink;
    Printer p(&sink);
    std::vector<bool> told;
    p.onbusy = [&](bool on) { told.push_back(on); };
    std::string failed;
    p.onprinterror = [&](const PrintError& e) { failed = e.document + ":" + e.message(); };
    {
        DocGuard guard(p, "Bet Sheet");
        p.print({"x"});
        EXPECT_EQ(told, std::vector<bool>{true});
    }
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
    sink.failwith = 57;
    {
        DocGuard guard(p, "Odds Grid");
        p.print({"x"});
    }
    EXPECT_EQ(failed, "Odds Grid: 57 Device I/O error");
    EXPECT_EQ(told.back(), false);
    EXPECT_TRUE(p.document.empty());
}
