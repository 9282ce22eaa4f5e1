// The one reader of the data files: which lines are records, where the records end, and the
// bytes of an append.
#include "records/filelines.h"

#include <gtest/gtest.h>

#include <random>

#include "errorof.h"
#include "records/recordsutil.h"

namespace vt::test {
namespace {

struct Classified {
    long number;
    bool readable, ended;
};

std::vector<Classified> classify(const std::string& bytes, FileKind kind) {
    std::vector<Classified> out;
    for (const FileLine& l : filelines(bytes, kind)) out.push_back({l.number, l.readable, l.ended});
    return out;
}

TEST(FileLines, ALineIsARecordOnlyWhenWhole) {
    struct Case {
        const char* line;
        FileKind kind;
        bool readable;
    };
    const Case cases[] = {
        {"7,1,\"\",\"CAR\"", FileKind::Players, true},
        {"7,1,\"\",CAR", FileKind::Players, true},  // bare text is text
        {"7,1,\"\",\"CAR", FileKind::Players, false},
        {"9,1,\"\",SNEDEKER-BRANDT\"", FileKind::Players, false},
        {"9,1,\"\",\"SNEDEKER\"-BRANDT", FileKind::Players, false},
        {"9,1,\"\",\"A\" ", FileKind::Players, true},  // blanks after a quote
        {"x,1,\"\",\"A\"", FileKind::Players, false},
        {"13,\"JONES", FileKind::Bettors, false},
        {"13,\"JONES\",", FileKind::Bettors, false},
        // An empty number field is a record cut short, not a 0; only text may be empty.
        {",\"JONES\"", FileKind::Bettors, false},
        {"3,2,1,", FileKind::Bets, false},
        {"3,2,1, ", FileKind::Bets, false},
        {"3,,1,2", FileKind::Bets, false},
        {",2,1,2", FileKind::Bets, false},
        {"7,,\"\",\"CAR\"", FileKind::Players, false},
        {"7,1,,\"CAR\"", FileKind::Players, true},
        {"7,1,\"\",\"\"", FileKind::Players, true},
        {"13,\"\"", FileKind::Bettors, true},
        {"12,7,", FileKind::Bets, false},
        {"12,7,3,1.25", FileKind::Bets, true},
        {"12,7,3,.75", FileKind::Bets, true},
        {"12,7,3,1.2.5", FileKind::Bets, false},
        {"12,7,3,\"1\"", FileKind::Bets, false},
        // Number fields are whole numbers: bare digits with a sign, under 2e9.
        {" 12 ,+7,3,1", FileKind::Bets, true},
        {"12.5,7,3,1", FileKind::Bets, false},
        {"12,7.0,3,1", FileKind::Bets, false},
        {"12,1e1,3,1", FileKind::Bets, false},
        {"\"12\",7,3,1", FileKind::Bets, false},
        {"1999999999,\"JONES\"", FileKind::Bettors, true},
        {"2000000000,\"JONES\"", FileKind::Bettors, false},
        {"-1999999999,\"JONES\"", FileKind::Bettors, true},
        {"", FileKind::Bets, false},
        // A number too large for any reader, or no number where one belongs.
        {"2,7,1,99999999999999999999999", FileKind::Bets, false},
        {"99999999999999999999999,7,1,1", FileKind::Bets, false},
        {"2,7,1,abc", FileKind::Bets, false},
        {"9,x,\"\",\"A\"", FileKind::Players, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        // In the middle of a file, between two good records.
        std::string good = c.kind == FileKind::Bettors ? "1,\"A\""
                           : c.kind == FileKind::Bets  ? "1,1,1,1"
                                                       : "1,1,\"\",\"A\"";
        const std::string bytes = good + "\r\n" + c.line + "\r\n" + good + "\r\n";
        auto lines = classify(bytes, c.kind);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[1].number, 2);
        EXPECT_EQ(lines[1].readable, c.readable);
        EXPECT_TRUE(lines[0].readable && lines[2].readable);
        // A Bets record is exactly a line that reads whole as a bet.
        if (c.kind == FileKind::Bets) {
            EXPECT_EQ(linebet(filelines(bytes, c.kind)[1].fields).whole, c.readable);
        }
    }
}

// Bets lines as the program writes them are read by a short road: every line of digits, commas
// and points must read there exactly as it does with blanks around its fields, which take the
// full road.
TEST(FileLines, ABetsLineReadsAlikeWithOrWithoutBlanksAroundItsFields) {
    std::mt19937 rng(11);
    const char alphabet[] = "0123456789,.";
    int plain = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string line;
        // Mostly four fields of a few digits, sometimes anything of the alphabet.
        if (rng() % 4) {
            for (int f = 0; f < 4; ++f) {
                if (f) line += ',';
                for (size_t d = rng() % 14; d > 0; --d) line += char('0' + rng() % 10);
                if (f == 3 && rng() % 2) line += '.';
                if (f == 3)
                    for (size_t d = rng() % 6; d > 0; --d) line += char('0' + rng() % 10);
            }
        } else {
            for (size_t k = rng() % 24; k > 0; --k) line += alphabet[rng() % 12];
        }
        std::string spaced = " ";
        for (char c : line) spaced += c == ',' ? std::string(" , ") : std::string(1, c);
        spaced += " ";
        SCOPED_TRACE(line);
        auto a = filelines(line + "\r\n1,1,1,1\r\n", FileKind::Bets);
        auto b = filelines(spaced + "\r\n1,1,1,1\r\n", FileKind::Bets);
        ASSERT_EQ(a.size(), b.size());
        if (a.size() < 2) continue;
        EXPECT_EQ(a[0].readable, b[0].readable);
        plain += a[0].readable;
        ASSERT_EQ(a[0].fields.size(), b[0].fields.size());
        for (size_t f = 0; f < a[0].fields.size(); ++f) {
            EXPECT_EQ(a[0].fields[f].text, b[0].fields[f].text);
            EXPECT_EQ(a[0].fields[f].quoted, b[0].fields[f].quoted);
        }
        LineBet x = linebet(a[0].fields), y = linebet(b[0].fields);
        EXPECT_EQ(x.whole, y.whole);
        EXPECT_EQ(x.bet.bettor, y.bet.bettor);
        EXPECT_EQ(x.bet.amount, y.bet.amount);
    }
    EXPECT_GT(plain, 3000);  // the short road was taken often
}

// A line looked at where it stands is the line read whole: the same text, number, record or not,
// the numbers its fields name and, asked for, the same fields, whichever road it took.
TEST(FileLines, ALineLookedAtIsTheLineReadWhole) {
    std::mt19937 rng(5);
    const char alphabet[] = "0123456789,,,.\" -+a\t";
    for (int n = 0; n < 3000; ++n) {
        std::string bytes;
        for (int l = 0; l < 6; ++l) {
            if (rng() % 2) {
                bytes += std::to_string(rng() % 2000) + "," + std::to_string(rng() % 1000) + "," +
                         std::to_string(rng() % 4) + "," + std::to_string(rng() % 100000) +
                         (rng() % 2 ? ".25" : "");
            } else {
                for (size_t k = rng() % 20; k > 0; --k) bytes += alphabet[rng() % 21];
            }
            bytes += l % 3 ? "\r\n" : "\n";
        }
        SCOPED_TRACE(bytes);
        for (FileKind kind : {FileKind::Bets, FileKind::Players}) {
            LineCursor whole(bytes, kind), looked(bytes, kind);
            FileLine a;
            LineView b;
            while (whole.next(a)) {
                ASSERT_TRUE(looked.next(b));
                EXPECT_EQ(std::string(b.text()), a.text);
                EXPECT_EQ(b.number(), a.number);
                EXPECT_EQ(b.readable(), a.readable);
                for (size_t i = 0; i < 6; ++i) {
                    long long x = -1, y = -1;
                    bool named = namednumber(a, i, x);
                    EXPECT_EQ(b.names(i, y), named) << "field " << i;
                    if (named) {
                        EXPECT_EQ(y, x) << "field " << i;
                    }
                }
                const FileLine& c = b.whole();
                EXPECT_EQ(c.text, a.text);
                EXPECT_EQ(c.readable, a.readable);
                EXPECT_EQ(c.begin, a.begin);
                EXPECT_EQ(c.end, a.end);
                EXPECT_EQ(c.ended, a.ended);
                ASSERT_EQ(c.fields.size(), a.fields.size());
                for (size_t i = 0; i < a.fields.size(); ++i) {
                    EXPECT_EQ(c.fields[i].text, a.fields[i].text);
                    EXPECT_EQ(c.fields[i].quoted, a.fields[i].quoted);
                }
            }
            EXPECT_FALSE(looked.next(b));
        }
    }
}

// What a field names: a whole number standing alone; an empty, quoted or missing field names
// nothing, and neither does a field past the last of a record in the written form.
TEST(FileLines, AFieldNamesANumberOnlyWhenItHoldsOne) {
    std::string bytes = "12,345,1,25.5\r\n12, 7 ,\"3\",,x\r\n";
    LineCursor lines(bytes, FileKind::Bets);
    LineView line;
    long long v = 0;
    ASSERT_TRUE(lines.next(line));
    EXPECT_TRUE(line.names(1, v));
    EXPECT_EQ(v, 345);
    EXPECT_FALSE(line.names(3, v));  // an amount
    EXPECT_FALSE(line.names(4, v));  // none
    ASSERT_TRUE(lines.next(line));
    EXPECT_FALSE(line.readable());
    EXPECT_TRUE(line.names(1, v));
    EXPECT_EQ(v, 7);
    EXPECT_FALSE(line.names(2, v));  // quoted
    EXPECT_FALSE(line.names(3, v));  // empty
    EXPECT_FALSE(line.names(4, v));  // text
    EXPECT_FALSE(line.names(5, v));  // none
}

TEST(FileLines, BlankLinesEndTheFileOnlyAfterTheLastRecord) {
    auto lines = classify("1,1,1,1\n\r\n  \r2,2,2,2\r\n\r\n \t\r\n\x1a", FileKind::Bets);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_FALSE(lines[1].readable);
    EXPECT_FALSE(lines[2].readable);
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
         {"12,7,3,1.25\r\n12,7,", "12,7,3,1.25\r\n\r\n1,1,1,1\r\n", "1,1,1,1\r\n9,1,1,\"2\r\n",
          "1,1,1,1\r\n2,7,1,abc\r\n", "1,1,1,1\r\n2,7,1,99999999999999999999999"}) {
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

// Lines read from an earlier reading of the file are the lines a fresh reading gives, whatever
// changed: appends, removals, lines edited in place, line ends split or joined, blank tails.
TEST(LineSplice, ReadsEveryChangeAsAFreshReadingDoes) {
    const char* pieces[] = {"1,7,1,5", "2,3,2,12.5", "1,x,1,5", "1,7,1",   " ",  "\"a",
                            "9,9,9,9", "",           "1,7,1,5", "3,3,3,3", "\t", "7,1,1,.75"};
    const char* ends[] = {"\r\n", "\n", "\r", "\r\n", ""};
    std::mt19937 rnd(7);
    auto pick = [&](size_t n) { return static_cast<size_t>(rnd() % n); };
    auto randomline = [&] { return std::string(pieces[pick(12)]) + ends[pick(4)]; };
    auto same = [](const std::vector<FileLine>& a, const std::vector<FileLine>& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            const FileLine &x = a[i], &y = b[i];
            if (x.begin != y.begin || x.end != y.end || x.number != y.number || x.text != y.text ||
                x.readable != y.readable || x.ended != y.ended ||
                x.fields.size() != y.fields.size())
                return false;
            for (size_t f = 0; f < x.fields.size(); ++f)
                if (x.fields[f].text != y.fields[f].text ||
                    x.fields[f].quoted != y.fields[f].quoted)
                    return false;
        }
        return true;
    };
    for (int round = 0; round < 4000; ++round) {
        std::vector<std::string> lines(pick(8));
        for (auto& l : lines) l = randomline();
        std::string before;
        for (auto& l : lines) before += l;
        if (pick(3) == 0) before += ends[pick(5)];  // a blank tail
        std::string now;
        switch (pick(5)) {
            case 0:  // records appended
                now = before + randomline() + (pick(2) ? randomline() : "");
                break;
            case 1:  // one line removed, as Fix Files removes it
                if (!lines.empty()) {
                    auto old = filelines(before, FileKind::Bets);
                    now = old.empty() ? before : withoutline(before, old[pick(old.size())]);
                } else {
                    now = randomline();
                }
                break;
            case 2:  // a byte changed, dropped or added anywhere
            {
                now = before;
                size_t at = pick(now.size() + 1);
                const char bytes[] = "\r\n1,x\" ";
                if (at < now.size() && pick(2))
                    now[at] = bytes[pick(7)];
                else if (at < now.size())
                    now.erase(at, 1);
                else
                    now += bytes[pick(7)];
                break;
            }
            case 3:  // a line inserted in the middle
                now = before;
                now.insert(pick(now.size() + 1), randomline());
                break;
            default:  // another file altogether
                now = randomline() + randomline();
        }
        SCOPED_TRACE(testing::PrintToString(before) + " -> " + testing::PrintToString(now));
        auto fresh = filelines(now, FileKind::Bets);
        ASSERT_TRUE(same(
            splicelines(before, filelines(before, FileKind::Bets), now, FileKind::Bets), fresh));
        // Lines read only up to a limit, before and after.
        size_t cap = pick(5) + 1;
        auto part = filelines(before, FileKind::Bets, cap);
        bool partial = filelines(before, FileKind::Bets).size() > part.size();
        ASSERT_TRUE(same(splicelines(before, part, now, FileKind::Bets, cap, partial),
                         filelines(now, FileKind::Bets, cap)));
    }
}

TEST(LineSplice, KeepsTheUnchangedLinesAndReadsOnlyTheChange) {
    std::string before = "1,7,1,5\r\n2,7,1,5\r\n3,7,1,5\r\n4,7,1,5\r\n";
    auto old = filelines(before, FileKind::Bets);
    std::vector<size_t> ends;
    for (const FileLine& l : old) ends.push_back(l.end);
    FileLine line;

    std::string appended = before + "5,7,1,5\r\n";
    LineSplice append(before, ends, appended, FileKind::Bets);
    EXPECT_EQ(append.head(), 4u);
    ASSERT_TRUE(append.next(line));
    EXPECT_EQ(line.number, 5);
    EXPECT_FALSE(append.next(line));

    std::string removed = withoutline(before, old[1]);
    LineSplice remove(before, ends, removed, FileKind::Bets);
    EXPECT_EQ(remove.head(), 1u);
    EXPECT_FALSE(remove.next(line));
    EXPECT_EQ(remove.tail(), 2u);
    EXPECT_EQ(remove.moved(), -9);
    EXPECT_EQ(remove.renumber(), -1);

    // A last line without its line end is read again when the file grows.
    std::string open = "1,7,1,5\r\n2,7,1,5";
    auto openlines = filelines(open, FileKind::Bets);
    std::vector<size_t> openends{openlines[0].end, openlines[1].end};
    std::string grownbytes = open + "0\r\n";
    LineSplice grown(open, openends, grownbytes, FileKind::Bets);
    EXPECT_EQ(grown.head(), 1u);
    ASSERT_TRUE(grown.next(line));
    EXPECT_EQ(line.text, "2,7,1,50");
}

}  // namespace
}  // namespace vt::test
