#pragma once
// Message boxes and beeps. The core never opens a dialog itself: it asks the prompter, which is
// a QMessageBox in the program and a script in the tests.

#include <string>

namespace kv {

enum class Beep { Default, Information, Exclamation };

enum class Answer { Yes, No, Cancel };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void warning(const std::string& text) = 0;
    virtual void error(const std::string& text) = 0;
    virtual void information(const std::string& text) = 0;
    // Yes/No question; true for Yes.
    virtual bool confirm(const std::string& text) = 0;
    // OK/Cancel box; true for OK.
    virtual bool okCancel(const std::string& text) = 0;
    // OK/Cancel question box under its own caption instead of the program's name.
    virtual bool okCancelCaptioned(const std::string& caption, const std::string& text)
    {
        (void)caption;
        return okCancel(text);
    }
    // Information box with OK and Cancel (a notice to act on, not a question); true for OK.
    virtual bool informationOkCancel(const std::string& text) { return okCancel(text); }
    // Yes/No/Cancel question. A prompter that only knows Yes and No answers Yes or No.
    virtual Answer yesNoCancel(const std::string& text) { return confirm(text) ? Answer::Yes : Answer::No; }
    virtual void beep(Beep kind) = 0;
};

} // namespace kv
