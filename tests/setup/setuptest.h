#pragma once
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "records/origins.h"
#include "records/shared.h"
#include "setup/frminit.h"
#include "setup/frmtutor.h"
#include "testapp.h"

namespace vt::test {

// The first-run setup record, byte for byte.
inline std::string firstrunrecord() {
    std::string r =
        "\"Masters - Round 1\",\"Masters - Round 2\",\"Masters - Round 3\",\"Masters - Final "
        "Round\","
        "\"C:\\Vantrope\\\",3,\"no\",1,\"Round1\",1,4,5,8,9,2000,500,500,\"1\"";
    for (char c = 'A'; c <= 'O'; ++c) r += ",\"" + std::string(1, c) + " -       \"";
    return r + "\r\n";
}

// A setup record with the given middle fields (6..18) and plain names.
inline std::string setuprecord(const std::string& middle,
                               const std::string& banners = "\"B1\",\"B2\",\"B3\",\"BF\"",
                               const std::string& path = "C:\\Vantrope\\") {
    std::string r = banners + ",\"" + path + "\"," + middle;
    for (int n = 1; n <= 15; ++n)
        r += ",\"F" + std::to_string(n) + std::string(n < 10 ? 8 : 7, ' ') + "\"";
    return r + "\r\n";
}

// Sorted names (files and folders) directly in a host folder, the commits' spares left out.
inline std::vector<std::string> names(const std::string& folder) {
    std::vector<std::string> out;
    for (auto& e : std::filesystem::directory_iterator(folder))
        if (!isspare(e.path().filename().string())) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// Writes beside a drive set made by hand the identity files an export writes (every record a
// new identity, nothing deleted), so that an import takes it as a set another computer exported.
inline void describedrive(Origins& origins, Files& files, const std::string& letter) {
    auto describe = [&](const std::string& path, auto ids, auto stage) {
        if (!files.exists(path) || ids.described) return;
        ids.deleted.clear();
        std::string bytes = files.readall(path);
        stage(files, path, &bytes, ids);
    };
    std::string bettors = letter + ":/Bettors";
    describe(bettors, origins.bettors(bettors), stagebettoridentities);
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= nflights; ++f)
            for (bool backup : {false, true}) {
                std::string path = betsname(letter + ":/", roundkeys[r], f, backup);
                describe(path, origins.bets(path), stagebetidentities);
            }
}

// A program started on the setup screen with the printer question answered.
class SetupTest : public AppTest {
  protected:
    void start(int printer = vbNo) {
        dialogs.answer(printer, "Is a printer available");
        app->start();
    }
    // Start, then GO TO MENU.
    void tomenu() {
        start();
        app->form("frminit").control("cmdok").click();
    }
    Form& init() { return app->form("frminit"); }
};

}  // namespace vt::test
