#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/runtime.h"
#include "records/context.h"
#include "records/shared.h"

namespace vt {

struct AppEnvironment {
    std::string programfolder;  // host folder standing for "C:\Vantrope"
    Dialogs* dialogs = nullptr;
    PrintSink* printsink = nullptr;
};

class App;
using FormFactory = std::function<std::unique_ptr<Form>(App&)>;

// Owns the shared state, the forms (created on first touch), the boxes and the printer.
class App : public Runtime {
public:
    explicit App(AppEnvironment env);
    ~App() override;

    // Runs the start-up: loads and shows the setup screen.
    void start();
    // Loads the form when needed and returns it.
    Form& form(const std::string& name);
    template <class T>
    T& formas(const std::string& name) { return dynamic_cast<T&>(form(name)); }
    bool isloaded(const std::string& name) const { return forms_.count(name) != 0; }
    Shared& shared() { return shared_; }
    // The shared procedures' view of this App: its shared state and its runtime.
    operator Context&() { return context_; }

    // Each subsystem registers its forms here.
    void registerform(const std::string& name, FormFactory factory);

    // The results file, open for appending while the program runs.
    AppendFile results;

    // Ends the program: unloads every form; the view quits.
    void endprogram();
    bool ended() const { return ended_; }
    std::function<void()> onend;

    void formunloaded(Form& form) override;
    std::vector<Form*> loadedforms() override;

    // Sets the print switch; every loaded screen that shows it ("cmdprint") shows its new state.
    void setprintswitch(const std::string& value);

    bool commit(Transaction& tx) { return context_.commit(tx); }
    // Shows the file-error box for e, titled with fileop.
    void fileerrorbox(const FileError& e) { context_.fileerrorbox(e); }

private:
    Shared shared_;
    Context context_{shared_, *this};
    std::map<std::string, FormFactory> factories_;
    std::map<std::string, std::unique_ptr<Form>> forms_;
    std::vector<std::string> loadorder_;
    bool ended_ = false;
    // Forms whose Form_Load is running, and forms that unloaded while loading: App::form still
    // returns a reference to those, so they stay alive until the App ends.
    std::vector<Form*> loading_;
    std::vector<std::unique_ptr<Form>> unloadedonload_;
};

// Registration of each subsystem's forms (one function per folder).
void register_setup(App& app);
void register_names(App& app);
void register_betting(App& app);
void register_payoff(App& app);
void register_reports(App& app);
void register_payoff3(App& app);

}  // namespace vt
