#pragma once
// The shared procedures tested on their own: shared state and a runtime without forms, in a fresh
// program folder with scripted boxes and a captured printer.
#include "records/context.h"
#include "testapp.h"

namespace vt::test {

class FormlessRuntime : public Runtime {
  public:
    using Runtime::Runtime;
    void formunloaded(Form&) override {}
    std::vector<Form*> loadedforms() override { return {}; }
};

class RecordsTest : public ::testing::Test {
  protected:
    RecordsTest() { shared.sizetables(); }
    void TearDown() override {
        for (auto& f : dialogs.failures) ADD_FAILURE() << f;
        EXPECT_EQ(dialogs.pending(), 0u) << "expected boxes never shown";
    }
    Shared& sh() { return shared; }

    TempFolder folder;
    ScriptedDialogs dialogs;
    CapturePrintSink printed;
    FormlessRuntime runtime{dialogs, printed, folder.path()};
    Shared shared;
    Context cx{shared, runtime};
};

}  // namespace vt::test
