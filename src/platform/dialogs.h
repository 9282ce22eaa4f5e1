#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vt {

// Message box styles and answers as the old platform numbered them.
enum MsgStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64
};
enum MsgResult {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7
};

// The title of a box that names none.
inline constexpr const char* kProgramTitle = "Vantrope";

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Returns the button pressed; a box with no title shows "Vantrope".
    virtual int msgbox(const std::string& prompt, int style, const std::string& title) = 0;
    // Returns the text typed, or "" on Cancel.
    virtual std::string inputbox(const std::string& prompt, const std::string& title,
                                 const std::string& defaulttext) = 0;
};

// Answers boxes from a queue and records each one shown. A box nobody expected is a failure
// (see failures) and is answered OK / No / Cancel.
class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        bool input = false;
        std::string prompt, title;
        int style = 0;
        std::string answer;
    };
    // Expect a message box whose prompt contains `contains` (empty: any) and answer it.
    ScriptedDialogs& answer(int button, const std::string& contains = "");
    // Expect an input box and type `text` (Cancel: "").
    ScriptedDialogs& type(const std::string& text, const std::string& contains = "");
    // Expect n message boxes answered OK.
    ScriptedDialogs& ok(const std::string& contains = "") { return answer(vbOK, contains); }
    // Runs `during` while the box expected last is open, before it is answered (what a person
    // does meanwhile: a stick pulled out while the box waits).
    ScriptedDialogs& then(std::function<void()> during);
    // Lets OK-only boxes whose prompt contains `contains` come any number of times, answered OK
    // and recorded, where no expected box matches (a test that counts them in `shown`).
    ScriptedDialogs& allow(const std::string& contains) {
        allowed_.push_back(contains);
        return *this;
    }

    int msgbox(const std::string& prompt, int style, const std::string& title) override;
    std::string inputbox(const std::string& prompt, const std::string& title,
                         const std::string& defaulttext) override;
    // Run while each box is open, as a real modal box runs the event loop (tests of the view).
    std::function<void()> whileopen;

    std::vector<Shown> shown;
    std::vector<std::string> failures;
    size_t pending() const { return queue_.size(); }
    // Prompts of every box shown so far.
    std::vector<std::string> prompts() const;
    // True when some box shown had a prompt containing s.
    bool saw(const std::string& s) const;

  private:
    struct Expect {
        bool input;
        int button;
        std::string text, contains;
        std::function<void()> during;
    };
    std::deque<Expect> queue_;
    std::vector<std::string> allowed_;
};

}  // namespace vt
