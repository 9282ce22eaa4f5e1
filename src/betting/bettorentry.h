#pragma once
#include <string>

#include "records/shared.h"

namespace vt {

class Host;

// The row of bettors a typed text names: the exact name first, else an all-digit text that is a
// ticket number in use; 0 when neither.
long findbettor(const Shared& sh, const std::string& text);

// Makes the name a new bettor with the next free ticket number and rewrites the Bettors file.
// Refuses a blank name, "zzz", a double quote or control character, a full table or a Bettors file
// not read whole, each with a message. The bettor is announced (name & " added", titled `title`)
// only once the file holds it. Returns the new ticket number, 0 when refused or not written.
long addbettor(Host& app, const std::string& name, const std::string& title);

}  // namespace vt
