#pragma once

#include "PreviewEngine.h"

#include <QObject>

namespace rm::viewer {

// The base of the viewer's panel binders: the link to the engine, the
// binder's control group and its listener entry. Binders register as
// user-interface listeners, so broadcasts from the worker reach them on the
// user-interface thread. UpdateFromEngine copies the engine's state into the
// controls and never broadcasts.
class TWrapperControlVornRMPrv : public QObject, public IEngineListener {
    Q_OBJECT

public:
    explicit TWrapperControlVornRMPrv(int controlGroup, QObject* parent = nullptr);
    ~TWrapperControlVornRMPrv() override;

    // Links the binder to `engine` and registers it (a previous link is left
    // first); nullptr only leaves.
    void SetPreviewEngine(TPreviewEnginePelkRM* engine);
    TPreviewEnginePelkRM* PreviewEngine() const { return engine_; }

    int ControlGroup() const { return controlGroup_; }

    // The listener: enShutdown unregisters and drops the link. Overrides run
    // this first.
    void EngineNotify(int code, int senderGroup) override;

protected:
    virtual void UpdateFromEngine() = 0;

    // Broadcasts `code` with the binder's control group (nothing when unlinked).
    void Broadcast(int code);

private:
    void leaveEngine();

    TPreviewEnginePelkRM* engine_ = nullptr;
    int controlGroup_;
};

} // namespace rm::viewer
