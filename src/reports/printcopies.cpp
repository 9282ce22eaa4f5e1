#include "reports/printcopies.h"

#include <cmath>

#include "platform/text.h"
#include "records/host.h"

namespace vt {

long askcopies(Host& app, const std::string& title) {
    double n = Val(app.inputbox("Enter number of forms to print", title, "1"));
    if (n == 0) return 0;
    if (n < 1 || n > 100) return 1;
    return static_cast<long>(std::floor(n));
}

void printcopies(Host& app, long copies, const std::string& document,
                 const std::function<void(Printer&)>& body) {
    Printer& p = app.printer();
    for (long c = 1; c <= copies; ++c) {
        DocGuard guard(p, document);
        body(p);
        if (!app.enddoc()) return;
    }
}

}  // namespace vt
