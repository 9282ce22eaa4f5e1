#include "app/app.h"
#include "app/bareform.h"

namespace vt {

void register_names(App& app) {
    app.registerform("frmentries", [](App& a) { return std::make_unique<BareForm>(a, "frmentries", "frmentries"); });
    app.registerform("frmbettor", [](App& a) { return std::make_unique<BareForm>(a, "frmbettor", "frmbettor"); });
    app.registerform("frmfix", [](App& a) { return std::make_unique<BareForm>(a, "frmfix", "frmfix"); });
}

}  // namespace vt
