#include "app/app.h"
#include "app/bareform.h"

namespace vt {

void register_reports(App& app) {
    app.registerform("frmsummary", [](App& a) { return std::make_unique<BareForm>(a, "frmsummary", "frmsummary"); });
    app.registerform("frmsumm", [](App& a) { return std::make_unique<BareForm>(a, "frmsumm", "frmsumm"); });
}

}  // namespace vt
