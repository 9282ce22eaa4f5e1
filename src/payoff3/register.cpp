#include "app/app.h"
#include "payoff3/frmany.h"
#include "payoff3/frmpaywinners.h"

namespace vt {

void register_payoff3(App& app) {
    app.registerform("frmpaywinners", [](App& a) { return std::make_unique<frmpaywinners>(a); });
    app.registerform("frmany", [](App& a) { return std::make_unique<frmany>(a); });
}

}  // namespace vt
