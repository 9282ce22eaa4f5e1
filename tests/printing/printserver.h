#pragma once
// A print service of the tests' own: a scheduler with its configuration, socket and spool in a
// temporary folder and one default queue, or a socket that takes connections and never answers.
// The program is pointed at it through CUPS_SERVER; the machine's own print system is not touched.
#include <string>
#include <vector>

namespace vt::test {

// What the one queue does with a job.
struct QueueSetup {
    bool accepting = true;  // false: every job is refused
    bool aborts = false;    // the printer's backend fails and the job is aborted
    bool stopped = false;   // the printer is stopped: jobs wait for ever
    bool none = false;      // the service has no printer at all
    int slow = 0;           // seconds the printer takes over each job
};

struct Job {
    int id = 0;
    std::string title;
    int state = 0;  // the job's state as the service tells it (9 completed, 8 aborted, 7 cancelled)
};

// Points this process at a service (CUPS_SERVER, and a HOME of its own so no user's printer
// choice is read) until it goes.
class ServiceEnvironment {
  public:
    explicit ServiceEnvironment(const std::string& server);
    ~ServiceEnvironment();

  private:
    std::vector<std::pair<std::string, std::string>> saved_;
    std::string home_;
};

class PrintServer {
  public:
    explicit PrintServer(const QueueSetup& setup = {});
    ~PrintServer();
    // Empty when the service started; otherwise why it did not.
    const std::string& failure() const { return failure_; }
    const std::string& socket() const { return socket_; }
    static constexpr const char* queue = "vtqueue";
    // Every job the queue ever had, oldest first.
    std::vector<Job> jobs() const;
    // Waits (up to 20 s) until no job is waiting or printing.
    void settle() const;
    // The bytes the printer wrote out for the last completed job.
    std::string lastoutput() const;
    // Whether the printer has started on a job.
    bool printing() const;
    // Ends the scheduler as a crash would (kill -9): the printer goes on with its job.
    void crash();

  private:
    std::string dir_, socket_, failure_;
    int pid_ = -1;
};

// A socket that takes connections and never answers, as a hung service does.
class SilentServer {
  public:
    SilentServer();
    ~SilentServer();
    const std::string& socket() const { return socket_; }

  private:
    std::string dir_, socket_;
    int fd_ = -1;  // listening; connections wait in its backlog, never taken
};

// True when the print service's programs are missing and the tests may skip (outside ./test).
bool printservicemissing();

}  // namespace vt::test
