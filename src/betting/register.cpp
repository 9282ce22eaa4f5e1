#include "app/app.h"
#include "app/bareform.h"

namespace vt {

void register_betting(App& app) {
    app.registerform("frmbet", [](App& a) { return std::make_unique<BareForm>(a, "frmbet", "frmbet"); });
    app.registerform("frmsheetg", [](App& a) { return std::make_unique<BareForm>(a, "frmsheetg", "frmsheetg"); });
}

}  // namespace vt
