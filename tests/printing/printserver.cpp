#include "printserver.h"

#include <cups/cups.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace vt::test {

namespace {

namespace fs = std::filesystem;

std::string tempdir() {
    char name[] = "/tmp/vtprintXXXXXX";
    if (!::mkdtemp(name)) return "";
    ::chmod(name, 0755);  // the printer's backend runs as the scheduler's user
    return name;
}

void writefile(const std::string& path, const std::string& text, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << text;
    ::chmod(path.c_str(), mode);
}

bool connects(const std::string& path) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

ServiceEnvironment::ServiceEnvironment(const std::string& server) : home_(tempdir()) {
    for (const char* name : {"CUPS_SERVER", "HOME", "PRINTER", "LPDEST", "CUPS_SERVERROOT"}) {
        const char* v = std::getenv(name);
        saved_.emplace_back(name, v ? std::string(1, '=') + v : "");
    }
    ::setenv("CUPS_SERVER", server.c_str(), 1);
    // No lpoptions or client.conf of the user or the machine names another printer.
    ::setenv("HOME", home_.c_str(), 1);
    ::setenv("CUPS_SERVERROOT", home_.c_str(), 1);
    ::unsetenv("PRINTER");
    ::unsetenv("LPDEST");
}

ServiceEnvironment::~ServiceEnvironment() {
    for (auto& [name, value] : saved_)
        if (value.empty())
            ::unsetenv(name.c_str());
        else
            ::setenv(name.c_str(), value.c_str() + 1, 1);
    std::error_code ec;
    fs::remove_all(home_, ec);
}

PrintServer::PrintServer(const QueueSetup& setup) : dir_(tempdir()) {
    if (dir_.empty()) {
        failure_ = "no temporary folder";
        return;
    }
    for (const char* d : {"root", "bin", "bin/backend", "spool", "cache", "state", "log", "out"})
        fs::create_directory(dir_ + "/" + d);
    fs::create_directory(dir_ + "/tmp");
    ::chmod((dir_ + "/tmp").c_str(), 01777);
    ::chmod((dir_ + "/out").c_str(), 0777);
    std::error_code ec;
    fs::create_symlink("/usr/lib/cups/daemon", dir_ + "/bin/daemon", ec);
    // A printer whose device always fails (the scheduler probes backends with no arguments).
    writefile(dir_ + "/bin/backend/vtfail",
              "#!/bin/sh\n[ $# -eq 0 ] && exit 0\necho 'ERROR: The printer jammed.' >&2\nexit 1\n",
              0755);
    // A printer that keeps what it was sent: the job's file (its last argument) as the page,
    // after taking the setup's time over it.
    writefile(dir_ + "/bin/backend/vtpdf",
              "#!/bin/sh\n[ $# -eq 0 ] && exit 0\ntouch \"" + dir_ + "/out/printing\"\nsleep " +
                  std::to_string(setup.slow) + "\ncat \"$6\" > \"" + dir_ + "/out/job.pdf\"\n",
              0755);
    socket_ = dir_ + "/cups.sock";
    writefile(dir_ + "/root/cupsd.conf", "Listen " + socket_ +
                                             "\nLogLevel debug\nBrowsing No\nWebInterface No\n"
                                             "DefaultAuthType None\n"
                                             "<Location />\n  Order allow,deny\n  Allow all\n"
                                             "</Location>\n<Policy default>\n  <Limit All>\n"
                                             "    Order deny,allow\n  </Limit>\n</Policy>\n");
    writefile(dir_ + "/root/cups-files.conf",
              "ServerRoot " + dir_ + "/root\nServerBin " + dir_ +
                  "/bin\nDataDir /usr/share/cups\nRequestRoot " + dir_ + "/spool\nTempDir " + dir_ +
                  "/tmp\nCacheDir " + dir_ + "/cache\nStateDir " + dir_ + "/state\nAccessLog " +
                  dir_ + "/log/access_log\nErrorLog " + dir_ + "/log/error_log\nPageLog " + dir_ +
                  "/log/page_log\nPrintcap " + dir_ +
                  "/printcap\nFileDevice Yes\nSandboxing Relaxed\n");
    writefile(dir_ + "/root/printers.conf",
              setup.none
                  ? std::string()
                  : std::string("<DefaultPrinter ") + queue + ">\nInfo Test queue\nDeviceURI " +
                        (setup.aborts ? "vtfail:/" : "vtpdf:/") + "\nState " +
                        (setup.stopped ? "Stopped" : "Idle") + "\nAccepting " +
                        (setup.accepting ? "Yes" : "No") +
                        "\nShared No\nErrorPolicy abort-job\n</DefaultPrinter>\n",
              0600);
    const std::string conf = dir_ + "/root/cupsd.conf", files = dir_ + "/root/cups-files.conf",
                      log = dir_ + "/log/stdout";
    pid_ = ::fork();
    if (pid_ == 0) {
        std::freopen(log.c_str(), "w", stdout);
        std::freopen(log.c_str(), "a", stderr);
        ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 200; ++i) {
        int status = 0;
        if (pid_ < 0 || ::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            failure_ = "the scheduler ended at its start; see " + log;
            return;
        }
        if (connects(socket_)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    failure_ = "the scheduler did not open its socket in 10 s";
}

PrintServer::~PrintServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
}

std::vector<Job> PrintServer::jobs() const {
    std::vector<Job> out;
    int cancel = 0;
    http_t* http = httpConnect2(socket_.c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1,
                                5000, &cancel);
    if (!http) return out;
    cups_job_t* list = nullptr;
    const int n = cupsGetJobs2(http, &list, queue, 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < n; ++i) out.push_back({list[i].id, list[i].title, list[i].state});
    cupsFreeJobs(n, list);
    httpClose(http);
    std::sort(out.begin(), out.end(), [](const Job& a, const Job& b) { return a.id < b.id; });
    return out;
}

void PrintServer::settle() const {
    for (int i = 0; i < 200; ++i) {
        bool busy = false;
        for (const Job& j : jobs()) busy = busy || j.state < IPP_JSTATE_STOPPED;
        if (!busy) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

std::string PrintServer::lastoutput() const {
    std::ifstream in(dir_ + "/out/job.pdf", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool PrintServer::printing() const { return fs::exists(dir_ + "/out/printing"); }

void PrintServer::crash() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

SilentServer::SilentServer() : dir_(tempdir()) {
    socket_ = dir_ + "/silent.sock";
    fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    socket_.copy(addr.sun_path, sizeof addr.sun_path - 1);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(fd_, 64);
}

SilentServer::~SilentServer() {
    if (fd_ >= 0) ::close(fd_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

bool printservicemissing() { return ::access("/usr/sbin/cupsd", X_OK) != 0; }

}  // namespace vt::test
