#include "platform/dialogs.h"

namespace vt {

ScriptedDialogs& ScriptedDialogs::answer(int button, const std::string& contains) {
    queue_.push_back({false, button, "", contains, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::type(const std::string& text, const std::string& contains) {
    queue_.push_back({true, 0, text, contains, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::then(std::function<void()> during) {
    if (!queue_.empty()) queue_.back().during = std::move(during);
    return *this;
}

int ScriptedDialogs::msgbox(const std::string& prompt, int style, const std::string& title) {
    if (whileopen) whileopen();
    Shown s{false, prompt, title.empty() ? kProgramTitle : title, style, ""};
    int buttons = style & 7;
    int fallback = buttons == vbYesNo || buttons == vbYesNoCancel ? vbNo
                   : buttons == vbOKOnly                          ? vbOK
                                                                  : vbCancel;
    if (queue_.empty() || queue_.front().input ||
        (!queue_.front().contains.empty() &&
         prompt.find(queue_.front().contains) == std::string::npos)) {
        for (const std::string& a : allowed_)
            if (buttons == vbOKOnly && prompt.find(a) != std::string::npos) {
                s.answer = std::to_string(vbOK);
                shown.push_back(s);
                return vbOK;
            }
        failures.push_back("unexpected message box: " + prompt);
        s.answer = std::to_string(fallback);
        shown.push_back(s);
        return fallback;
    }
    int b = queue_.front().button;
    std::function<void()> during = std::move(queue_.front().during);
    queue_.pop_front();
    if (during) during();
    s.answer = std::to_string(b);
    shown.push_back(s);
    return b;
}

std::string ScriptedDialogs::inputbox(const std::string& prompt, const std::string& title,
                                      const std::string&) {
    Shown s{true, prompt, title.empty() ? kProgramTitle : title, 0, ""};
    if (queue_.empty() || !queue_.front().input ||
        (!queue_.front().contains.empty() &&
         prompt.find(queue_.front().contains) == std::string::npos)) {
        failures.push_back("unexpected input box: " + prompt);
        shown.push_back(s);
        return "";
    }
    s.answer = queue_.front().text;
    std::function<void()> during = std::move(queue_.front().during);
    queue_.pop_front();
    if (during) during();
    shown.push_back(s);
    return s.answer;
}

std::vector<std::string> ScriptedDialogs::prompts() const {
    std::vector<std::string> out;
    for (auto& s : shown) out.push_back(s.prompt);
    return out;
}

bool ScriptedDialogs::saw(const std::string& s) const {
    for (auto& b : shown)
        if (b.prompt.find(s) != std::string::npos) return true;
    return false;
}

}  // namespace vt
