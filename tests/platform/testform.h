#pragma once
#include <string>
#include <vector>

#include "testapp.h"

namespace vt::test {

// A small form with one control of each kind the event tests need; it records what fired.
class ProbeForm : public Form {
  public:
    explicit ProbeForm(Host& app, const std::string& name = "frmprobe") : Form(app, name) {
        caption = "Probe";
        auto& fra1 = add(Kind::Frame, "fraa", "A", 10, 10, 200, 100);
        auto& fra2 = add(Kind::Frame, "frab", "B", 220, 10, 200, 100);
        for (int i = 1; i <= 4; ++i) {
            auto& o = add(Kind::OptionButton, "optpick", i, "Pick " + std::to_string(i), 20,
                          20 + 20 * i, 100, 20);
            container[&o] = i <= 2 ? &fra1 : &fra2;
            o.Click = [this, i] { log.push_back("optpick(" + std::to_string(i) + ").Click"); };
        }
        auto& txt = add(Kind::TextBox, "txtname", "", 10, 120, 200, 24);
        txt.Change = [this] { log.push_back("txtname.Change"); };
        auto& chk = add(Kind::CheckBox, "chkpaid", "Paid", 10, 150, 100, 20);
        chk.Click = [this] { log.push_back("chkpaid.Click"); };
        auto& lst = add(Kind::ListBox, "lstnames", "", 10, 180, 200, 200);
        lst.sorted = true;
        lst.Click = [this] { log.push_back("lstnames.Click"); };
        auto& cmb = add(Kind::ComboBox, "cmbpos", 0, "", 220, 180, 100, 24);
        cmb.Click = [this] { log.push_back("cmbpos.Click"); };
        cmb.Change = [this] { log.push_back("cmbpos.Change"); };
        add(Kind::Label, "lblnote", "note", 10, 400, 200, 20);
        add(Kind::CommandButton, "cmdok", "OK", 10, 430, 100, 30);
        add(Kind::Timer, "tmrclock", "", 0, 0, 0, 0);
        add(Kind::Grid, "grdbets", "", 430, 10, 500, 300);
    }
    void Form_Load() override {
        ++loads;
        log.push_back("Form_Load");
    }
    void Form_Unload() override { log.push_back("Form_Unload"); }

    int loads = 0;
    std::vector<std::string> log;
};

inline void registerprobe(App& app, const std::string& name = "frmprobe") {
    app.registerform(name, [name](Host& a) { return std::make_unique<ProbeForm>(a, name); });
}

}  // namespace vt::test
