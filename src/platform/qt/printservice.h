#pragma once
// The machine's print service, asked through its own library: which printer documents go to,
// handing a document over as a titled job, and what became of that job. Every wait on the
// service is bounded.
#include <string>

typedef struct _http_s http_t;

namespace vt {

// A document that did not print: 57 Device I/O error, with `why` on the box's next line.
[[noreturn]] void printfailure(const std::string& why);

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
    enum class JobState { Waiting, Completed, Failed };
    // What became of a job; `why` says what went wrong for a failed one.
    JobState state(int job, std::string& why);
    // Cancels a job given up on, so it cannot print later.
    void cancel(int job);

  private:
    double wait_;
    http_t* http_ = nullptr;
    std::string server_;
    std::string printer_;
};

}  // namespace vt
