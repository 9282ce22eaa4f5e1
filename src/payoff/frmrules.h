#pragma once
#include "records/host.h"

namespace vt {

// The payoff rules in plain words: how pools without winning bets are moved.
class frmrules : public Form {
  public:
    explicit frmrules(Host& app);
    void Command1_Click() { unload(); }
};

// The rules text as shown.
extern const char* const kPayoffRules;

}  // namespace vt
