#include "names/namecheck.h"

#include "platform/text.h"

namespace vt {

std::string namerefusal(const std::string& name) {
    if (name.find('"') != std::string::npos) return "A name cannot contain a double quote (\")";
    if (iszzz(name)) return "ZZZ cannot be used as a name";
    return "";
}

}  // namespace vt
