// Journals taken from real commits, cut at every byte and with bytes changed, met at a start: only
// the journal the commit sealed here changes the data files; any other changes nothing outside
// the program folder, removes at most temporaries inside it, and gives at most one box.
#include <filesystem>

#include "faults.h"
#include "platform/transaction.h"
#include "setuptest.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;
using Files_ = std::map<std::string, std::string>;

// A program folder, and outside it a folder the program folder links to as "Archive".
struct Folders {
    TempFolder program{fastbase()}, outside{fastbase()};
    std::string p = program.path();

    // Empties both folders and writes `files` into the program folder, the link and the decoy.
    void reset(const Files_& files) const {
        for (auto* f : {&program, &outside})
            for (auto& e : fs::directory_iterator(f->path())) fs::remove_all(e.path());
        for (auto& [name, bytes] : files) program.write(name, bytes);
        outside.write("Bettors", "theirs");
        outside.write("Bettors.tmp~", "their change");
        outside.write("Players", "their players");
        fs::create_directory_symlink(outside.path(), program.file("Archive"));
    }
};

// The data files before the commit.
Files_ startfiles() {
    return {{"Init", firstrunrecord()},
            {"Results", ""},
            {"Players", "1,1,\"\",\"JONES\"\r\n"},
            {"Bettors", "1,\"AnyBettor\"\r\n2,\"SMITH\"\r\n"},
            {"Bettorsbackup", "1,\"AnyBettor\"\r\n2,\"SMITH\"\r\n"}};
}

// The commit: both Bettors files replaced, Players removed.
void commit(Files& files) {
    Transaction tx(files);
    files.replacefile("C:\\Vantrope\\Bettors", "1,\"AnyBettor\"\r\n");
    files.replacefile("C:\\Vantrope\\Bettorsbackup", "1,\"AnyBettor\"\r\n");
    files.remove("C:\\Vantrope\\Players");
    tx.commit();
}

// The program folder as a crash left it in the commit, at the first call where the journal
// `name` stands there alone (Journal.new~ whole before the commit point, Journal~ after it).
Files_ crashedwith(const Folders& f, const std::string& name) {
    for (long n = 1;; ++n) {
        f.reset(startfiles());
        Files files(f.p);
        faults(files).setfault({Fault::Crash, n});
        try {
            commit(files);
        } catch (const SimulatedCrash&) {
        }
        Files_ out = snapshot(f.p);
        out.erase("Archive/Bettors"), out.erase("Archive/Bettors.tmp~");
        out.erase("Archive/Players");
        std::string other = name == "Journal~" ? "Journal.new~" : "Journal~";
        if (out.count(name) && !out.count(other) && out.count("Bettorsbackup.tmp~") &&
            out.at(name).find("END") != std::string::npos)
            return out;
        if (n > 200) {
            ADD_FAILURE() << "no crash leaves " << name;
            return out;
        }
    }
}

// Every journal made from `text`: cut at every byte, each byte changed in a few ways, and its
// paths moved outside (through the link and directly).
std::vector<std::string> mutants(const std::string& text, const Folders& f) {
    std::vector<std::string> out;
    for (size_t n = 0; n < text.size(); ++n) out.push_back(text.substr(0, n));
    for (size_t i = 0; i < text.size(); ++i)
        for (char c : {char(text[i] ^ 1), '\0', '\n', '/'}) {
            if (c == text[i]) continue;
            std::string m = text;
            m[i] = c;
            out.push_back(m);
        }
    for (const std::string& to : {f.p + "/Archive", f.outside.path()}) {
        std::string m = text;
        for (size_t at; (at = m.find(f.p + "/B")) != std::string::npos;)
            m.replace(at, f.p.size(), to);
        out.push_back(m);
        out.push_back(m.substr(0, m.find("END")));
    }
    return out;
}

// Starts the program on the folder; returns the boxes shown but the printer question.
int startcount(const Folders& f) {
    AnsweringDialogs dialogs;
    CapturePrintSink printed;
    App app(AppEnvironment{f.p, &dialogs, &printed});
    app.start();
    int boxes = 0;
    for (auto& prompt : dialogs.prompts)
        boxes += prompt.find("Is a printer available") == std::string::npos;
    return boxes;
}

TEST(JournalMutations, OnlyTheJournalSealedHereChangesFilesAndOthersTouchNothingOutside) {
    Folders f;
    f.reset({});
    Files_ decoy = snapshot(f.outside.path());
    int runs = 0;
    for (const std::string name : {"Journal~", "Journal.new~"}) {
        Files_ crashed = crashedwith(f, name);
        std::string text = crashed[name];
        for (const std::string& m : mutants(text, f)) {
            SCOPED_TRACE(name + " holding: " + m);
            Files_ before = crashed;
            before[name] = m;
            f.reset(before);
            int boxes = startcount(f);
            ++runs;
            EXPECT_LE(boxes, 1);
            EXPECT_EQ(snapshot(f.outside.path()), decoy);
            Files_ after = snapshot(f.p);
            for (auto& [file, bytes] : before) {
                if (file == name || file.rfind("Archive/", 0) == 0) continue;
                bool gone = !after.count(file);
                // Only temporaries may go, and nothing else changes.
                if (gone)
                    EXPECT_TRUE(file.size() > 5 && file.substr(file.size() - 5) == ".tmp~")
                        << file << " removed";
                else
                    EXPECT_EQ(after.at(file), bytes) << file << " changed";
            }
            if (::testing::Test::HasFailure()) return;
        }
        // The journal itself, whole and unchanged: the commit is made (Journal~) or dropped.
        f.reset(crashed);
        EXPECT_EQ(startcount(f), 0);
        Files_ after = snapshot(f.p);
        bool made = name == "Journal~";
        EXPECT_EQ(after.count("Players"), made ? 0u : 1u) << name;
        EXPECT_EQ(after.at("Bettors"), made ? "1,\"AnyBettor\"\r\n" : startfiles().at("Bettors"));
        EXPECT_FALSE(after.count(name));
        EXPECT_FALSE(after.count("Bettors.tmp~"));
    }
    EXPECT_GT(runs, 1000);
}

}  // namespace
}  // namespace vt::test
