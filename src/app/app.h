#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "records/host.h"

namespace vt {

struct AppEnvironment {
    std::string programfolder;  // host folder standing for "C:\Vantrope"
    Dialogs* dialogs = nullptr;
    PrintSink* printsink = nullptr;
    // The lock call of the folder locks: flock(2) when empty.
    FolderLock::LockCall lockcall = {};
    // Where new identities of bets and bettors come from: the system's random source when empty
    // (fault tests make them repeat from run to run).
    std::function<uint64_t()> identities = {};
};

// Owns the shared state, the forms (created on first touch), the boxes and the printer.
class App : public Host {
  public:
    explicit App(AppEnvironment env);
    ~App() override;

    // Runs the start-up: loads and shows the setup screen. When another copy of the program holds
    // the program folder, it says so and ends the program instead (ended() is then true).
    void start();
    Form& form(const std::string& name) override;
    bool isloaded(const std::string& name) const override { return forms_.count(name) != 0; }
    Shared& shared() override { return shared_; }
    Context& context() override { return context_; }
    void registerform(const std::string& name, FormFactory factory) override;
    void endprogram() override;
    bool ended() const override { return ended_; }
    std::function<void()> onend;
    void setprintswitch(const std::string& value) override;

    void formunloaded(Form& form) override;
    void eventended() override;
    std::vector<Form*> loadedforms() override;

  private:
    Shared shared_;
    Context context_;
    std::map<std::string, FormFactory> factories_;
    std::map<std::string, std::unique_ptr<Form>> forms_;
    std::vector<std::string> loadorder_;
    bool ended_ = false;
    // Forms whose Form_Load is running, and forms that unloaded while loading: App::form still
    // returns a reference to those, so they stay alive until the App ends.
    std::vector<Form*> loading_;
    std::vector<std::unique_ptr<Form>> unloadedonload_;
    // Forms unloaded during the event that runs: dropped when it ends.
    std::vector<std::unique_ptr<Form>> unloaded_;
};

// Registration of each subsystem's forms (one function per folder, defined in its register.cpp).
void register_setup(Host& host);
void register_names(Host& host);
void register_betting(Host& host);
void register_payoff(Host& host);
void register_reports(Host& host);
void register_payoff3(Host& host);

}  // namespace vt
