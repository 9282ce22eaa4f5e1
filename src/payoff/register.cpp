#include "payoff/frmany1.h"
#include "payoff/frmpay.h"
#include "payoff/frmprint.h"
#include "payoff/frmrules.h"
#include "records/host.h"

namespace vt {

void register_payoff(Host& app) {
    app.registerform("frmpay", [](Host& a) { return std::make_unique<frmpay>(a); });
    app.registerform("frmany1", [](Host& a) { return std::make_unique<frmany1>(a); });
    app.registerform("frmprint", [](Host& a) { return std::make_unique<frmprint>(a); });
    app.registerform("frmrules", [](Host& a) { return std::make_unique<frmrules>(a); });
}

}  // namespace vt
