#include "app/app.h"

#include <algorithm>
#include <stdexcept>

namespace vt {

App::App(AppEnvironment env)
    : Host(*env.dialogs, *env.printsink, env.programfolder, std::move(env.lockcall)),
      context_(shared_, *this, std::move(env.identities)) {
    shared_.sizetables();
    register_setup(*this);
    register_names(*this);
    register_betting(*this);
    register_payoff(*this);
    register_reports(*this);
    register_payoff3(*this);
}

App::~App() {
    printer().onprinterror = nullptr;
    try {
        printer().enddoc();
    } catch (...) {
        // Nothing is left to tell at the very end.
    }
    results.close();
}

void App::registerform(const std::string& name, FormFactory factory) {
    factories_[name] = std::move(factory);
}

void App::start() {
    // A second copy on the program folder touches nothing there: it says so and ends.
    if (!claimprogramfolder()) {
        endprogram();
        return;
    }
    std::optional<FileError> refused = files().startup();
    dispatch([&] {
        // A change journal that cannot be trusted is told of before anything else, once.
        if (refused) fileerrorbox(*refused);
        Form& init = form("frminit");
        // Its load ends the program when another copy holds the data folder.
        if (!ended_) init.show();
    });
}

Form& App::form(const std::string& name) {
    auto it = forms_.find(name);
    if (it != forms_.end()) return *it->second;
    auto f = factories_.find(name);
    if (f == factories_.end()) throw std::out_of_range("no form " + name);
    auto created = f->second(*this);
    Form& ref = *created;
    forms_[name] = std::move(created);
    loadorder_.push_back(name);
    loading_.push_back(&ref);
    try {
        dispatch([&] { ref.load(); });
    } catch (...) {
        loading_.pop_back();
        throw;
    }
    loading_.pop_back();
    return ref;
}

void App::formunloaded(Form& form) {
    auto it = forms_.find(form.name());
    if (it == forms_.end() || it->second.get() != &form) return;
    if (std::find(loading_.begin(), loading_.end(), &form) != loading_.end())
        unloadedonload_.push_back(std::move(it->second));
    else
        unloaded_.push_back(std::move(it->second));
    forms_.erase(it);
    loadorder_.erase(std::remove(loadorder_.begin(), loadorder_.end(), form.name()),
                     loadorder_.end());
}

void App::eventended() {
    // Taken out first, so that nothing a form does as it goes touches the list being emptied.
    auto dead = std::move(unloaded_);
    unloaded_.clear();
    dead.clear();
}

std::vector<Form*> App::loadedforms() {
    std::vector<Form*> out;
    for (auto& n : loadorder_) out.push_back(forms_.at(n).get());
    return out;
}

void App::setprintswitch(const std::string& value) {
    shared_.printswitch = value;
    std::string caption;
    if (value == "yes")
        caption = "Printing to the default printer is active";
    else if (value == "no")
        caption = "All printing is suppressed";
    else
        return;
    for (const char* name : {"frminit", "frmbet"})
        if (isloaded(name)) form(name).control("cmdprint").setcaption(caption);
}

void App::endprogram() {
    if (ended_) return;
    ended_ = true;
    enddoc();
    results.close();
    auto names = loadorder_;
    for (auto& n : names)
        if (forms_.count(n)) forms_.at(n)->unload();
    if (onend) onend();
}

}  // namespace vt
