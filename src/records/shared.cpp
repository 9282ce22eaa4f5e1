#include "records/shared.h"

#include "platform/text.h"

namespace vt {

void Shared::sizetables() {
    bets.resize(maxbets);
    newbets.resize(maxbets);
    savedbettors.resize(maxbettors);
    bettormap.resize(maxbettors);
    bettors.resize(maxbettors);
    winningbets.assign(maxbettors + 1, {});
    entries.resize(maxplayers);
    summ.resize(maxplayers + 1);
    betcount = 1;
    entriescomplete = bettorscomplete = betscomplete = true;
}

std::string Shared::betsfile(const std::string& round, long flight) const {
    return datapath + round + Str(static_cast<long long>(flight)) + "Bets";
}

std::string Shared::betsbackupfile(const std::string& round, long flight) const {
    return datapath + round + Str(static_cast<long long>(flight)) + "Betsbackup";
}

}  // namespace vt
