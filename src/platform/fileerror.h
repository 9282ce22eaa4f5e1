#pragma once
#include <stdexcept>
#include <string>

namespace vt {

// A file error with the old platform's number and text ("53 File not found").
struct FileError : std::runtime_error {
    int number;
    std::string text;
    FileError(int n, std::string t) : std::runtime_error(std::to_string(n) + " " + t), number(n), text(std::move(t)) {}
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

}  // namespace vt
