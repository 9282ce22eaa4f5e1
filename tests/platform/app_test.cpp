#include <filesystem>

#include "testform.h"

using namespace vt;
using vt::test::ProbeForm;

namespace {

class AppForms : public vt::test::AppTest {
  protected:
    AppForms() { vt::test::registerprobe(*app); }
    ProbeForm& probe() { return app->formas<ProbeForm>("frmprobe"); }
};

}  // namespace

TEST_F(AppForms, TouchingAFormLoadsItOnceWithoutShowingIt) {
    EXPECT_FALSE(app->isloaded("frmprobe"));
    Control& t = app->form("frmprobe").control("txtname");
    EXPECT_TRUE(app->isloaded("frmprobe"));
    EXPECT_EQ(probe().loads, 1);
    EXPECT_FALSE(probe().visible());
    t.settext("x");
    probe().show();
    probe().show();
    EXPECT_TRUE(probe().visible());
    EXPECT_EQ(probe().loads, 1);
    EXPECT_EQ(app->loadedforms(), std::vector<Form*>{&probe()});
    EXPECT_THROW(app->form("frmnosuch"), std::out_of_range);
    EXPECT_THROW(probe().control("txtname", 3), std::out_of_range);
}

TEST_F(AppForms, AFormUnloadingItselfInAHandlerStaysAliveUntilItReturns) {
    ProbeForm* first = &probe();
    first->control("cmdok").Click = [first] {
        first->unload();
        // The handler goes on with its own controls after the unload.
        first->control("txtname").settext("after unload");
        first->control("lstnames").additem("still here");
    };
    first->control("cmdok").click();
    EXPECT_FALSE(app->isloaded("frmprobe"));
    EXPECT_TRUE(app->loadedforms().empty());

    // The next touch gives a fresh form with Form_Load run again.
    ProbeForm& second = probe();
    EXPECT_EQ(second.loads, 1);
    EXPECT_EQ(second.log, std::vector<std::string>{"Form_Load"});
    EXPECT_EQ(second.control("txtname").text(), "");
    EXPECT_EQ(second.control("lstnames").listcount(), 0);
}

TEST_F(AppForms, AKeyPressHandlerMayUnloadItsForm) {
    ProbeForm* first = &probe();
    first->control("txtname").KeyPress = [first](int& k) {
        if (k == vbKeyEscape) first->unload();
    };
    first->control("txtname").keypress(vbKeyEscape);
    EXPECT_FALSE(app->isloaded("frmprobe"));
    EXPECT_EQ(probe().loads, 1);
}

TEST_F(AppForms, AFormUnloadingInItsOwnLoadStillHandsBackAForm) {
    struct Quitter : ProbeForm {
        explicit Quitter(Host& a) : ProbeForm(a, "frmquit") {}
        void Form_Load() override {
            ProbeForm::Form_Load();
            unload();
        }
    };
    app->registerform("frmquit", [](Host& a) { return std::make_unique<Quitter>(a); });
    Form& f = app->form("frmquit");
    EXPECT_FALSE(f.loaded());
    EXPECT_FALSE(app->isloaded("frmquit"));
    auto& log = dynamic_cast<ProbeForm&>(f).log;
    EXPECT_EQ(log, (std::vector<std::string>{"Form_Load", "Form_Unload"}));
    f.control("txtname").settext("harmless");
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(AppForms, FileErrorBoxIsTitledWithTheFileOperation) {
    sh().fileop = "Reading Players";
    dialogs.ok(" 53 File not found");
    app->fileerrorbox(FileError(53, errortext(53)));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].prompt, " 53 File not found");
    EXPECT_EQ(dialogs.shown[0].title, "Reading Players");
    EXPECT_EQ(dialogs.shown[0].style, vbOKOnly);
    EXPECT_EQ(FileError(76, errortext(76)).message(), " 76 Path not found");
    EXPECT_EQ(FileError(62, errortext(62)).message(), " 62 Input past end of file");

    dialogs.answer(vbYes, "Sure?");
    EXPECT_EQ(app->msgbox("Sure?", vbYesNo), vbYes);
    EXPECT_EQ(dialogs.shown[1].title, "Vantrope");
    dialogs.type("42", "How many");
    EXPECT_EQ(app->inputbox("How many?"), "42");
}

// The box of a file that could not be staged or committed is titled with what the file was staged
// for, which the error carries: a title left in `fileop` since does not reach it.
TEST_F(AppForms, AFileErrorBoxIsTitledWithWhatItsFileWasStagedFor) {
    std::filesystem::create_directories(folder.file("Blocked"));
    std::filesystem::create_directories(folder.file("Gone"));
    Transaction tx(app->files(), "Bets Output");
    app->files().replacefile("C:\\Vantrope\\Gone\\Bets", "1,1,1,5\r\n");
    tx.title("Betsbackup Output");
    sh().fileop = "Reading Players";
    dialogs.ok(" 75 Path/File access error");
    try {
        app->files().replacefile("C:\\Vantrope\\Blocked", "1,1,1,5\r\n");
        ADD_FAILURE() << "a folder was written over";
    } catch (const FileError& e) {
        app->fileerrorbox(e);
    }
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Betsbackup Output");

    std::filesystem::remove_all(folder.file("Gone"));
    dialogs.ok(" 76 Path not found");
    // A message before the box may leave `fileop` as it likes.
    EXPECT_FALSE(app->context().commit(tx, [&](FileError&) { sh().fileop = "Reading Players"; }));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].title, "Bets Output");
}

TEST(ScriptedBoxes, AnUnexpectedBoxIsAFailure) {
    ScriptedDialogs d;
    EXPECT_EQ(d.msgbox("Delete all?", vbYesNo | vbQuestion, ""), vbNo);
    EXPECT_EQ(d.msgbox("Saved", vbOKOnly, ""), vbOK);
    EXPECT_EQ(d.msgbox("Go on?", vbOKCancel, ""), vbCancel);
    EXPECT_EQ(d.failures.size(), 3u);

    ScriptedDialogs wrong;
    wrong.ok("Saved");
    EXPECT_EQ(wrong.inputbox("Name?", "", ""), "");
    EXPECT_EQ(wrong.msgbox("Deleted", vbOKOnly, "t"), vbOK);
    EXPECT_EQ(wrong.failures.size(), 2u);
    EXPECT_EQ(wrong.pending(), 1u);
    EXPECT_TRUE(wrong.saw("Delete"));
    EXPECT_EQ(wrong.shown[1].title, "t");

    ScriptedDialogs fine;
    fine.answer(vbYes).type("", "Name");
    EXPECT_EQ(fine.msgbox("anything", vbYesNo, ""), vbYes);
    EXPECT_EQ(fine.inputbox("Name?", "", "default"), "");
    EXPECT_TRUE(fine.failures.empty());
    EXPECT_EQ(fine.prompts(), (std::vector<std::string>{"anything", "Name?"}));
}

TEST_F(AppForms, EndProgramUnloadsEveryFormAndEndsTheDocument) {
    probe().show();
    app->printer().print({"half a page"});
    bool ended = false;
    app->onend = [&] { ended = true; };
    app->endprogram();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(app->ended());
    EXPECT_FALSE(app->isloaded("frmprobe"));
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.lines(0), std::vector<std::string>{"half a page"});
}

TEST(AppPrinting, APrinterFailureIsShownNeverSwallowedOrFatal) {
    struct FailingSink : PrintSink {
        void print(const PrintDoc&) override { throwfileerror(57); }
    } failing;
    vt::test::TempFolder folder;
    ScriptedDialogs boxes;
    boxes.ok("57 Device I/O error").ok("57 Device I/O error");
    {
        App app(AppEnvironment{folder.path(), &boxes, &failing});
        app.shared().fileop = "Bets Input";  // stale: the box names the document instead
        {
            DocGuard guard(app.printer(), "Bet Sheet");
            app.printer().print({"sheet"});
        }
        app.printer().print({"left open"});
        app.endprogram();
        EXPECT_TRUE(app.ended());
        // A document still open when the App goes is dropped quietly.
        app.printer().print({"at the very end"});
    }
    EXPECT_TRUE(boxes.failures.empty());
    EXPECT_EQ(boxes.pending(), 0u);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].title, "Bet Sheet");
    EXPECT_EQ(boxes.shown[0].prompt, " 57 Device I/O error\r\nThe printout failed.");
    EXPECT_EQ(boxes.shown[1].title, "Printer");
}

// A job given up on that the print service could not cancel may still come out: the box says
// so, titled with the document the sink did not know the name of.
TEST(AppPrinting, AJobThatCouldNotBeCancelledIsNotCalledFailed) {
    struct UncancelledSink : PrintSink {
        void print(const PrintDoc&) override {
            PrintError e(FileError(57, errortext(57)), "");
            e.advice = "The print service is gone.";
            e.mayprint = true;
            throw e;
        }
    } sink;
    vt::test::TempFolder folder;
    ScriptedDialogs boxes;
    boxes.ok("may still come out");
    App app(AppEnvironment{folder.path(), &boxes, &sink});
    {
        DocGuard guard(app.printer(), "Bet Receipt");
        app.printer().print({"receipt"});
    }
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Bet Receipt");
    EXPECT_EQ(boxes.shown[0].prompt,
              " 57 Device I/O error\r\nThe print service is gone.\r\nThe printout may still come "
              "out: check the printer before printing again.");
}
