#include "app/app.h"
#include "app/bareform.h"
#include "setup/frminit.h"
#include "setup/frmmenu.h"
#include "setup/frmtutor.h"

namespace vt {

void register_setup(App& app) {
    app.registerform("frminit", [](App& a) { return std::make_unique<frminit>(a); });
    app.registerform("frmmenu", [](App& a) { return std::make_unique<frmmenu>(a); });
    app.registerform("frmdir", [](App& a) { return std::make_unique<BareForm>(a, "frmdir", "frmdir"); });
    app.registerform("frmimport", [](App& a) { return std::make_unique<BareForm>(a, "frmimport", "frmimport"); });
    app.registerform("frmcpt", [](App& a) { return std::make_unique<BareForm>(a, "frmcpt", "frmcpt"); });
    app.registerform("frmtutor", [](App& a) { return std::make_unique<frmtutor>(a); });
}

}  // namespace vt
