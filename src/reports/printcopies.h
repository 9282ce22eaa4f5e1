#pragma once
#include <functional>
#include <string>

#include "platform/printer.h"

namespace vt {

class Host;

// Asks "Enter number of forms to print" under the report's title. The leading number of the
// answer counts; 0, an empty answer or Cancel gives 0; below 1 or above 100 gives 1; a fraction
// is dropped (2.5 gives 2).
long askcopies(Host& app, const std::string& title);

// Prints `copies` documents, each one built by body and ended on its own. A printer failure is
// shown once and stops the remaining copies.
void printcopies(Host& app, long copies, const std::string& document,
                 const std::function<void(Printer&)>& body);

}  // namespace vt
