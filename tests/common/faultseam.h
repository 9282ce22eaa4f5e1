#pragma once
// The fault seam of the file layer: a HostIo put in place of the system's calls of one Files. It
// counts the calls, fails, crashes or cuts the power at a chosen one, and hears each commit's
// steps (where it begins and ends, whether it passed its commit point).
#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/hostio.h"
#include "powercut.h"

namespace vt::test {

// Thrown by the seam where a crash ends an operation. It derives from nothing the program
// catches, so it unwinds past every cleanup and leaves the disk as a killed process would.
struct SimulatedCrash {};

// The `at`-th file-system call counted from setfault() fails with `err` (only that call, or every
// call from it on when `persist`), or throws SimulatedCrash instead of running; after a crash
// every later call throws it again. A power cut is a crash that also loses what was not synced
// since setfault(): each file the operation changed goes back to its contents at its last fsync,
// each folder's entries to their state at the last sync of that folder.
struct Fault {
    enum Kind { None, Fail, Crash, PowerCut };
    Kind kind = None;
    long at = 0;
    int err = EIO;
    bool persist = false;
};

class FaultSeam final : public HostIo {
  public:
    // Sets the fault and starts counting calls, commits and spans afresh.
    void setfault(Fault f);
    long calls() const { return calls_; }
    // Transactions that passed their commit point since setfault().
    long commits() const { return commits_; }
    // Commits since setfault() that failed after their commit point and could not be taken back:
    // their outcome is left to the next recovery, which completes them.
    long undecided() const { return undecided_; }
    // First and last call of each commit since setfault().
    const std::vector<std::pair<long, long>>& commitspans() const { return spans_; }

    int open(const std::string& p, int flags) const override;
    ssize_t read(int fd, void* buf, size_t n) const override;
    ssize_t write(int fd, const void* buf, size_t n) const override;
    int fsync(int fd) const override;
    int startwriteback(int fd) const override;
    int ftruncate(int fd, off_t n) const override;
    int rename(const std::string& a, const std::string& b) const override;
    int unlink(const std::string& p) const override;
    int stat(const std::string& p, struct stat& st) const override;
    int mkdir(const std::string& p) const override;
    DIR* opendir(const std::string& p) const override;
    int removeall(const std::string& p) const override;
    void commitstep(CommitStep step) const override;

  private:
    // Counts one call: true (errno set) when it is to fail; throws SimulatedCrash at a crash.
    bool fails() const;
    SystemIo system_;
    Fault fault_;
    mutable long calls_ = 0, commits_ = 0, undecided_ = 0;
    mutable long spanfirst_ = 0;
    mutable std::vector<std::pair<long, long>> spans_;
    mutable bool crashed_ = false;
    std::unique_ptr<PowerCutModel> power_;  // armed by a power-cut fault
};

// The seam of `files`: put in place of its system calls on first use, the same one after.
FaultSeam& faults(Files& files);

}  // namespace vt::test
