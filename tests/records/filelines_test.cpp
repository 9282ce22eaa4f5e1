// The one reader of the data files: which lines are records, where the records end, and the
// bytes of an append.
#include "records/filelines.h"

#include <gtest/gtest.h>

#include "errorof.h"
#include "records/recordsutil.h"

namespace vt::test {
namespace {

struct Classified {
    long number;
    bool whole, readable, ended;
};

std::vector<Classified> classify(const std::string& bytes, FileKind kind) {
    std::vector<Classified> out;
    for (const FileLine& l : filelines(bytes, kind))
        out.push_back({l.number, l.whole, l.readable, l.ended});
    return out;
}

TEST(FileLines, ALineIsARecordOnlyWhenWhole) {
    struct Case {
        const char* line;
        FileKind kind;
        bool whole, readable;
    };
    const Case cases[] = {
        {"7,1,\"\",\"CAR\"", FileKind::Players, true, true},
        {"7,1,\"\",CAR", FileKind::Players, true, true},  // bare text is text
        {"7,1,\"\",\"CAR", FileKind::Players, false, false},
        {"9,1,\"\",SNEDEKER-BRANDT\"", FileKind::Players, false, false},
        {"9,1,\"\",\"SNEDEKER\"-BRANDT", FileKind::Players, false, false},
        {"9,1,\"\",\"A\" ", FileKind::Players, true, true},  // blanks after a quote
        {"x,1,\"\",\"A\"", FileKind::Players, true, false},
        {"13,\"JONES", FileKind::Bettors, false, false},
        {"13,\"JONES\",", FileKind::Bettors, false, false},
        {",\"JONES\"", FileKind::Bettors, true, true},  // an empty number reads 0
        {"12,7,", FileKind::Bets, false, false},
        {"12,7,3,1.25", FileKind::Bets, true, true},
        {"12,7,3,.75", FileKind::Bets, true, true},
        {"12,7,3,1.2.5", FileKind::Bets, true, false},
        {"12,7,3,\"1\"", FileKind::Bets, true, false},
        // Number fields are whole numbers: bare digits with a sign, under 2e9.
        {" 12 ,+7,3,1", FileKind::Bets, true, true},
        {"12.5,7,3,1", FileKind::Bets, true, false},
        {"12,7.0,3,1", FileKind::Bets, true, false},
        {"12,1e1,3,1", FileKind::Bets, true, false},
        {"\"12\",7,3,1", FileKind::Bets, true, false},
        {"1999999999,\"JONES\"", FileKind::Bettors, true, true},
        {"2000000000,\"JONES\"", FileKind::Bettors, true, false},
        {"-1999999999,\"JONES\"", FileKind::Bettors, true, true},
        {"", FileKind::Bets, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        // In the middle of a file, between two good records.
        std::string good = c.kind == FileKind::Bettors ? "1,\"A\""
                           : c.kind == FileKind::Bets  ? "1,1,1,1"
                                                       : "1,1,\"\",\"A\"";
        auto lines = classify(good + "\r\n" + c.line + "\r\n" + good + "\r\n", c.kind);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[1].number, 2);
        EXPECT_EQ(lines[1].whole, c.whole);
        EXPECT_EQ(lines[1].readable, c.readable);
        EXPECT_TRUE(lines[0].whole && lines[2].whole);
    }
}

TEST(FileLines, BlankLinesEndTheFileOnlyAfterTheLastRecord) {
    auto lines = classify("1,1,1,1\n\r\n  \r2,2,2,2\r\n\r\n \t\r\n\x1a", FileKind::Bets);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_FALSE(lines[1].whole);
    EXPECT_FALSE(lines[2].whole);
    EXPECT_EQ(lines[3].number, 4);
    EXPECT_TRUE(lines[3].ended);
    EXPECT_FALSE(classify("1,1,1,1", FileKind::Bets)[0].ended);
    EXPECT_TRUE(classify(" \r\n\r\n", FileKind::Bets).empty());
}

TEST(FileLines, AnAppendNeverJoinsTwoRecords) {
    const std::string rec = "12,2,1,1\r\n";
    EXPECT_EQ(appendedbytes("x", "12,7,3,1.25", FileKind::Bets, rec), "12,7,3,1.25\r\n" + rec);
    EXPECT_EQ(appendedbytes("x", "12,7,3,1.25\n", FileKind::Bets, rec), "12,7,3,1.25\n" + rec);
    EXPECT_EQ(appendedbytes("x", "12,7,3,1.25\r\n\r\n  ", FileKind::Bets, rec),
              "12,7,3,1.25\r\n" + rec);
    EXPECT_EQ(appendedbytes("x", "", FileKind::Bets, rec), rec);
    EXPECT_EQ(appendedbytes("x", "\r\n", FileKind::Bets, rec), rec);
    for (const char* bad :
         {"12,7,3,1.25\r\n12,7,", "12,7,3,1.25\r\n\r\n1,1,1,1\r\n", "1,1,1,1\r\n9,1,1,\"2\r\n"}) {
        SCOPED_TRACE(bad);
        try {
            appendedbytes("C:\\Vantrope\\Round1 3Bets", bad, FileKind::Bets, rec);
            ADD_FAILURE() << "appended";
        } catch (const FileError& e) {
            EXPECT_EQ(e.number, 13);
            EXPECT_EQ(filelocation(e.file, e.line).substr(0, 20), "Round1 3Bets, line 2");
            EXPECT_TRUE(e.checkfile);
        }
    }
}

TEST(FileLines, ABetRecordReadsBackAsWritten) {
    const Bet bets[] = {{12, 7, 3, Money::units(12300)},
                        {1, 999, 1, Money::dollars(99999)},
                        {2, 1, 2, Money::units(100)}};
    std::string bytes;
    for (const Bet& b : bets) bytes += betrecord(b);
    EXPECT_EQ(betrecord(bets[0]), "12,7,3,1.23\r\n");
    auto lines = filelines(bytes, FileKind::Bets);
    ASSERT_EQ(lines.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        LineBet got = linebet(lines[i].fields);
        EXPECT_TRUE(lines[i].readable && got.whole);
        EXPECT_EQ(got.bet.bettor, bets[i].bettor);
        EXPECT_EQ(got.bet.entry, bets[i].entry);
        EXPECT_EQ(got.bet.type, bets[i].type);
        EXPECT_EQ(got.bet.amount, bets[i].amount);
    }
}

// The fields of a file read in sequence, as the setup file and a record's first fields are read.
std::vector<std::string> texts(const std::string& bytes, size_t count) {
    std::vector<std::string> out;
    for (const Field& f : recordfields(bytes, count)) out.push_back(f.text);
    return out;
}

TEST(RecordFields, AcceptEveryLineEndAndALastLineWithout) {
    const std::vector<std::string> want = {"Smith, J", "12", "2.5", "Lee", "7", ".75"};
    for (std::string eol : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(eol.size());
        std::string body = "\"Smith, J\",12,2.5" + eol + "\"Lee\",7,.75";
        for (const std::string& bytes :
             {body, body + eol, body + eol + eol + "  \t" + eol + " ",
              // A blank line between records is skipped.
              "\"Smith, J\",12,2.5" + eol + eol + "\"Lee\",7,.75" + eol}) {
            EXPECT_EQ(texts(bytes, 6), want);
            EXPECT_EQ(test::errorof([&] { recordfields(bytes, 7); }), 62);
        }
    }
}

TEST(RecordFields, EmptyFieldsReadEmptyAndZero) {
    auto f = recordfields("\"a\",,\"\",  ,5\r\n\"b\",\r\n3\r\n", 8);
    long long v = -1;
    EXPECT_TRUE(wholenumber(f[1], v) && v == 0);
    EXPECT_TRUE(f[2].quoted && f[2].text.empty());
    EXPECT_EQ(moneyfield(f[3]), Money());
    EXPECT_EQ(intfield(f[4]), 5);
    // A comma just before the line end leaves an empty last field; the next line is not pulled in.
    EXPECT_EQ(f[5].text, "b");
    EXPECT_TRUE(emptyfield(f[6]));
    EXPECT_EQ(intfield(f[7]), 3);
}

TEST(RecordFields, QuotedFieldRunsToTheNextQuoteAndNumbersStandAsWritten) {
    auto f = recordfields("\"one, two\",\"x\"junk,4\r\n", 3);
    EXPECT_EQ(f[0].text, "one, two");
    EXPECT_EQ(f[1].text, "x");
    EXPECT_EQ(intfield(f[2]), 4);
    EXPECT_EQ(texts("  -3.50 ,0012\r\n", 2), (std::vector<std::string>{"-3.50", "0012"}));
    EXPECT_EQ(test::errorof([&] { recordfields("", 1); }), 62);
    // Field readers: text where a number belongs is error 13.
    EXPECT_EQ(test::errorof([&] { intfield(recordfields("\"12\"", 1)[0]); }), 13);
    EXPECT_EQ(test::errorof([&] { intfield(recordfields("12x", 1)[0]); }), 13);
    EXPECT_EQ(test::errorof([&] { intfield(recordfields("99999999999999999999", 1)[0]); }), 13);
    EXPECT_EQ(test::errorof([&] { moneyfield(recordfields("\"Smith\"", 1)[0]); }), 13);
}

TEST(RecordFields, ReadBackWhatTheWriterWrote) {
    RecordWriter w;
    w.str("Smith, J").num(12).num(Money::units(25000)).num(Money::dollars(10)).str("").end();
    w.num(-3).num(Money::units(-7500)).end();
    auto f = recordfields(w.bytes(), 7);
    EXPECT_EQ(f[0].text, "Smith, J");
    EXPECT_EQ(intfield(f[1]), 12);
    EXPECT_EQ(moneyfield(f[2]), Money::units(25000));
    EXPECT_EQ(moneyfield(f[3]), Money::dollars(10));
    EXPECT_TRUE(f[4].quoted && f[4].text.empty());
    EXPECT_EQ(intfield(f[5]), -3);
    EXPECT_EQ(moneyfield(f[6]), Money::units(-7500));
}

TEST(FileLines, LinesKeepTheirTextAsWritten) {
    std::vector<std::string> got;
    for (const FileLine& l : filelines("\"a\",1\r\nplain, text\nlast", FileKind::Bettors))
        got.push_back(l.text);
    EXPECT_EQ(got, (std::vector<std::string>{"\"a\",1", "plain, text", "last"}));
}

TEST(FileLines, ABettorRecordIsWholeAndRefusesAQuote) {
    EXPECT_EQ(bettorrecord(kanybettor), "1,\"AnyBettor\"\r\n");
    auto lines = filelines(bettorrecord({12, "SMITH, BOB"}), FileKind::Bettors);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].readable);
    EXPECT_EQ(lines[0].fields[1].text, "SMITH, BOB");
    EXPECT_EQ(test::errorof([] { bettorrecord({13, "SAY \"HI\""}); }), 5);
}

TEST(FileLines, FilesAreNamedAsTheOperatorKnowsThem) {
    EXPECT_EQ(betsname("C:\\Vantrope\\", roundkeys[1], 3), "C:\\Vantrope\\Round1 3Bets");
    EXPECT_EQ(betsname("E:/", roundkeys[4], 15, true), "E:/Final 15Betsbackup");
    EXPECT_EQ(filename("C:\\Vantrope\\Round1 3Bets"), "Round1 3Bets");
    EXPECT_EQ(filename("c:\\OTHER\\Bettors"), "Bettors");
    EXPECT_EQ(filename("E:/Bettors"), "E:\\Bettors");
    EXPECT_EQ(filelocation("C:\\Vantrope\\Players", 0), "Players");
    EXPECT_EQ(filelocation("C:\\Vantrope\\Players", 12), "Players, line 12");
}

}  // namespace
}  // namespace vt::test
