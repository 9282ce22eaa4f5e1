// The Players and Bettors files and their backups: read into and written from the shared tables.
#include <optional>

#include "platform/text.h"
#include "records/context.h"
#include "records/filelines.h"
#include "records/records.h"
#include "records/recordsutil.h"

namespace vt {

namespace {

// Reads a Players or Bettors file line by line into its table: each record whose number is not
// the 999 marker and whose name is neither "zzz" nor empty goes to take(line, number, name, row),
// which returns an outcome to stop with or nothing to go on. A 999 record or an empty name ends
// the reading: the records from there on are not in the table, so `complete` stays false and no
// rewrite may start from it. A missing file is complete (writing it loses nothing), unless its
// backup holds records: a file emptied or lost that way is told of and left incomplete.
template <class Take>
Outcome readnamefile(Context& cx, const std::string& path, FileKind kind, size_t namefield,
                     bool& complete, Take take) {
    Shared& sh = cx.shared();
    complete = false;
    sh.fileok = false;
    bool whole = true;
    try {
        if (!cx.files().exists(path)) checknotemptied(cx.files(), path, nullptr);
        checkrecordfilesize(cx.files(), path, capacityof(sh, kind));
        std::string bytes = cx.files().readall(path);
        checknotemptied(cx.files(), path, &bytes);
        LineCursor lines(bytes, kind);
        FileLine line;
        size_t row = 1;
        while (lines.next(line)) {
            // A line that is not a whole record is read no further.
            if (!line.readable) throwbadline(path, line);
            long long number = intfield(line.fields[0]);
            const std::string& name = line.fields[namefield].text;
            if (number == 999) {
                whole = false;
                break;
            }
            if (iszzz(name)) continue;
            if (name.empty()) {
                whole = false;
                break;
            }
            if (std::optional<Outcome> stop = take(line, number, name, row)) return *stop;
            ++row;
        }
    } catch (const FileError& e) {
        if (e.number == 53) complete = !backupholdslines(cx.files(), path);
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    complete = whole;
    sh.fileok = true;
    return Outcome::done();
}

}  // namespace

Outcome readentries(Context& cx) {
    Shared& sh = cx.shared();
    for (size_t i = 1; i <= sh.entries.size(); ++i) sh.entries(i) = Entry{};
    sh.fileop = "Players Input";
    sh.nextentrynbr = 1;
    sh.nextentryrow = 1;
    const std::string path = sh.datapath + "Players";
    return readnamefile(cx, path, FileKind::Players, 3, sh.entriescomplete,
                        [&](const FileLine& line, long long number, const std::string& name,
                            size_t i) -> std::optional<Outcome> {
                            // A full table is told of, so the next rewrite cannot drop the entries
                            // it missed.
                            if (i > sh.entries.size()) {
                                overcapacity(cx, path, FileKind::Players,
                                             static_cast<long>(sh.entries.size()));
                                return Outcome::boxed();
                            }
                            Entry& row = sh.entries(i);
                            row.number = static_cast<long>(number);
                            if (number < 1 || number > sh.maxplayers) {
                                sh.dataerror = 1;
                                return Outcome::baddata();
                            }
                            long long flight = intfield(line.fields[1]);
                            row.flight = static_cast<long>(flight);
                            if (!isflight(flight)) {
                                sh.dataerror = 1;
                                return Outcome::baddata();
                            }
                            row.field3 = line.fields[2].text;
                            row.name = name;
                            ++sh.nextentryrow;
                            sh.nextentrynbr = row.number + 1;
                            return std::nullopt;
                        });
}

Outcome writeentries(Context& cx) {
    Shared& sh = cx.shared();
    sh.fileop = "Players Output";
    sh.fileok = false;
    if (!sh.entriescomplete) {
        refuserewrite(cx, sh.datapath + "Players", FileKind::Players);
        return Outcome::boxed();
    }
    long row = 1, nbr = 1;
    RecordWriter out;
    Transaction tx(cx.files(), sh.fileop);  // the file and its backup together
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
        tx.title(sh.fileop);
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
    const std::string path = sh.datapath + "Bettors";
    return readnamefile(cx, path, FileKind::Bettors, 1, sh.bettorscomplete,
                        [&](const FileLine&, long long number, const std::string& name,
                            size_t i) -> std::optional<Outcome> {
                            // The last row stays free for a new bettor: a file holding more is told
                            // of.
                            if (static_cast<long>(i) >= sh.maxbettors) {
                                overcapacity(cx, path, FileKind::Bettors, static_cast<long>(i) - 1);
                                return Outcome::boxed();
                            }
                            sh.bettors(i) = Bettor{static_cast<long>(number), name};
                            sh.nextticket = static_cast<long>(number) + 1;
                            sh.nbettors = static_cast<long>(i);
                            return std::nullopt;
                        });
}

namespace {

Outcome writebettorsfile(Context& cx, bool withbackup) {
    Shared& sh = cx.shared();
    sh.fileop = "Bettors Output";
    sh.fileok = false;
    if (!sh.bettorscomplete) {
        refuserewrite(cx, sh.datapath + "Bettors", FileKind::Bettors);
        return Outcome::boxed();
    }
    long next = 2, count = 1;
    std::string out;
    Transaction tx(cx.files(), sh.fileop);  // the file and its backup together
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
            tx.title(sh.fileop);
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
