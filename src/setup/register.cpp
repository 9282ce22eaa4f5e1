#include "app/app.h"
#include "app/bareform.h"

namespace vt {

void register_setup(App& app) {
    app.registerform("frminit", [](App& a) { return std::make_unique<BareForm>(a, "frminit", "frminit"); });
    app.registerform("frmmenu", [](App& a) { return std::make_unique<BareForm>(a, "frmmenu", "frmmenu"); });
    app.registerform("frmdir", [](App& a) { return std::make_unique<BareForm>(a, "frmdir", "frmdir"); });
    app.registerform("frmimport", [](App& a) { return std::make_unique<BareForm>(a, "frmimport", "frmimport"); });
    app.registerform("frmcpt", [](App& a) { return std::make_unique<BareForm>(a, "frmcpt", "frmcpt"); });
    app.registerform("frmtutor", [](App& a) { return std::make_unique<BareForm>(a, "frmtutor", "frmtutor"); });
}

}  // namespace vt
