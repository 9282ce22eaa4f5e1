#include "records/host.h"
#include "setup/frmcpt.h"
#include "setup/frmdir.h"
#include "setup/frmimport.h"
#include "setup/frminit.h"
#include "setup/frmmenu.h"
#include "setup/frmtutor.h"

namespace vt {

void register_setup(Host& app) {
    app.registerform("frminit", [](Host& a) { return std::make_unique<frminit>(a); });
    app.registerform("frmmenu", [](Host& a) { return std::make_unique<frmmenu>(a); });
    app.registerform("frmdir", [](Host& a) { return std::make_unique<frmdir>(a); });
    app.registerform("frmimport", [](Host& a) { return std::make_unique<frmimport>(a); });
    app.registerform("frmcpt", [](Host& a) { return std::make_unique<frmcpt>(a); });
    app.registerform("frmtutor", [](Host& a) { return std::make_unique<frmtutor>(a); });
}

}  // namespace vt
