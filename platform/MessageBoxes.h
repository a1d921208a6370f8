#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace rm {

enum class MsgButtons { Ok, Cancel, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// Shows modal message boxes. The programs use the one installed with
// setMessagePresenter; by default that is a real message box shown on the
// user-interface thread.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual MsgResult show(const std::string& text, const std::string& caption, MsgButtons buttons,
                           MsgIcon icon) = 0;
};

// Shows a message box from any thread and returns the button chosen.
MsgResult showMessage(const std::string& text, const std::string& caption = {},
                      MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

// Installs `presenter` (not owned); nullptr restores the real message box.
void setMessagePresenter(MessagePresenter* presenter);

// A presenter for tests: records every message and answers from a script
// (queued answers first, then `defaultAnswer`). Thread-safe.
class ScriptedMessages : public MessagePresenter {
public:
    struct Shown {
        std::string text;
        std::string caption;
        MsgButtons buttons;
        MsgIcon icon;
    };

    ScriptedMessages();   // installs itself
    ~ScriptedMessages();  // restores the real message box

    MsgResult show(const std::string& text, const std::string& caption, MsgButtons buttons,
                   MsgIcon icon) override;

    void queueAnswer(MsgResult answer);
    void setDefaultAnswer(MsgResult answer);
    std::vector<Shown> shown() const;
    std::vector<std::string> texts() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::deque<MsgResult> answers_;
    MsgResult defaultAnswer_ = MsgResult::Ok;
    std::vector<Shown> shown_;
};

} // namespace rm
