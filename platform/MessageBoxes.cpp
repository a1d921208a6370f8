#include "MessageBoxes.h"

#include "UiCall.h"

#include <QMessageBox>
#include <QString>

#include <atomic>

namespace rm {

namespace {

class DialogPresenter : public MessagePresenter {
public:
    MsgResult show(const std::string& text, const std::string& caption, MsgButtons buttons,
                   MsgIcon icon) override {
        MsgResult result = MsgResult::Cancel;
        UiCall::invoke([&] { result = showOnUiThread(text, caption, buttons, icon); });
        return result;
    }

private:
    static MsgResult showOnUiThread(const std::string& text, const std::string& caption,
                                    MsgButtons buttons, MsgIcon icon) {
        QMessageBox box;
        box.setText(QString::fromStdString(text));
        box.setWindowTitle(QString::fromStdString(caption));
        switch (icon) {
        case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        switch (buttons) {
        case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::Cancel: box.setStandardButtons(QMessageBox::Cancel); break;
        case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case MsgButtons::RetryCancel: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
        case MsgButtons::AbortRetryIgnore:
            box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Ok: return MsgResult::Ok;
        case QMessageBox::Yes: return MsgResult::Yes;
        case QMessageBox::No: return MsgResult::No;
        case QMessageBox::Retry: return MsgResult::Retry;
        case QMessageBox::Abort: return MsgResult::Abort;
        case QMessageBox::Ignore: return MsgResult::Ignore;
        default: return MsgResult::Cancel;
        }
    }
};

DialogPresenter gDialogPresenter;
std::atomic<MessagePresenter*> gPresenter{&gDialogPresenter};

} // namespace

MsgResult showMessage(const std::string& text, const std::string& caption, MsgButtons buttons,
                      MsgIcon icon) {
    return gPresenter.load()->show(text, caption, buttons, icon);
}

void setMessagePresenter(MessagePresenter* presenter) {
    gPresenter.store(presenter ? presenter : &gDialogPresenter);
}

ScriptedMessages::ScriptedMessages() { setMessagePresenter(this); }

ScriptedMessages::~ScriptedMessages() { setMessagePresenter(nullptr); }

MsgResult ScriptedMessages::show(const std::string& text, const std::string& caption,
                                 MsgButtons buttons, MsgIcon icon) {
    std::lock_guard lock(mutex_);
    shown_.push_back({text, caption, buttons, icon});
    if (answers_.empty())
        return defaultAnswer_;
    const MsgResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedMessages::queueAnswer(MsgResult answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void ScriptedMessages::setDefaultAnswer(MsgResult answer) {
    std::lock_guard lock(mutex_);
    defaultAnswer_ = answer;
}

std::vector<ScriptedMessages::Shown> ScriptedMessages::shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

std::vector<std::string> ScriptedMessages::texts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& s : shown_)
        out.push_back(s.text);
    return out;
}

void ScriptedMessages::clear() {
    std::lock_guard lock(mutex_);
    shown_.clear();
    answers_.clear();
}

} // namespace rm
