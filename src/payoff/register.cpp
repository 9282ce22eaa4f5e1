#include "app/app.h"
#include "payoff/frmany1.h"
#include "payoff/frmpay.h"
#include "payoff/frmprint.h"
#include "payoff/frmrules.h"

namespace vt {

void register_payoff(App& app) {
    app.registerform("frmpay", [](App& a) { return std::make_unique<frmpay>(a); });
    app.registerform("frmany1", [](App& a) { return std::make_unique<frmany1>(a); });
    app.registerform("frmprint", [](App& a) { return std::make_unique<frmprint>(a); });
    app.registerform("frmrules", [](App& a) { return std::make_unique<frmrules>(a); });
}

}  // namespace vt
