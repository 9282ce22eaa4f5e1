#include "app/app.h"
#include "names/frmbettor.h"
#include "names/frmentries.h"
#include "names/frmfix.h"

namespace vt {

void register_names(App& app) {
    app.registerform("frmentries", [](App& a) { return std::make_unique<frmentries>(a); });
    app.registerform("frmbettor", [](App& a) { return std::make_unique<frmbettor>(a); });
    app.registerform("frmfix", [](App& a) { return std::make_unique<frmfix>(a); });
}

}  // namespace vt
