#pragma once
// What a screen needs of the program around it: the runtime (boxes, printer, files), the shared
// state, the other screens and the results file. App provides it; the screens know only this.
#include <functional>
#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/runtime.h"
#include "records/context.h"
#include "records/shared.h"

namespace vt {

class Host;
using FormFactory = std::function<std::unique_ptr<Form>(Host&)>;

class Host : public Runtime {
  public:
    using Runtime::Runtime;

    // Loads the form when needed and returns it.
    virtual Form& form(const std::string& name) = 0;
    template <class T>
    T& formas(const std::string& name) {
        return dynamic_cast<T&>(form(name));
    }
    virtual bool isloaded(const std::string& name) const = 0;
    virtual Shared& shared() = 0;
    // The shared procedures' view of the program: its shared state and its runtime.
    virtual Context& context() = 0;
    operator Context&() { return context(); }

    // Each subsystem registers its forms here.
    virtual void registerform(const std::string& name, FormFactory factory) = 0;

    // The results file, open for appending while the program runs.
    AppendFile results;

    // Ends the program: unloads every form; the view quits.
    virtual void endprogram() = 0;
    virtual bool ended() const = 0;

    // Sets the print switch; every loaded screen that shows it ("cmdprint") shows its new state.
    virtual void setprintswitch(const std::string& value) = 0;

    bool commit(Transaction& tx) { return context().commit(tx); }
    // Shows the file-error box for e (Context::fileerrorbox()).
    void fileerrorbox(const FileError& e) { context().fileerrorbox(e); }
};

}  // namespace vt
