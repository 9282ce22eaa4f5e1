// The Players and Bettors files and their backups: read into and written from the shared tables.
#include "records/context.h"
#include "platform/text.h"
#include "records/filelines.h"
#include "records/records.h"
#include "records/recordsutil.h"

namespace vt {

Outcome readentries(Context& cx) {
    Shared& sh = cx.shared();
    for (size_t i = 1; i <= sh.entries.size(); ++i) sh.entries(i) = Entry{};
    sh.fileop = "Players Input";
    sh.nextentrynbr = 1;
    sh.nextentryrow = 1;
    sh.entriescomplete = false;
    sh.fileok = false;
    bool whole = true;
    const std::string path = sh.datapath + "Players";
    try {
        std::string bytes = cx.files().readall(path);
        LineCursor lines(bytes, FileKind::Players);
        FileLine line;
        size_t i = 1;
        while (lines.next(line)) {
            // A line that is not a whole record is read no further.
            if (!line.readable) throwbadline(path, line);
            long long number = intfield(line.fields[0]);
            long long flight = intfield(line.fields[1]);
            const std::string& name = line.fields[3].text;
            // A 999 record or an empty name ends the reading. The records from there on are not
            // in the table, so no rewrite may start from it.
            if (number == 999) {
                whole = false;
                break;
            }
            if (iszzz(name)) continue;
            if (name.empty()) {
                whole = false;
                break;
            }
            // A full table is told of, so the next rewrite cannot drop the entries it missed.
            if (i > sh.entries.size()) {
                overcapacity(cx, path, FileKind::Players, static_cast<long>(sh.entries.size()));
                return Outcome::boxed();
            }
            Entry& row = sh.entries(i);
            row.number = static_cast<long>(number);
            if (number < 1 || number > sh.maxplayers) {
                sh.dataerror = 1;
                return Outcome::baddata();
            }
            row.flight = static_cast<long>(flight);
            if (flight < 1 || flight > 15) {
                sh.dataerror = 1;
                return Outcome::baddata();
            }
            row.field3 = line.fields[2].text;
            row.name = name;
            ++sh.nextentryrow;
            sh.nextentrynbr = row.number + 1;
            ++i;
        }
    } catch (const FileError& e) {
        // Nothing is lost by writing a file that was not there.
        if (e.number == 53) sh.entriescomplete = true;
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    sh.entriescomplete = whole;
    sh.fileok = true;
    return Outcome::done();
}

Outcome writeentries(Context& cx) {
    Shared& sh = cx.shared();
    sh.fileop = "Players Output";
    sh.fileok = false;
    if (!sh.entriescomplete) {
        refuserewrite(cx, sh.datapath + "Players");
        return Outcome::boxed();
    }
    long row = 1, nbr = 1;
    RecordWriter out;
    Transaction tx(cx.files());  // the file and its backup together
    try {
        for (size_t i = 1; i <= sh.entries.size(); ++i) {
            const Entry& e = sh.entries(i);
            if (e.number == 999) break;
            if (iszzz(e.name)) continue;
            if (e.name.empty()) break;
            out.num(static_cast<long long>(e.number))
                .num(static_cast<long long>(e.flight))
                .str(e.field3)
                .str(e.name)
                .end();
            ++row;
            nbr = e.number + 1;
        }
        sh.nextentryrow = row;
        sh.nextentrynbr = nbr;
        cx.files().replacefile(sh.datapath + "Players", out.bytes());
        sh.fileop = "Playersbackup output";
        cx.files().replacefile(sh.datapath + "Playersbackup", out.bytes());
    } catch (const FileError& e) {
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    if (!cx.commit(tx)) return Outcome::boxed();
    sh.fileok = true;
    return Outcome::done();
}

Outcome readbettors(Context& cx) {
    Shared& sh = cx.shared();
    for (size_t i = 1; i <= sh.bettors.size(); ++i) sh.bettors(i) = Bettor{};
    sh.fileop = "Bettors Input";
    sh.nextticket = 1;
    sh.nbettors = 0;
    sh.bettorscomplete = false;
    sh.fileok = false;
    bool whole = true;
    const std::string path = sh.datapath + "Bettors";
    try {
        std::string bytes = cx.files().readall(path);
        LineCursor lines(bytes, FileKind::Bettors);
        FileLine line;
        size_t i = 1;
        while (lines.next(line)) {
            if (!line.readable) throwbadline(path, line);
            long long number = intfield(line.fields[0]);
            const std::string& name = line.fields[1].text;
            // A 999 record or an empty name ends the reading; the bettors from there on are not in
            // the table, so no rewrite may start from it.
            if (number == 999) {
                whole = false;
                break;
            }
            if (iszzz(name)) continue;
            if (name.empty()) {
                whole = false;
                break;
            }
            // The last row stays free for a new bettor: a file holding more is told of.
            if (static_cast<long>(i) >= sh.maxbettors) {
                overcapacity(cx, path, FileKind::Bettors, static_cast<long>(i) - 1);
                return Outcome::boxed();
            }
            sh.bettors(i) = Bettor{static_cast<long>(number), name};
            sh.nextticket = static_cast<long>(number) + 1;
            sh.nbettors = static_cast<long>(i);
            ++i;
        }
    } catch (const FileError& e) {
        if (e.number == 53) sh.bettorscomplete = true;
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    sh.bettorscomplete = whole;
    sh.fileok = true;
    return Outcome::done();
}

namespace {

Outcome writebettorsfile(Context& cx, bool withbackup) {
    Shared& sh = cx.shared();
    sh.fileop = "Bettors Output";
    sh.fileok = false;
    if (!sh.bettorscomplete) {
        refuserewrite(cx, sh.datapath + "Bettors");
        return Outcome::boxed();
    }
    long next = 2, count = 1;
    std::string out;
    Transaction tx(cx.files());  // the file and its backup together
    try {
        out += bettorrecord(kanybettor);
        // Row 1 is AnyBettor's; a different bettor found there is kept, after AnyBettor.
        for (size_t i = 1; i <= sh.bettors.size(); ++i) {
            const Bettor& b = sh.bettors(i);
            if (i == 1 && (b.number == 999 || b.name.empty())) continue;
            if (b.number == 999) break;
            if (iszzz(b.name)) continue;
            if (b.name.empty()) break;
            if (b.number == 1) continue;  // AnyBettor, written first
            out += bettorrecord(b);
            ++count;
            next = b.number + 1;
        }
        sh.nextticket = next;
        sh.nbettors = count;
        cx.files().replacefile(sh.datapath + "Bettors", out);
        // Bettorsbackup is kept in step with Bettors on every change, except two: Fix Files'
        // Remove Selected Member/ Bettor touches Bettors alone (the backup can then restore a
        // bettor removed by mistake), and the export writes no Bettorsbackup to the drive.
        if (withbackup) {
            sh.fileop = "Bettorsbackup output";
            cx.files().replacefile(sh.datapath + "Bettorsbackup", out);
        }
    } catch (const FileError& e) {
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    if (!cx.commit(tx)) return Outcome::boxed();
    sh.fileok = true;
    return Outcome::done();
}

}  // namespace

Outcome writebettors(Context& cx) { return writebettorsfile(cx, true); }

Outcome writebettorsonly(Context& cx) { return writebettorsfile(cx, false); }

}  // namespace vt
