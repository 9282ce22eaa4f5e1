#include "records/recordsutil.h"

#include <cmath>

#include "platform/text.h"
#include "records/context.h"

namespace vt {

long long intfield(const Field& f) {
    long long v;
    if (!wholenumber(f, v)) throwfileerror(13);
    return v;
}

Money moneyfield(const Field& f) {
    if (emptyfield(f)) return Money();
    Money m;
    if (!Money::parse(f.text, m)) throwfileerror(13);
    return m;
}

long capacityof(const Shared& sh, FileKind kind) {
    return kind == FileKind::Bets      ? sh.maxbets
           : kind == FileKind::Bettors ? sh.maxbettors
                                       : sh.maxplayers;
}

bool tellbadline(Context& cx, const std::string& file, FileKind kind) {
    std::string bytes;
    bool there = false;
    try {
        there = cx.files().exists(file);
        if (there) {
            checkrecordfilesize(cx.files(), file, capacityof(cx.shared(), kind));
            bytes = cx.files().readall(file);
        }
    } catch (const FileError&) {
        return false;  // unreadable now: the caller says the file was not read
    }
    try {
        // A file emptied or lost while its backup holds records is told of as its reading did.
        checknotemptied(cx.files(), file, there ? &bytes : nullptr);
        checklines(file, bytes, kind);
    } catch (const FileError& e) {
        cx.fileerrorbox(e);
        return true;
    }
    return false;
}

void refuserewrite(Context& cx, const std::string& file, FileKind kind) {
    Shared& sh = cx.shared();
    sh.fileok = false;
    if (tellbadline(cx, file, kind)) return;
    cx.filebox(file, "The " + filename(file) +
                         " file was not read completely, so it is not rewritten." +
                         "\r\nCheck it with Fix Files on the main menu.");
}

void overcapacity(Context& cx, const std::string& file, FileKind kind, long loaded, bool shown) {
    const Shared& sh = cx.shared();
    struct Setting {
        const char *records, *label, *name;
        long capacity;
    };
    const Setting s = kind == FileKind::Bets ? Setting{"bets", "bet", "maxbets", sh.maxbets}
                      : kind == FileKind::Bettors
                          ? Setting{"bettors", "bettor", "maxbettors", sh.maxbettors}
                          : Setting{"players/teams", "player/team", "maxplayers", sh.maxplayers};
    cx.filebox(file, filename(file) + " holds more " + (shown ? "lines" : s.records) +
                         " than the setup's " + s.label + " capacity (" + s.name + " = " +
                         std::to_string(s.capacity) + "): only the first " +
                         std::to_string(loaded) + " are " +
                         (shown ? "shown." : "loaded, and the file is not rewritten."));
}

}  // namespace vt
