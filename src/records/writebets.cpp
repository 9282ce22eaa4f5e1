// Rewriting the Bets and Betsbackup files of the current round and flight from `bets`.
#include "records/context.h"
#include "records/filelines.h"
#include "records/records.h"
#include "records/recordsutil.h"

namespace vt {

namespace {

void diskfull(Context& cx, const FileError& e) {
    if (e.number == 67)
        cx.msgbox("Disk full.Insert new blank disk in Drive A and click OK", vbOKOnly,
                  "Export Bets");
}

}  // namespace

Outcome writebets(Context& cx) {
    Shared& sh = cx.shared();
    long drop = sh.dropbet;
    sh.dropbet = 99999;  // on every exit, also after a failure
    sh.fileok = false;
    if (!sh.betscomplete) {
        refuserewrite(cx, sh.betsfile(sh.curround, sh.curflightnbr), FileKind::Bets);
        return Outcome::boxed();
    }
    // Every loaded bet is written, by count: an amount of 9999 is a bet like any other here.
    long count = std::min<long>(sh.betcount - 1, static_cast<long>(sh.bets.size()));
    std::string out;
    for (long i = 1; i <= count; ++i)
        if (i != drop) out += betrecord(sh.bets(i));
    // The pair is replaced in one transaction: both files change or neither does.
    Transaction tx(cx.files(), sh.fileop);
    try {
        cx.files().replacefile(sh.betsfile(sh.curround, sh.curflightnbr), out);
        cx.files().replacefile(sh.betsbackupfile(sh.curround, sh.curflightnbr), out);
    } catch (const FileError& e) {
        diskfull(cx, e);
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    if (!cx.commit(tx, [&](const FileError& e) { diskfull(cx, e); })) return Outcome::boxed();
    sh.fileok = true;
    return Outcome::done();
}

Outcome exportbets(Context& cx) {
    Shared& sh = cx.shared();
    if (sh.betcount <= 1 || sh.bets.size() == 0 || sh.bets(1).bettor == 0) {
        // No bet loaded: no file is created or emptied.
        sh.dropbet = 99999;
        sh.fileok = true;
        return Outcome::done();
    }
    return writebets(cx);
}

}  // namespace vt
