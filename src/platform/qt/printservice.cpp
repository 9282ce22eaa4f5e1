#include "platform/qt/printservice.h"

#include <cups/cups.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "platform/fileerror.h"
#include "platform/printer.h"

namespace vt {

namespace {

bool envset(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

std::string serverroot() {
    const char* v = std::getenv("CUPS_SERVERROOT");
    return v && *v ? v : "/etc/cups";
}

// Whether a file's lines hold one starting with any of `starts`; `unreadable` when it exists
// but cannot be read.
bool fileholds(const std::string& path, std::initializer_list<const char*> starts,
               bool unreadable) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    std::ifstream in(path);
    if (!in) return unreadable;
    std::string line;
    while (std::getline(in, line)) {
        const size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos) continue;
        for (const char* s : starts)
            if (line.compare(at, std::char_traits<char>::length(s), s) == 0) return true;
    }
    return false;
}

// The first word of a "Default" line of an lpoptions file, without its instance ("" for none).
std::string lpoptionsdefault(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line.compare(at, 8, "Default ") != 0) continue;
        const size_t from = line.find_first_not_of(" \t", at + 8);
        if (from == std::string::npos) continue;
        return line.substr(from, line.find_first_of(" \t/", from) - from);
    }
    return "";
}

// The default printer named on this machine for this user, without asking the service ("" when
// none is): PRINTER, LPDEST, then the user's and the machine's lpoptions.
std::string defaultnamed() {
    for (const char* var : {"PRINTER", "LPDEST"})
        if (envset(var)) return std::getenv(var);
    const char* home = std::getenv("HOME");
    if (home && *home) {
        std::string name = lpoptionsdefault(std::string(home) + "/.cups/lpoptions");
        if (!name.empty()) return name;
    }
    return lpoptionsdefault(serverroot() + "/lpoptions");
}

// A wait on a connection that the cashier cannot stop ends at its bound.
int giveupwaiting(http_t*, void*) { return 0; }

bool ippok() { return cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE; }

// The library reports each stretch of this many seconds without a byte, so a stop is seen at
// once.
constexpr double kslice = 0.1;

const char* const kcancelled = "The printing was cancelled.";
const char* const kstoppeduncancelled =
    "The printing was stopped, but the print service could not be told to cancel the job.";

}  // namespace

PrintService::~PrintService() {
    if (http_) httpClose(http_);
}

bool PrintService::configured() {
    if (envset("CUPS_SERVER") || !defaultnamed().empty()) return true;
    // The server named by client.conf, or the local scheduler's socket when it exists;
    // "localhost" when neither is there.
    cupsSetServer(nullptr);
    const char* server = cupsServer();
    if (server && *server && std::string(server) != "localhost") return true;
    // A scheduler that keeps printers but is not running: its printers are configured, and
    // unreachable. The file is often readable by the scheduler alone: then its being there
    // counts.
    return fileholds(serverroot() + "/printers.conf", {"<Printer ", "<DefaultPrinter "}, true);
}

void printfailure(const std::string& why, bool mayprint) {
    PrintError e(FileError(57, errortext(57)), "");
    e.advice = why;
    e.mayprint = mayprint;
    throw e;
}

int PrintService::keepwaiting(http_t*, void* service) {
    auto* s = static_cast<PrintService*>(service);
    s->idle_ += kslice;
    return !s->stopped_ && s->idle_ < s->wait_ ? 1 : 0;
}

http_t* PrintService::connect(int* stopflag) {
    return httpConnect2(server_.c_str(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                        static_cast<int>(wait_ * 1000), stopflag);
}

void PrintService::checkstopped() const {
    if (stopped_) printfailure(kcancelled);
}

void PrintService::stop() {
    stopped_ = true;
    std::atomic_ref<int>(connectstop_).store(1);
    const std::lock_guard<std::mutex> lock(pausing_);
    woken_.notify_all();
}

bool PrintService::find() {
    checkstopped();
    cupsSetServer(nullptr);
    server_ = cupsServer();
    http_ = connect(&connectstop_);
    if (!http_) {
        checkstopped();
        printfailure("The print service (" + server_ + ") cannot be reached.");
    }
    httpSetTimeout(http_, kslice, keepwaiting, this);
    // The printer named here, checked with the service; otherwise the service's default.
    printer_ = defaultnamed();
    ipp_t* request;
    if (printer_.empty()) {
        request = ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
    } else {
        request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        char uri[HTTP_MAX_URI];
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                         "/printers/%s", printer_.c_str());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    }
    static const char* const wanted[] = {"printer-name"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr,
                  wanted);
    asking();
    ipp_t* response = cupsDoRequest(http_, request, "/");
    const ipp_status_t status = cupsLastError();
    const bool answered = response != nullptr;
    std::string name;
    if (ipp_attribute_t* a = ippFindAttribute(response, "printer-name", IPP_TAG_NAME))
        name = ippGetString(a, 0, nullptr) ? ippGetString(a, 0, nullptr) : "";
    ippDelete(response);
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        // The service has no default printer, and none is named here: nothing is configured.
        if (printer_.empty()) return false;
        printfailure("The printer " + printer_ + " is not known to the print service (" + server_ +
                     ").");
    }
    if (!answered || !ippok() || (printer_.empty() && name.empty())) {
        checkstopped();
        printfailure("The print service (" + server_ + ") did not answer.");
    }
    if (printer_.empty()) printer_ = name;
    return true;
}

int PrintService::submit(const std::string& title, const std::string& pdf) {
    checkstopped();
    asking();
    const int job = cupsCreateJob(http_, printer_.c_str(), title.c_str(), 0, nullptr);
    if (job <= 0) {
        checkstopped();
        printfailure("The printer " + printer_ + " did not take the job: " + cupsLastErrorString());
    }
    asking();
    bool sent = cupsStartDocument(http_, printer_.c_str(), job, title.c_str(), CUPS_FORMAT_PDF,
                                  1) == HTTP_STATUS_CONTINUE;
    if (sent) {
        asking();
        sent = cupsWriteRequestData(http_, pdf.data(), pdf.size()) == HTTP_STATUS_CONTINUE;
    }
    // The document is finished also after a failed write, so the connection is ready again.
    asking();
    sent = cupsFinishDocument(http_, printer_.c_str()) <= IPP_STATUS_OK_EVENTS_COMPLETE && sent;
    if (!sent) {
        if (stopped_) giveup(job, kcancelled, kstoppeduncancelled);
        const std::string why =
            "The printer " + printer_ + " did not take the job: " + cupsLastErrorString();
        giveup(job, why, why + " The print service could not be told to cancel it.");
    }
    return job;
}

void PrintService::awaitcompletion(int job, double seconds) {
    const auto start = std::chrono::steady_clock::now();
    std::string why;
    for (;;) {
        switch (state(job, why)) {
            case JobState::Completed:
                return;
            case JobState::Failed:
                printfailure(why);
            case JobState::Waiting:
                break;
        }
        if (stopped_) giveup(job, kcancelled, kstoppeduncancelled);
        if (std::chrono::steady_clock::now() - start > std::chrono::duration<double>(seconds)) {
            const std::string after = std::to_string(static_cast<int>(seconds)) + " seconds";
            giveup(job, why + " It was cancelled after " + after + ".",
                   why + " It was given up on after " + after +
                       ", and the print service could not be told to cancel it.");
        }
        std::unique_lock<std::mutex> lock(pausing_);
        woken_.wait_for(lock, std::chrono::milliseconds(250), [this] { return stopped_.load(); });
    }
}

PrintService::JobState PrintService::state(int job, std::string& why) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/jobs/%d", job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const wanted[] = {"job-state", "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr,
                  wanted);
    asking();
    ipp_t* response = cupsDoRequest(http_, request, "/");
    if (!response || !ippok()) {
        // Unknown for now: the caller's bound ends the wait.
        why = "The print service did not say what became of the job: " +
              std::string(cupsLastErrorString());
        ippDelete(response);
        return JobState::Waiting;
    }
    const int s = ippGetInteger(ippFindAttribute(response, "job-state", IPP_TAG_ENUM), 0);
    ipp_attribute_t* message =
        ippFindAttribute(response, "job-printer-state-message", IPP_TAG_TEXT);
    const std::string said =
        message && ippGetString(message, 0, nullptr) ? ippGetString(message, 0, nullptr) : "";
    ippDelete(response);
    switch (s) {
        case IPP_JSTATE_COMPLETED:
            return JobState::Completed;
        case IPP_JSTATE_CANCELED:
            why = "The job was cancelled at the printer " + printer_ + ".";
            return JobState::Failed;
        case IPP_JSTATE_ABORTED:
            why =
                "The printer " + printer_ + " aborted the job" + (said.empty() ? "." : ": " + said);
            return JobState::Failed;
        default:
            why = "The printer " + printer_ + " did not finish the job" +
                  (said.empty() ? "." : ": " + said);
            return JobState::Waiting;
    }
}

bool PrintService::cancel(int job) {
    // On a connection of its own: the one in use may have given up in the middle of an answer,
    // and the cashier's Cancel does not stop this one.
    int never = 0;
    http_t* http = connect(&never);
    if (!http) return false;
    httpSetTimeout(http, wait_, giveupwaiting, nullptr);
    const bool cancelled =
        cupsCancelJob2(http, printer_.c_str(), job, 0) <= IPP_STATUS_OK_EVENTS_COMPLETE;
    httpClose(http);
    return cancelled;
}

void PrintService::giveup(int job, const std::string& why, const std::string& whyuncancelled) {
    if (cancel(job)) printfailure(why);
    printfailure(whyuncancelled, true);
}

}  // namespace vt
