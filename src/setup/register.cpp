#include "app/app.h"
#include "setup/frmcpt.h"
#include "setup/frmdir.h"
#include "setup/frmimport.h"
#include "setup/frminit.h"
#include "setup/frmmenu.h"
#include "setup/frmtutor.h"

namespace vt {

void register_setup(App& app) {
    app.registerform("frminit", [](App& a) { return std::make_unique<frminit>(a); });
    app.registerform("frmmenu", [](App& a) { return std::make_unique<frmmenu>(a); });
    app.registerform("frmdir", [](App& a) { return std::make_unique<frmdir>(a); });
    app.registerform("frmimport", [](App& a) { return std::make_unique<frmimport>(a); });
    app.registerform("frmcpt", [](App& a) { return std::make_unique<frmcpt>(a); });
    app.registerform("frmtutor", [](App& a) { return std::make_unique<frmtutor>(a); });
}

}  // namespace vt
