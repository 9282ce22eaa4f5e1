#include "payoff3/frmany.h"
#include "payoff3/frmpaywinners.h"
#include "records/host.h"

namespace vt {

void register_payoff3(Host& app) {
    app.registerform("frmpaywinners", [](Host& a) { return std::make_unique<frmpaywinners>(a); });
    app.registerform("frmany", [](Host& a) { return std::make_unique<frmany>(a); });
}

}  // namespace vt
