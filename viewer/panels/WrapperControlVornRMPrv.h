#pragma once

#include "PreviewEngine.h"

#include <QObject>

#include <initializer_list>
#include <vector>

namespace rm::viewer {

// The base of the viewer's panel binders: the link to the engine, the
// binder's control group and its listener entry. Binders register as
// user-interface listeners, so broadcasts from the worker reach them on the
// user-interface thread. UpdateFromEngine copies the engine's state into the
// controls and never broadcasts; the codes a binder names at construction are
// the ones that refresh it.
class TWrapperControlVornRMPrv : public QObject, public IEngineListener {
    Q_OBJECT

public:
    explicit TWrapperControlVornRMPrv(int controlGroup, std::initializer_list<int> refreshCodes = {},
                                      QObject* parent = nullptr);
    ~TWrapperControlVornRMPrv() override;

    // Links the binder to `engine` and registers it (a previous link is left
    // first); nullptr only leaves.
    void SetPreviewEngine(TPreviewEnginePelkRM* engine);
    TPreviewEnginePelkRM* PreviewEngine() const { return engine_; }

    int ControlGroup() const { return controlGroup_; }

    // The listener: enShutdown unregisters and drops the link; a refresh code
    // runs UpdateFromEngine. Overrides run this first.
    void EngineNotify(int code, int senderGroup) override;

protected:
    virtual void UpdateFromEngine() = 0;

    // Broadcasts `code` with the binder's control group (nothing when unlinked).
    void Broadcast(int code);

    // Hands every click of `button` (our buttons' OnClick, a Qt button's
    // clicked) to ButtonClick with the button as the sender.
    template <typename Button>
    void BindButton(Button* button)
    {
        const auto handler = [this, button] { ButtonClick(button); };
        if constexpr (requires { &Button::OnClick; })
            connect(button, &Button::OnClick, this, handler);
        else
            connect(button, &Button::clicked, this, handler);
    }
    // A click of a bound button, for a binder that tells its buttons apart
    // in one handler.
    virtual void ButtonClick(QObject*) {}

private:
    void leaveEngine();

    TPreviewEnginePelkRM* engine_ = nullptr;
    int controlGroup_;
    std::vector<int> refreshCodes_;
};

} // namespace rm::viewer
