// Documents handed to a real print service of the test's own: titled jobs, and a refused,
// aborted, unfinished or unanswered job is a print failure that changes nothing.
#include "platform/qt/printservice.h"

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "../betting/betfixture.h"
#include "../names/namesfixture.h"
#include "faults.h"
#include "platform/qt/qtview.h"
#include "platform/qt/qtwidgets.h"
#include "printserver.h"
#include "records/records.h"

namespace vt::test {
namespace {

constexpr int kCompleted = 9, kCancelled = 7, kAborted = 8;

// Under ./test the service's programs are installed, so a service that cannot start is a
// failure; elsewhere missing programs skip with a message.
#define NEED_PRINT_SERVICE(server)                                                        \
    do {                                                                                  \
        if (printservicemissing() && !std::getenv("VANTROPE_PRINT_SERVICE_REQUIRED"))     \
            GTEST_SKIP() << "cupsd is not installed (Debian cups-daemon): print service " \
                            "tests skipped";                                              \
        ASSERT_EQ((server).failure(), "") << "the test's print service did not start";    \
    } while (0)

const std::string failedbox = "The printout failed, so nothing was changed.";

// Keeps what the printer received as build/screens/<name> for a person to look at.
void keep(const PrintServer& server, const std::string& name) {
    std::ofstream(std::string(VANTROPE_SCREENS_DIR) + "/" + name, std::ios::binary)
        << server.lastoutput();
}

// The names fixture with the program's real printer sink.
class RefundService : public NamesTest {
  protected:
    RefundService() : sink(folder.path()) {
        processsettings();
        ensureqtapp();
        auto flights = sh().flightnames;
        app = std::make_unique<App>(AppEnvironment{folder.path(), &dialogs, &sink});
        sh().flightnames = flights;
        sh().printswitch = "yes";
        sink.servicewait = 2;
        sink.completionwait = 20;
        bettors("1,\"AnyBettor\"\r\n2,\"SMITH-AL\"\r\n");
        players("1,1,\"\",\"SMITH-JOHN\"\r\n");
        bets("Round1", 1, "2,1,1,25\r\n");
    }
    // Clears Round1 flight A, answering the printer question, and expects the box `after`.
    void clearflight(int printanswer, const std::string& after) {
        sh().curround = "Round1";
        sh().curflightnbr = 1;
        sh().curflight = sh().flightnames[1];
        dialogs.answer(vbYes, "Click Yes to clear Round1 Flight FLT-A")
            .answer(printanswer, "Print refunds?")
            .ok(after);
        clearflightbets(*app);
    }
    // Clearing with a print that fails: the box (ending with `last`) names the list within
    // `bound` seconds, and every file is as it was.
    void failstoclear(double bound, const std::string& last = failedbox) {
        const auto before = snapshot(folder.path());
        const auto start = std::chrono::steady_clock::now();
        clearflight(vbYes, last);
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(took, bound);
        ASSERT_FALSE(dialogs.shown.empty());
        EXPECT_EQ(dialogs.shown.back().title, "Refund List");
        EXPECT_EQ(dialogs.shown.back().prompt.rfind(" 57 Device I/O error\r\n", 0), 0u)
            << dialogs.shown.back().prompt;
        const std::string& prompt = dialogs.shown.back().prompt;
        EXPECT_EQ(prompt.substr(prompt.size() - std::min(prompt.size(), last.size())), last);
        EXPECT_EQ(snapshot(folder.path()), before);
    }
    QtPrintSink sink;
};

// The window's thread while a document prints, as the cashier sees it: a timer ticking every
// 20 ms (the longest gap between ticks says how long the thread was held up) and the "Printing"
// box; `whilebox` runs at each tick while it is up.
struct WindowWatch {
    WindowWatch() {
        QObject::connect(&timer, &QTimer::timeout, [this] { tick(); });
        clock.start();
        timer.start(20);
    }
    void tick() {
        const qint64 now = clock.elapsed();
        if (ticks++ > 0) longest = std::max(longest, now - last);
        last = now;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QProgressDialog*>(w); box && box->isVisible()) {
                boxtitle = qtv::ss(box->windowTitle());
                boxlabel = qtv::ss(box->labelText());
                if (whilebox) whilebox();
                if (cancelwhen && cancelledat < 0 && cancelwhen()) {
                    cancelledat = now;
                    box->findChild<QPushButton*>()->click();
                }
            }
    }
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    int ticks = 0;
    std::string boxtitle, boxlabel;  // as last seen
    std::function<void()> whilebox;
    // The box's Cancel is clicked once this holds, noting when.
    std::function<bool()> cancelwhen;
    qint64 cancelledat = -1;
};

const std::string mayprintbox =
    "The printout may still come out: check the printer before printing again. Nothing was "
    "changed.";

TEST_F(RefundService, TheRefundListArrivesAsACompletedTitledJobBeforeTheFlightIsCleared) {
    PrintServer server;
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    clearflight(vbYes, "Round1 Flight FLT-A      Bets Cleared");
    const auto jobs = server.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].title, "Refund List");
    EXPECT_EQ(jobs[0].state, kCompleted);
    EXPECT_EQ(server.lastoutput().rfind("%PDF", 0), 0u);
    keep(server, "refund-list-job.pdf");
    EXPECT_EQ(sink.lastoutput, PrintServer::queue);
    EXPECT_FALSE(folder.exists("Round1 1Bets"));
    EXPECT_FALSE(folder.exists("Printouts"));
}

TEST_F(RefundService, ThePrinterQuestionAnsweredNoPrintsNothing) {
    PrintServer server;
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    clearflight(vbNo, "Round1 Flight FLT-A      Bets Cleared");
    EXPECT_TRUE(server.jobs().empty());
    EXPECT_FALSE(folder.exists("Round1 1Bets"));
}

TEST_F(RefundService, AQueueThatRefusesJobsClearsNothing) {
    PrintServer server({.accepting = false});
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    failstoclear(5);
    EXPECT_NE(dialogs.shown.back().prompt.find("did not take the job"), std::string::npos)
        << dialogs.shown.back().prompt;
    EXPECT_TRUE(server.jobs().empty());
}

TEST_F(RefundService, APrinterThatAbortsTheJobClearsNothing) {
    PrintServer server({.aborts = true});
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    failstoclear(15);
    EXPECT_NE(dialogs.shown.back().prompt.find("aborted the job"), std::string::npos)
        << dialogs.shown.back().prompt;
    const auto jobs = server.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].state, kAborted);
}

TEST_F(RefundService, AJobThatDoesNotFinishInTimeIsCancelledInTheQueue) {
    PrintServer server({.stopped = true});
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    sink.completionwait = 1.5;
    failstoclear(8);
    server.settle();
    const auto jobs = server.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].state, kCancelled);
}

// Cancel, clicked while the job is awaited, ends the wait at once; the service confirms the
// cancel, so the box may say that nothing printed.
TEST_F(RefundService, TheCashierCancelsTheWaitAndTheJobIsCancelled) {
    PrintServer server({.stopped = true});
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    WindowWatch watch;
    watch.cancelwhen = [&] { return !server.jobs().empty(); };
    failstoclear(10);
    EXPECT_EQ(watch.boxtitle, "Refund List");
    ASSERT_GE(watch.cancelledat, 0);
    EXPECT_LT(watch.clock.elapsed() - watch.cancelledat, 1000);
    EXPECT_NE(dialogs.shown.back().prompt.find("The printing was cancelled."), std::string::npos);
    server.settle();
    const auto jobs = server.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].state, kCancelled);
}

// A service that takes the connection and never answers: the "Printing" box is up from the
// printer look-up on, the window's thread keeps running, and the failure comes at the bound.
TEST_F(RefundService, AServiceThatDoesNotAnswerIsAFailureWithinTheBound) {
    if (printservicemissing() && !std::getenv("VANTROPE_PRINT_SERVICE_REQUIRED"))
        GTEST_SKIP() << "cupsd is not installed";
    SilentServer silent;
    ServiceEnvironment env(silent.socket());
    WindowWatch watch;
    // The box as the cashier sees it, kept for a person to look at.
    watch.whilebox = [&] {
        if (QWidget* box = QApplication::activeModalWidget(); box && watch.ticks == 10)
            box->grab().save(QString(VANTROPE_SCREENS_DIR) + "/printing-box.png");
    };
    failstoclear(3 * sink.servicewait + 2);
    EXPECT_NE(dialogs.shown.back().prompt.find("did not answer"), std::string::npos);
    EXPECT_FALSE(folder.exists("Printouts"));
    EXPECT_EQ(watch.boxtitle, "Refund List");
    EXPECT_GT(watch.ticks * 20, sink.servicewait * 1000 / 2);
    EXPECT_LT(watch.longest, 1000);
}

// Cancel during the look-up of a service that never answers ends the wait, not the 30 s bound,
// within about a second (the print service's library itself waits up to one second for a first
// reply to each request); no job was made, so nothing can print.
TEST_F(RefundService, CancelWhileAServiceDoesNotAnswerEndsTheWait) {
    if (printservicemissing() && !std::getenv("VANTROPE_PRINT_SERVICE_REQUIRED"))
        GTEST_SKIP() << "cupsd is not installed";
    SilentServer silent;
    ServiceEnvironment env(silent.socket());
    sink.servicewait = 30;
    WindowWatch watch;
    watch.cancelwhen = [] { return true; };
    failstoclear(5);
    ASSERT_GE(watch.cancelledat, 0);
    EXPECT_LT(watch.clock.elapsed() - watch.cancelledat, 2000);
    EXPECT_NE(dialogs.shown.back().prompt.find("The printing was cancelled."), std::string::npos);
    // Meanwhile the box stayed up, saying so.
    EXPECT_EQ(watch.boxlabel, "Cancelling the printing...");
}

// The service is killed while the printer works on the job: the job cannot be cancelled any
// more, so the box says the printout may still come out (and it does), and nothing is cleared.
TEST_F(RefundService, AServiceKilledWhileTheJobPrintsSaysThePrintoutMayStillComeOut) {
    PrintServer server({.slow = 6});
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    sink.completionwait = 4;
    WindowWatch watch;
    watch.whilebox = [&] {
        if (server.printing()) server.crash();
    };
    failstoclear(sink.completionwait + 3, mayprintbox);
    EXPECT_NE(dialogs.shown.back().prompt.find("could not be told to cancel"), std::string::npos)
        << dialogs.shown.back().prompt;
    EXPECT_LT(watch.longest, 1000);
    for (int i = 0; i < 100 && server.lastoutput().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(server.lastoutput().rfind("%PDF", 0), 0u);
}

TEST_F(RefundService, AConfiguredServiceThatIsNotRunningIsAFailureNotAPdf) {
    TempFolder gone;
    ServiceEnvironment env(gone.path() + "/cups.sock");
    failstoclear(5);
    EXPECT_NE(dialogs.shown.back().prompt.find("cannot be reached"), std::string::npos)
        << dialogs.shown.back().prompt;
    EXPECT_FALSE(folder.exists("Printouts"));
}

TEST_F(RefundService, AServiceWithNoPrinterLeavesThePdfInPrintouts) {
    PrintServer server({.none = true});
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    clearflight(vbYes, "Round1 Flight FLT-A      Bets Cleared");
    EXPECT_EQ(sink.lastoutput.rfind(folder.path() + "/Printouts/", 0), 0u) << sink.lastoutput;
    EXPECT_FALSE(folder.exists("Round1 1Bets"));
}

// The betting screen with the program's real printer sink.
class ReceiptService : public BetTest {
  protected:
    ReceiptService() : sink(folder.path()) {
        processsettings();
        ensureqtapp();
        app = std::make_unique<App>(AppEnvironment{folder.path(), &dialogs, &sink});
        betsettings(sh());
        sh().banner1 = sh().banner = "SPRING OPEN ROUND 1";
        sh().printswitch = "yes";
        sink.servicewait = 2;
    }
    void pay() {
        open();
        tick(3);
        pickbettor("SMITH-BOB");
        place(7, "cmdwin", {3});
        c("cmdpay").click();
    }
    QtPrintSink sink;
};

TEST_F(ReceiptService, TheReceiptArrivesAsATitledJob) {
    PrintServer server;
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    pay();
    EXPECT_EQ(c("cmdpay").caption(), "  PAID  $2.00");
    server.settle();
    const auto jobs = server.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].title, "Bet Receipt");
    EXPECT_EQ(jobs[0].state, kCompleted);
    EXPECT_EQ(server.lastoutput().rfind("%PDF", 0), 0u);
    keep(server, "receipt-job.pdf");
}

TEST_F(ReceiptService, AReceiptTheQueueRefusesIsToldAndThePaymentStands) {
    PrintServer server({.accepting = false});
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    dialogs.ok("The printout failed.");
    pay();
    EXPECT_EQ(dialogs.shown.back().title, "Bet Receipt");
    EXPECT_EQ(betsfile(3), "12,7,1,2\r\n");
    EXPECT_TRUE(server.jobs().empty());
    EXPECT_FALSE(folder.exists("Printouts"));
}

}  // namespace
}  // namespace vt::test

namespace vt::test {
namespace {

// Whether a printer is configured is told without asking the service.
TEST(PrintServiceConfigured, APrinterListOrANamedDefaultCountsAServiceNamedOrNot) {
    TempFolder root;
    ServiceEnvironment env("unused");
    ::unsetenv("CUPS_SERVER");
    ::setenv("CUPS_SERVERROOT", root.path().c_str(), 1);
    // With no local scheduler's socket, nothing here names a printer.
    const bool localsocket = ::access("/run/cups/cups.sock", F_OK) == 0;
    if (!localsocket) {
        EXPECT_FALSE(PrintService::configured());
    }
    // A scheduler that keeps a printer, though it is not running.
    root.write("printers.conf", "<DefaultPrinter office>\nState Idle\n</DefaultPrinter>\n");
    EXPECT_TRUE(PrintService::configured());
    root.write("printers.conf", "# no printers\n");
    if (!localsocket) {
        EXPECT_FALSE(PrintService::configured());
    }
    // A default named in the machine's lpoptions.
    root.write("lpoptions", "Default office/duplex sides=two-sided-long-edge\n");
    EXPECT_TRUE(PrintService::configured());
}

TEST_F(RefundService, ADefaultPrinterNamedHereThatTheServiceLacksIsAFailure) {
    PrintServer server;
    NEED_PRINT_SERVICE(server);
    ServiceEnvironment env(server.socket());
    ::setenv("PRINTER", "office", 1);
    failstoclear(5);
    EXPECT_NE(dialogs.shown.back().prompt.find("The printer office is not known"),
              std::string::npos)
        << dialogs.shown.back().prompt;
    EXPECT_TRUE(server.jobs().empty());
}

}  // namespace
}  // namespace vt::test
