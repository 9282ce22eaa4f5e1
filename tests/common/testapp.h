#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/dialogs.h"
#include "platform/journal.h"
#include "platform/printer.h"

namespace vt::test {

// A commit's spare of a file (its version before the last commit, kept to be written over by the
// next): neither data nor a temporary left behind.
inline bool isspare(const std::string& name) { return journal::endswith(name, kSpare); }

// Entries of a folder tree that are not plain files of one name, and temporaries left over (the
// spares aside).
std::vector<std::string> oddentries(const std::string& folder);

// A fresh temporary program folder, removed at the end.
class TempFolder {
  public:
    // A folder under `base`, or under the system's temporary folder.
    explicit TempFolder(const std::string& base = "");
    ~TempFolder();
    const std::string& path() const { return path_; }
    // Host path of a file in the program folder.
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;
    bool exists(const std::string& name) const;

  private:
    std::string path_;
};

// A memory-backed base for TempFolder where there is one: thousands of runs of syncs stay fast.
std::string fastbase();

// An App in a fresh program folder with scripted boxes and a captured printer. Fails the test
// when a box appears that nobody expected.
class AppTest : public ::testing::Test {
  protected:
    AppTest();
    ~AppTest() override;
    void TearDown() override;
    TempFolder folder;
    ScriptedDialogs dialogs;
    CapturePrintSink printed;
    std::unique_ptr<App> app;
    Shared& sh() { return app->shared(); }
};

}  // namespace vt::test
