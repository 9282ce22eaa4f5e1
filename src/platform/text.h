#pragma once
#include <string>
#include <string_view>

namespace vt {

// Number to text with the leading blank of a non-negative number: 1 -> " 1", -3 -> "-3".
std::string Str(double x);
std::string Str(long long x);
inline std::string Str(int x) { return Str(static_cast<long long>(x)); }
inline std::string Str(long x) { return Str(static_cast<long long>(x)); }
// Number text without the leading blank (CStr-like).
std::string numtext(double x);
// Leading number of a text, 0 when there is none.
double Val(const std::string& s);
// Strict parse: the whole text (blanks around it allowed) must be a number.
bool parsenumber(const std::string& s, double& out);
bool parseint(std::string_view s, long long& out);

// Format patterns: "Currency", "$#,##0.00", "$###0.00", "#,##0.00", "###0.00", "#00.00", "0",
// "!@@@..." (left aligned) and "@@@..." (right aligned).
std::string Format(double x, const std::string& pattern);
std::string Format(const std::string& text, const std::string& pattern);
// A number written as plain decimal text ("-1234.5", exactly as it is) in one of the number
// patterns above. (Amounts: Str and Format of Money, in money.h.)
std::string formatdecimal(const std::string& plain, const std::string& pattern);

// Upper case of a-z only; Latin-1 bytes otherwise unchanged.
std::string ucase(const std::string& s);
std::string lcase(const std::string& s);
std::string trim(const std::string& s);
std::string ltrim(const std::string& s);
std::string rtrim(const std::string& s);
std::string Left(const std::string& s, long n);
std::string Right(const std::string& s, long n);
// 1-based start; n < 0 means to the end.
std::string Mid(const std::string& s, long start, long n = -1);
std::string Space(long n);
// 1-based position of needle in s from start, 0 when absent.
long InStr(const std::string& s, const std::string& needle, long start = 1);
// The one case-insensitive rule: fold a-z to upper case, then compare bytes.
int comparenocase(const std::string& a, const std::string& b);
bool equalsnocase(const std::string& a, const std::string& b);
// "zzz" in any case: the deleted-record marker.
bool iszzz(const std::string& s);

}  // namespace vt
