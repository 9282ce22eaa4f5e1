#pragma once
// The machine's print service, asked through its own library: which printer documents go to,
// handing a document over as a titled job, and what became of that job. Every wait on the
// service is bounded, and the cashier can stop it at once.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

typedef struct _http_s http_t;

namespace vt {

// A document that did not print: 57 Device I/O error, with `why` on the box's next line;
// `mayprint` when its job was given up on but could not be cancelled.
[[noreturn]] void printfailure(const std::string& why, bool mayprint = false);

// The calls run on one thread at a time (a worker, so the window's thread is never held up);
// stop() may come from any thread.
class PrintService {
  public:
    explicit PrintService(double waitseconds) : wait_(waitseconds) {}
    ~PrintService();
    PrintService(const PrintService&) = delete;
    PrintService& operator=(const PrintService&) = delete;

    // Whether a printer is configured on this machine, without asking the service: the service
    // is named (CUPS_SERVER, a client.conf ServerName), its local socket exists, a default
    // printer is named (PRINTER, LPDEST, lpoptions) or the scheduler keeps printers.
    static bool configured();
    // Finds the default printer: false when the service answers that it has none (nothing is
    // configured after all). Throws FileError when the service cannot be reached or does not
    // answer in time, or when the printer named as the default is not there.
    bool find();
    const std::string& printer() const { return printer_; }
    // Hands a PDF over as one job titled `title`: its job number once the service accepted it;
    // FileError when it refused it (the job it made is cancelled).
    int submit(const std::string& title, const std::string& pdf);
    // Waits until the job has completed, at most `seconds`. A job that failed is a print failure;
    // one that did not complete in time, or whose wait was stopped, is cancelled and a print
    // failure.
    void awaitcompletion(int job, double seconds);
    // Ends the wait under way at once and refuses every later one, as cancelled by the cashier.
    void stop();

  private:
    enum class JobState { Waiting, Completed, Failed };
    // What became of a job; `why` says what went wrong for a failed one.
    JobState state(int job, std::string& why);
    // Cancels a job given up on: true when the service confirmed it.
    bool cancel(int job);
    // Cancels the job and fails with `why`; `whyuncancelled` when the service could not be told,
    // as a failure that may still print.
    [[noreturn]] void giveup(int job, const std::string& why, const std::string& whyuncancelled);
    // Fails as cancelled when stop() came.
    void checkstopped() const;
    // An answer is awaited from here: its waits count from nothing.
    void asking() { idle_ = 0; }
    http_t* connect(int* stopflag);
    static int keepwaiting(http_t*, void* service);

    double wait_;
    double idle_ = 0;  // seconds of the answer awaited now that passed without a byte
    http_t* http_ = nullptr;
    std::string server_;
    std::string printer_;
    std::atomic<bool> stopped_{false};
    int connectstop_ = 0;  // the library's "cancel" flag while it connects
    std::mutex pausing_;
    std::condition_variable woken_;
};

}  // namespace vt
