#include "betting/betfiles.h"

#include <algorithm>
#include <map>

#include "platform/text.h"
#include "records/filelines.h"
#include "records/host.h"
#include "records/records.h"

namespace vt {

long entryrow(const Shared& sh, long number) {
    for (long i = 1; i <= sh.maxplayers; ++i)
        if (sh.entries(i).number == number) return i;
    return 0;
}

long countbets(Host& app, const std::string& round, long flight) {
    Shared& sh = app.shared();
    std::string path = sh.betsfile(round, flight);
    try {
        if (!app.files().exists(path)) return 0;
        // Every line the readers see, as the sums and the board read them (kept while the file
        // is unchanged); past the capacity the count no longer matters: no bet fits.
        size_t n = app.context().betscache().get(app.files(), path)->lines.size();
        return static_cast<long>(std::min<size_t>(n, static_cast<size_t>(sh.maxbets) + 1));
    } catch (const FileError& e) {
        sh.fileop = "Bets Input";
        app.fileerrorbox(e);
        return -1;
    }
}

bool appendbets(Host& app, const std::string& round, const std::vector<FlightBet>& bets) {
    Shared& sh = app.shared();
    std::map<long, std::string> byflight;
    for (const auto& [flight, bet] : bets) byflight[flight] += betrecord(bet);
    Transaction tx(app.files());
    try {
        for (const auto& [flight, bytes] : byflight) {
            sh.fileop = "Bets Append";
            tx.title(sh.fileop);
            appendrecords(app.files(), sh.betsfile(round, flight), FileKind::Bets, bytes,
                          sh.maxbets);
            sh.fileop = "Betsbackup Append";
            tx.title(sh.fileop);
            appendrecords(app.files(), sh.betsbackupfile(round, flight), FileKind::Bets, bytes,
                          sh.maxbets);
        }
    } catch (const FileError& e) {
        app.fileerrorbox(e);  // a file could not be read or holds a bad record: nothing is written
        return false;
    }
    return app.commit(tx);
}

Removed removebet(Host& app, const std::string& round, long flight, const Bet& bet) {
    Shared& sh = app.shared();
    const std::string betsfile = sh.betsfile(round, flight);
    std::string bytes;
    try {
        sh.fileop = "Bets Input";
        bytes = app.files().readall(betsfile);
    } catch (const FileError& e) {
        app.fileerrorbox(e);
        return Removed::Failed;
    }
    // Both files are written from the Bets file's records: the first equal to the bet and every
    // bettor-0 record are left out. A record that does not read whole is never silently kept or
    // dropped, so then nothing is deleted.
    std::string out;
    bool removed = false;
    LineCursor lines(bytes, FileKind::Bets);
    FileLine line;
    while (lines.next(line)) {
        LineBet b = linebet(line.fields);
        if (!line.readable || !b.whole) {
            app.filebox(betsfile,
                        filelocation(betsfile, line.number) +
                            " holds a bad record, so the bet was not deleted.\r\nCheck it with Fix "
                            "Files on the main menu.",
                        "Bet");
            return Removed::BadRecord;
        }
        if (b.bet.bettor == 0) continue;
        if (!removed && b.bet.bettor == bet.bettor && b.bet.entry == bet.entry &&
            b.bet.type == bet.type && b.bet.amount == bet.amount) {
            removed = true;
            continue;
        }
        out += line.text + "\r\n";
    }
    if (!removed) return Removed::NotFound;
    Transaction tx(app.files());
    try {
        sh.fileop = "Bets Output";
        tx.title(sh.fileop);
        app.files().replacefile(betsfile, out);
        sh.fileop = "Betsbackup Output";
        tx.title(sh.fileop);
        app.files().replacefile(sh.betsbackupfile(round, flight), out);
    } catch (const FileError& e) {
        app.fileerrorbox(e);  // a folder where the backup should be: nothing is written
        return Removed::Failed;
    }
    return app.commit(tx) ? Removed::Done : Removed::Failed;
}

}  // namespace vt
