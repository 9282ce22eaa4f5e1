#include "betting/frmbet.h"
#include "betting/frmsheetg.h"
#include "records/host.h"

namespace vt {

void register_betting(Host& app) {
    app.registerform("frmbet", [](Host& a) { return std::make_unique<frmbet>(a); });
    app.registerform("frmsheetg", [](Host& a) { return std::make_unique<frmsheetg>(a); });
}

}  // namespace vt
