#pragma once
// The lines of a data file, each with the fields it holds. Records are one to a line; a line
// that does not hold one whole record is a bad record, shown and removed on its own.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "records/shared.h"

namespace vt {

class Context;

// The three kinds of data file and the fields of their records: Players (entry, flight, field 3,
// name), Bettors (bettor, name), Bets (bettor, entry, type, amount).
enum class FileKind { Players, Bettors, Bets };
size_t fieldcount(FileKind kind);

// The most bytes a line of a record takes: a longer line is damage, not a record.
inline constexpr size_t kmaxrecordline = 1024;
// Refuses, before a byte of it is read, a data file larger than a file of `capacity` records
// (and one record more, told of as over the capacity) can be: FileError 7 (Out of memory)
// naming `path`. A file that is not on disk (staged, missing) passes; its reading tells.
void checkrecordfilesize(const Files& files, const std::string& path, long capacity);
// The size in bytes above which checkrecordfilesize() refuses a file.
long long recordfilelimit(long capacity);

// Splits one line into its fields (the record syntax: fields split by commas, text in double
// quotes running to the next quote, bare fields without the blanks around them; a comma at the
// end leaves an empty last field), reusing the storage of `out`. False when the line breaks the
// syntax: a quote left open, something after a closing quote, a quote inside a bare field; the
// fields are given all the same. The one field parser of every file the program reads.
bool splitfields(const std::string& text, std::vector<Field>& out);
// The first `count` fields of a file read in sequence, as a record of that many fields is read:
// line ends close fields like commas, blank lines are skipped. Error 62 (Input past end of file)
// when the file holds fewer.
std::vector<Field> recordfields(const std::string& bytes, size_t count);

// One line of a file: where its bytes lie (its line end included), its number and its fields.
// A line is `readable` - a record - only when it holds exactly the fields of its file, every
// quote is closed, nothing follows a closing quote but the comma, and every number field holds
// a number the readers take (wholenumber(), an amount for a bet's amount). Anything else (a cut
// record, `3,2,1,` cut after its last comma included, a stray quote, an empty line between
// records, "abc", nothing or a number out of range where a number belongs; only a text field
// may be empty) is a bad record: no reader takes it, Fix Files flags it, and it blocks every
// rewrite and append of its file. The one rule of every reader and writer.
struct FileLine {
    size_t begin = 0, end = 0;
    long number = 0;   // 1-based line number in the file
    std::string text;  // the line without its end
    std::vector<Field> fields;
    bool readable = false;
    bool ended = false;  // the line end is there (only the last line may lack it)
};

// A line as LineCursor reads it, looked at where it stands, for a reader that goes through many
// lines and keeps few: a line in the written form (see LineCursor) is seen in the file's bytes,
// its fields not copied; any other line is read whole. It holds until the cursor reads on, and
// the file's bytes must outlive it.
class LineView {
  public:
    std::string_view text() const { return text_; }
    long number() const { return whole_.number; }
    bool readable() const { return readable_; }
    // The number field i names (namednumber() of the line read whole).
    bool names(size_t i, long long& out) const;
    // The line read whole, as LineCursor::next(FileLine&) reads it.
    const FileLine& whole();

  private:
    friend class LineCursor;
    std::string_view text_;
    std::string_view written_[4];  // the fields of a line in the written form
    bool filled_ = false;          // whole_ holds the line's text and fields
    bool readable_ = false;
    FileLine whole_;  // where the line lies always; its text and fields once filled_
};

// The lines of a file one at a time, read into one FileLine whose storage is reused: a long file
// is read without an allocation per line. Every line up to the last one holding something is
// given, bad ones included; blank lines and white space after it are the end of the file.
// A Bets line in the form the program writes it ("12,345,1,25.5": three numbers of one to nine
// digits, then an amount of one to twelve digits with up to four decimals) is told at a glance,
// with the very fields the full reading gives it; any other is read in full.
class LineCursor {
  public:
    LineCursor(const std::string& bytes, FileKind kind);
    // Reading on from a line's start `from`, the line there numbered `number` + 1.
    LineCursor(const std::string& bytes, FileKind kind, size_t from, long number);
    bool next(FileLine& line);
    bool next(LineView& line);
    // The next line's bytes only, as next() finds them (begin, and length without its line
    // end), its fields not split: for a reader that wants where the lines lie.
    bool nextspan(size_t& begin, size_t& length);
    // Where the next line starts.
    size_t position() const { return pos_; }
    // Where the lines end: the end of the last byte that is not blank.
    size_t contentend() const { return contentend_; }

  private:
    // Where the line nextspan() gave lies, in `line`.
    void place(FileLine& line, size_t begin, size_t length) const;
    // Whether a line is in the written form, with its fields.
    bool written(std::string_view text, std::string_view (&fields)[4]) const;
    // Splits the text of `line` into its fields and tells whether it is a record.
    void readfull(FileLine& line) const;

    const std::string& bytes_;
    FileKind kind_;
    size_t pos_ = 0, contentend_ = 0;
    long number_ = 0;
};
// The lines of a file's new bytes read from the lines already read of its old bytes: the old
// lines the new bytes hold unchanged at their start are kept as they were (head()), the lines
// after them are read (next()) until the rest of the file is, byte for byte, old lines moved
// (tail()). Each line reads as LineCursor reads it from scratch: the bytes themselves are
// compared, so nothing about how the file changed is taken on trust.
class LineSplice {
  public:
    // `ends`: where each line the cursor gave for the old bytes ends (its line end included).
    // The tail is taken only from old lines at or after `tailfrom` (a caller whose old lines
    // stop short of the file, or whose later lines hold what their numbers say, passes more).
    LineSplice(const std::string& before, const std::vector<size_t>& ends, const std::string& now,
               FileKind kind, size_t tailfrom = 0);
    // It reads `now` and `ends` as it goes: they must outlive it.
    LineSplice(const std::string&, const std::vector<size_t>&, std::string&&, FileKind,
               size_t = 0) = delete;
    LineSplice(const std::string&, std::vector<size_t>&&, const std::string&, FileKind,
               size_t = 0) = delete;
    // The first head() old lines are the new file's first lines, unchanged.
    size_t head() const { return head_; }
    // The next line to read; false at the end of the file, or where the rest of the file is the
    // old lines from tail() on.
    bool next(FileLine& line);
    // The first old line of the tail (ends.size() when there is none); each of its lines lies
    // moved() bytes further on in the new file and numbered renumber() more.
    size_t tail() const { return tail_; }
    long long moved() const { return moved_; }
    long renumber() const { return renumber_; }

  private:
    const std::string& now_;
    const std::vector<size_t>& ends_;
    size_t head_ = 0;
    LineCursor cursor_;
    size_t tail_ = 0, suffix_ = 0, tailfrom_ = 0;
    long long moved_ = 0;
    long renumber_ = 0, read_ = 0;
    static size_t headof(const std::string& before, const std::vector<size_t>& ends,
                         const std::string& now, FileKind kind);
};
// Up to `limit` lines of a file's new bytes, as filelines() gives them, read with a LineSplice
// from `old`, the lines read of its old bytes (taken apart here). `partial`: `old` stops short
// of the old file's last line.
std::vector<FileLine> splicelines(const std::string& before, std::vector<FileLine> old,
                                  const std::string& now, FileKind kind, size_t limit = SIZE_MAX,
                                  bool partial = false);
// Up to `limit` lines of a file, as the cursor gives them.
std::vector<FileLine> filelines(const std::string& bytes, FileKind kind, size_t limit = SIZE_MAX);
// The file's bytes without that line (its line end included); every other byte is kept.
std::string withoutline(const std::string& bytes, const FileLine& line);

// The error of a line that is not a record of its file: 13 Type mismatch, naming the file and the
// line; its box sends the operator to Fix Files.
FileError badline(const std::string& path, const FileLine& line);
[[noreturn]] void throwbadline(const std::string& path, const FileLine& line);
// Throws badline() for the first line of a file's bytes that is not a record of its kind.
void checklines(const std::string& path, const std::string& bytes, FileKind kind);
// The bytes of a file with records appended, under the rule that an append never joins two
// records: FileError (as throwbadline) when a line of the file is not a record; a last record
// without its line end gets one first. White space after the last record is dropped.
std::string appendedbytes(const std::string& path, const std::string& bytes, FileKind kind,
                          const std::string& records);
// Appends records to a data file, in the open transaction when there is one, under that rule.
// A missing file is created; one larger than `capacity` records can be is refused unread; one
// emptied or missing while its backup holds records is refused (emptiedfile()).
void appendrecords(Files& files, const std::string& path, FileKind kind, const std::string& records,
                   long capacity);

// A whole-number field, the one rule of every reader of the data files: bare (not quoted), an
// empty field reads 0, otherwise an optional sign and digits, less than 2e9 in size. False for
// anything else ("12.5", "1e3", "\"12\"").
bool wholenumber(const Field& f, long long& out);
// A field that holds nothing but blanks.
bool emptyfield(const Field& f);
// The number field i of a line names, whether the line is a record or not: false when the line
// holds no field i, or one that is empty or no whole number.
bool namednumber(const FileLine& line, size_t i, long long& out);

// The fields of one Bets line read as a bet: `whole` when the four fields read as a bet (none of
// them empty); `hasbettor` when the bettor field names a bettor, whatever the rest holds.
struct LineBet {
    Bet bet;
    bool whole = false, hasbettor = false;
};
LineBet linebet(const std::vector<Field>& fields);
// One bet record as it stands in a Bets file: bettor, entry, type, amount, CR LF.
std::string betrecord(const Bet& bet);
// One bettor record as it stands in a Bettors file: number, quoted name, CR LF (error 5 when the
// name holds a double quote or a line end).
std::string bettorrecord(const Bettor& bettor);

// A Players, Bettors or Bets file that holds no record (empty, blank or missing) while its backup
// holds lines was emptied by damage, not by the program: every operation that empties such a file
// empties its backup with it. It is not read as empty: nothing is written or imported over it.
// The backup beside a data file ("Bettors" -> "Bettorsbackup"); "" for a backup itself.
std::string backupof(const std::string& path);
// True when the file's backup is there and holds a line (one that cannot be read counts too).
bool backupholdslines(const Files& files, const std::string& path);
// The error of such a file, naming it and sending the operator to Use Backup Files: 53 (File not
// found) when it is missing, 62 (Input past end of file) when it is there without a record. When
// the backup cannot be read, the backup's own error, saying so.
FileError emptiedfile(const Files& files, const std::string& path, bool missing);
// Throws emptiedfile() when `bytes` (the file's contents, nullptr when it is missing) hold no line
// while the backup holds some.
void checknotemptied(const Files& files, const std::string& path, const std::string* bytes);

// Every entry and bettor number some record names: Players, Playersbackup, Bettors,
// Bettorsbackup (and the bettors their identity files name, deleted ones included), and the Bets
// and Betsbackup files of every round and flight. A new number is
// never one of these, so no one inherits another's bets or records.
struct NumbersInUse {
    std::set<long long> entries, bettors;
};
// Reads every file (a missing one names nothing); false after a read error, shown in its box.
bool numbersinuse(Context& cx, NumbersInUse& out);
// The first number from `from` (at least `lowest`) that is not in use and not the 999 / 9999
// marker.
long freenumber(const std::set<long long>& used, long from, long lowest);

// Reads the data folder's Players and Bettors files and every round's and flight's Bets and
// Betsbackup files, as an operation that changes them all must before it writes the first: false
// after the box of the first one that holds a line that is not a record, or that was emptied
// while its backup holds records. `nothing` (when given) ends that box, saying what was not done.
bool checkdatafiles(Context& cx, const std::string& nothing = "");

}  // namespace vt
