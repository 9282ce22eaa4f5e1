#include "app/app.h"
#include "betting/frmbet.h"
#include "betting/frmsheetg.h"

namespace vt {

void register_betting(App& app) {
    app.registerform("frmbet", [](App& a) { return std::make_unique<frmbet>(a); });
    app.registerform("frmsheetg", [](App& a) { return std::make_unique<frmsheetg>(a); });
}

}  // namespace vt
