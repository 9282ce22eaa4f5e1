#include "app/app.h"
#include "app/bareform.h"
#include "names/frmfix.h"

namespace vt {

void register_names(App& app) {
    app.registerform("frmentries", [](App& a) { return std::make_unique<BareForm>(a, "frmentries", "frmentries"); });
    app.registerform("frmbettor", [](App& a) { return std::make_unique<BareForm>(a, "frmbettor", "frmbettor"); });
    app.registerform("frmfix", [](App& a) { return std::make_unique<Frmfix>(a); });
}

}  // namespace vt
