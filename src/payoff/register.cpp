#include "app/app.h"
#include "app/bareform.h"
#include "payoff/frmpay.h"

namespace vt {

void register_payoff(App& app) {
    app.registerform("frmpay", [](App& a) { return std::make_unique<frmpay>(a); });
    app.registerform("frmany1", [](App& a) { return std::make_unique<BareForm>(a, "frmany1", "frmany1"); });
    app.registerform("frmprint", [](App& a) { return std::make_unique<BareForm>(a, "frmprint", "frmprint"); });
    app.registerform("frmrules", [](App& a) { return std::make_unique<BareForm>(a, "frmrules", "frmrules"); });
}

}  // namespace vt
