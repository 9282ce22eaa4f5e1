// Print choices: payoff sheets with the results file, or the sortable winners list.
#include "payoff/frmpay.h"

namespace vt {

void frmpay::cmbbn_Click() {}

}  // namespace vt
