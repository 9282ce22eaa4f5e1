#pragma once
#include <string>

namespace vt {

// Why a name cannot be stored, or "" when it can: the record syntax has no way to hold a double
// quote, and "zzz" in any case is the deleted-record mark.
std::string namerefusal(const std::string& name);

}  // namespace vt
