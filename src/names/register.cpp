#include "names/frmbettor.h"
#include "names/frmentries.h"
#include "names/frmfix.h"
#include "records/host.h"

namespace vt {

void register_names(Host& app) {
    app.registerform("frmentries", [](Host& a) { return std::make_unique<frmentries>(a); });
    app.registerform("frmbettor", [](Host& a) { return std::make_unique<frmbettor>(a); });
    app.registerform("frmfix", [](Host& a) { return std::make_unique<frmfix>(a); });
}

}  // namespace vt
