#pragma once

#include "ScopeNotify.h"

#include <QObject>

#include <initializer_list>
#include <vector>

class TVirtualScopeVornRM;

// The base of every panel binder of the recorder's main window: the link to
// the scope model, the binder's control group and its listener entry. A
// binder turns its controls' user actions into scope settings plus a
// broadcast, and copies the scope's state back into the controls in
// UpdateFromScope, which never broadcasts. The codes a binder names at
// construction are the ones that refresh it.
class TWrapperComponentVornRM : public QObject {
    Q_OBJECT

public:
    explicit TWrapperComponentVornRM(int controlGroup, std::initializer_list<TScopeNotifyCode> refreshCodes = {},
                                     QObject* parent = nullptr);
    ~TWrapperComponentVornRM() override;

    // Links the binder to `scope` and registers it there (a previous link is
    // left first); nullptr only leaves.
    void SetVirtualScope(TVirtualScopeVornRM* scope);
    TVirtualScopeVornRM* VirtualScope() const { return scope_; }

    int ControlGroup() const { return controlGroup_; }
    void SetControlGroup(int group) { controlGroup_ = group; }

protected:
    // The listener handler: code 3 unregisters and drops the link; a refresh
    // code runs UpdateFromScope. Overrides run this first.
    virtual void ScopeNotify(TScopeNotifyCode code);
    virtual void UpdateFromScope() = 0;

    // Broadcasts `code` with the binder's control group (nothing when unlinked).
    void Broadcast(TScopeNotifyCode code);

private:
    void leaveScope();

    TVirtualScopeVornRM* scope_ = nullptr;
    int controlGroup_;
    std::vector<TScopeNotifyCode> refreshCodes_;
};
