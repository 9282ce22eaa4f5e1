#include "app/app.h"
#include "app/bareform.h"

namespace vt {

void register_payoff3(App& app) {
    app.registerform("frmpaywinners", [](App& a) { return std::make_unique<BareForm>(a, "frmpaywinners", "frmpaywinners"); });
    app.registerform("frmany", [](App& a) { return std::make_unique<BareForm>(a, "frmany", "frmany"); });
}

}  // namespace vt
