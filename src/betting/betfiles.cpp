#include "betting/betfiles.h"

#include <map>

#include "app/app.h"
#include "platform/text.h"
#include "records/records.h"

namespace vt {

long entryrow(const Shared& sh, long number) {
    for (long i = 1; i <= sh.maxplayers; ++i)
        if (sh.entries(i).number == number) return i;
    return 0;
}

namespace {}

int roundoption(const std::string& round) {
    for (int k = 1; k <= 4; ++k)
        if (round == roundkeys[k]) return k;
    return 0;
}

void chooseround(Shared& sh, int k) {
    sh.curround = roundkeys[k];
    sh.saveround = roundkeys[k];
    sh.banner = sh.bannerof(k);
}

std::string betrecord(const Bet& bet) {
    RecordWriter w;
    w.num(static_cast<long long>(bet.bettor)).num(static_cast<long long>(bet.entry));
    w.num(static_cast<long long>(bet.type)).num(bet.amount).end();
    return w.bytes();
}

namespace {

// The record lines of a file's bytes; blank lines at the end are the end of the file.
std::vector<std::string> recordlines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    while (!lines.empty() && trim(lines.back()).empty()) lines.pop_back();
    return lines;
}

// Whether a record line holds exactly this bet.
bool sameBet(const std::string& line, const Bet& bet) {
    try {
        RecordReader r(line);
        Bet b;
        b.bettor = static_cast<long>(r.integer());
        b.entry = static_cast<long>(r.integer());
        b.type = static_cast<long>(r.integer());
        b.amount = r.money();
        return r.eof() && b.bettor == bet.bettor && b.entry == bet.entry && b.type == bet.type &&
               b.amount == bet.amount;
    } catch (const FileError&) {
        return false;  // a record that does not read as a bet is kept as it stands
    }
}

}  // namespace

long countbets(App& app, const std::string& round, long flight) {
    Shared& sh = app.shared();
    std::string path = sh.betsfile(round, flight);
    try {
        if (!app.files().exists(path)) return 0;
        return static_cast<long>(recordlines(app.files().readall(path)).size());
    } catch (const FileError& e) {
        sh.fileop = "Bets Input";
        app.fileerrorbox(e);
        return -1;
    }
}

bool appendbets(App& app, const std::string& round, const std::vector<FlightBet>& bets) {
    Shared& sh = app.shared();
    std::map<long, std::string> byflight;
    for (const auto& [flight, bet] : bets) byflight[flight] += betrecord(bet);
    Transaction tx(app.files());
    try {
        for (const auto& [flight, bytes] : byflight) {
            sh.fileop = "Bets Append";
            app.files().append(sh.betsfile(round, flight), bytes);
            sh.fileop = "Betsbackup Append";
            app.files().append(sh.betsbackupfile(round, flight), bytes);
        }
    } catch (const FileError& e) {
        app.fileerrorbox(e);  // a file could not be read: nothing is written
        return false;
    }
    return app.commit(tx);
}

Removed removebet(App& app, const std::string& round, long flight, const Bet& bet) {
    Shared& sh = app.shared();
    const std::string paths[2] = {sh.betsfile(round, flight), sh.betsbackupfile(round, flight)};
    const char* readops[2] = {"Bets Input", "Betsbackup Input"};
    const char* writeops[2] = {"Bets Output", "Betsbackup Output"};
    std::string olds[2], news[2];
    try {
        for (int k = 0; k < 2; ++k) {
            sh.fileop = readops[k];
            olds[k] = app.files().readall(paths[k]);
            auto lines = recordlines(olds[k]);
            bool removed = false;
            for (const auto& line : lines) {
                if (!removed && sameBet(line, bet)) {
                    removed = true;
                    continue;
                }
                news[k] += line + "\r\n";
            }
            if (!removed) return Removed::NotFound;
        }
    } catch (const FileError& e) {
        app.fileerrorbox(e);
        return Removed::Failed;
    }
    Transaction tx(app.files());
    for (int k = 0; k < 2; ++k) {
        sh.fileop = writeops[k];
        app.files().replacefile(paths[k], news[k]);
    }
    return app.commit(tx) ? Removed::Done : Removed::Failed;
}

}  // namespace vt
