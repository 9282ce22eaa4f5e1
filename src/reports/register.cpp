#include "records/host.h"
#include "reports/frmsumm.h"
#include "reports/frmsummary.h"

namespace vt {

void register_reports(Host& app) {
    app.registerform("frmsummary", [](Host& a) { return std::make_unique<frmsummary>(a); });
    app.registerform("frmsumm", [](Host& a) { return std::make_unique<frmsumm>(a); });
}

}  // namespace vt
