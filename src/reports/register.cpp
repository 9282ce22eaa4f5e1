#include "app/app.h"
#include "reports/frmsumm.h"
#include "reports/frmsummary.h"

namespace vt {

void register_reports(App& app) {
    app.registerform("frmsummary", [](App& a) { return std::make_unique<frmsummary>(a); });
    app.registerform("frmsumm", [](App& a) { return std::make_unique<frmsumm>(a); });
}

}  // namespace vt
