#pragma once
#include <stdexcept>
#include <string>

namespace vt {

// A file error with the old platform's number and text ("53 File not found"), and the logical
// path of the file it happened on and the line there when they are known.
struct FileError : std::runtime_error {
    int number;
    std::string text;
    std::string file;  // logical path; empty when no one file is concerned
    long line = 0;     // 1-based line of the file; 0 when not known
    // A bad record or an over-full file: the box sends the operator to Fix Files.
    bool checkfile = false;
    // What the operator can do about it, told on the box's last line.
    std::string advice;
    // The title of its box: what the file was staged or written for ("Bets Output"); empty when
    // that is not known where it happened.
    std::string title;
    FileError(int n, std::string t)
        : std::runtime_error(std::to_string(n) + " " + t), number(n), text(std::move(t)) {}
    // The message of the file-error box: number, a blank, the text.
    // Str(number) & " " & text: a non-negative number carries its leading blank.
    std::string message() const {
        std::string n = std::to_string(number);
        if (number >= 0) n.insert(n.begin(), ' ');
        return n + " " + text;
    }
};

// The old platform's text of an error number.
std::string errortext(int number);
[[noreturn]] void throwfileerror(int number);
// Throws error `number` on a file (its logical path), at a line of it when line > 0.
[[noreturn]] void throwfileerror(int number, const std::string& file, long line = 0);

// Gives an error the file it happened on, unless it names one already.
inline void nameerror(FileError& e, const std::string& logical) {
    if (e.file.empty()) e.file = logical;
}

// The name a message gives a file: the name the data files are known by ("Round1 3Bets",
// "Bettors"); a file on a removable drive keeps its drive ("E:\Bettors").
std::string filename(const std::string& logical);
// The second line of a file-error box: the file's name and the line when known.
std::string filelocation(const std::string& logical, long line);

}  // namespace vt
