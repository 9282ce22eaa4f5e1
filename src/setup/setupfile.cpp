#include "setup/setupfile.h"

#include "platform/files.h"
#include "platform/text.h"
#include "records/filelines.h"
#include "records/host.h"

namespace vt {

namespace {

constexpr int kDefaultButtons[6] = {0, 1, 4, 5, 8, 9};

// A whole number within lo..hi, else the fallback (an empty field too).
int ranged(const Field& f, int lo, int hi, int fallback) {
    long long v;
    if (emptyfield(f) || !wholenumber(f, v) || v < lo || v > hi) return fallback;
    return static_cast<int>(v);
}

}  // namespace

void fillsetuptables(Shared& sh) {
    const int sizes[8] = {0, 8, 10, 12, 14, 16, 18, 20};
    for (int i = 1; i <= 7; ++i) sh.printfontsizes[i] = sizes[i];
    const char* labels[6] = {"", "0.01", "0.10", "0.25", "0.50", "1.00"};
    for (int i = 1; i <= 5; ++i) sh.roundlabels[i] = labels[i];
    const char* amounts[13] = {"",      "+.25",  "+.50",   "+.75",  "+1.00",  "+2.00", "+3.00",
                               "+4.00", "+5.00", "+10.00", "20.00", "+50.00", " "};
    for (int i = 1; i <= 12; ++i) sh.betamounts[i] = amounts[i];
    sh.housepct = "0";
}

void setupdefaults(Shared& sh) {
    for (int n = 1; n <= nflights; ++n)
        sh.flightnames[n] = std::string(1, static_cast<char>('A' + n - 1)) + " -       ";
    sh.banner1 = "Masters - Round 1";
    sh.banner2 = "Masters - Round 2";
    sh.banner3 = "Masters - Round 3";
    sh.bannerfinal = "Masters - Final Round";
    sh.datapath = kProgramFolder;
    sh.maxplayers = 500;
    sh.maxbettors = 500;
    sh.maxbets = 2000;
    sh.fontsizeidx = 3;
    sh.printswitch = "no";
    sh.roundingchoice = 1;
    for (int i = 1; i <= 5; ++i) sh.betbuttons[i] = kDefaultButtons[i];
    sh.curround = roundkeys[1];
    sh.banner = sh.banner1;
    sh.setupfield18 = "1";
    sh.setupfield18number = false;
}

void fixcapacities(Shared& sh) {
    sh.maxplayers = 1000;
    sh.maxbettors = 1000;
    sh.maxbets = 5000;
    sh.sizetables();
}

std::string& roundbanner(Shared& sh, const std::string& key) {
    return sh.bannerof(roundindex(key));
}

std::string setuprecord(const Shared& sh) {
    RecordWriter w;
    w.str(sh.banner1).str(sh.banner2).str(sh.banner3).str(sh.bannerfinal).str(sh.datapath);
    w.num(sh.fontsizeidx).str(sh.printswitch).num(sh.roundingchoice).str(sh.curround);
    for (int i = 1; i <= 5; ++i) w.num(sh.betbuttons[i]);
    w.num(static_cast<long long>(sh.maxbets))
        .num(static_cast<long long>(sh.maxbettors))
        .num(static_cast<long long>(sh.maxplayers));
    if (sh.setupfield18number) {
        long long v;
        if (parseint(sh.setupfield18, v))
            w.num(v);
        else
            w.num(Val(sh.setupfield18));
    } else {
        w.str(sh.setupfield18);
    }
    for (int n = 1; n <= nflights; ++n) w.str(sh.flightnames[n]);
    w.end();
    return w.bytes();
}

void parsesetup(Shared& sh, const std::string& bytes, bool keeppath) {
    // One read of the whole record: a short record changes nothing. f[1..33].
    std::vector<Field> f = recordfields(bytes, 33);
    f.insert(f.begin(), Field{});
    sh.banner1 = f[1].text;
    sh.banner2 = f[2].text;
    sh.banner3 = f[3].text;
    sh.bannerfinal = f[4].text;
    if (!keeppath) sh.datapath = f[5].text;
    sh.fontsizeidx = ranged(f[6], 1, 7, 3);
    sh.printswitch = f[7].text;
    sh.roundingchoice = ranged(f[8], 1, 5, 1);
    sh.curround = roundindex(f[9].text) ? f[9].text : roundkeys[1];
    for (int i = 1; i <= 5; ++i) sh.betbuttons[i] = ranged(f[9 + i], 1, 12, kDefaultButtons[i]);
    // Fields 15-17 (capacities) are read but never used: the tables keep the fixed capacities.
    sh.setupfield18 = f[18].text;
    sh.setupfield18number = !f[18].quoted && !f[18].text.empty();
    for (int n = 1; n <= nflights; ++n) sh.flightnames[n] = f[18 + n].text;
}

void readsetup(Host& app, bool keeppath) {
    parsesetup(app.shared(), app.files().readall(kSetupFile), keeppath);
}

void writeanybettor(Host& app, const std::string& path) {
    app.files().replacefile(path, bettorrecord(kanybettor));
}

bool writesetup(Host& app, std::optional<FileError>* failed) {
    Transaction tx(app.files(), app.shared().fileop);
    try {
        app.files().replacefile(kSetupFile, setuprecord(app.shared()));
    } catch (const FileError& e) {
        if (failed) *failed = e;
        app.fileerrorbox(e);
        return false;
    }
    return app.context().commit(tx, [&](const FileError& e) {
        if (failed) *failed = e;
    });
}

}  // namespace vt
