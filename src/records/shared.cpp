#include "records/shared.h"

#include "platform/text.h"

namespace vt {

int roundindex(const std::string& key) {
    for (int r = 1; r <= nrounds; ++r)
        if (key == roundkeys[r]) return r;
    return 0;
}

BettorLookup::BettorLookup(const Shared& sh) : sh_(sh) {
    for (size_t i = 1; i <= sh.bettors.size(); ++i) {
        const Bettor& b = sh.bettors(i);
        if (b.name.empty()) break;
        if (!iszzz(b.name)) rows_.emplace(b.number, static_cast<long>(i));
    }
}

long BettorLookup::row(long long number) const {
    auto it = rows_.find(number);
    return it == rows_.end() ? 0 : it->second;
}

const Bettor* BettorLookup::find(long long number) const {
    long r = row(number);
    return r ? &sh_.bettors(static_cast<size_t>(r)) : nullptr;
}

void Shared::sizebets() {
    bets.resize(maxbets);
    newbets.resize(maxbets);
}

void Shared::sizebettors() {
    savedbettors.resize(maxbettors);
    bettors.resize(maxbettors);
    winningbets.assign(maxbettors + 1, {});
}

void Shared::sizeplayers() {
    entries.resize(maxplayers);
    summ.resize(maxplayers + 1);
}

void Shared::sizetables() {
    sizebets();
    sizebettors();
    sizeplayers();
    betcount = 1;
    entriescomplete = bettorscomplete = betscomplete = true;
    overfull = {};
}

void Shared::fillroundnames() {
    for (int r = 1; r <= nrounds; ++r) roundnames[r] = roundkeys[r];
}

std::string betsname(const std::string& folder, const std::string& round, long flight,
                     bool backup) {
    return folder + round + Str(static_cast<long long>(flight)) + (backup ? "Betsbackup" : "Bets");
}

std::string Shared::betsfile(const std::string& round, long flight) const {
    return betsname(datapath, round, flight);
}

std::string Shared::betsbackupfile(const std::string& round, long flight) const {
    return betsname(datapath, round, flight, true);
}

}  // namespace vt
