#pragma once

#include "ScopeNotify.h"

#include <functional>
#include <vector>

// The scope's listener list and its broadcast. A listener is an owner object
// with one handler and the control group it registered under; the owner is
// what unregistering names. User-interface thread only: no lock is taken.
class ScopeListenerBus {
public:
    using Handler = std::function<void(TScopeNotifyCode code, int& senderGroup)>;

    void RegisterListener(int controlGroup, const void* owner, Handler handler);
    // Removes the first entry of `owner`, keeping the order of the rest; an
    // owner that is not registered leaves the list as it is.
    void UnregisterListener(const void* owner);

    // Delivery starts disabled; Startup enables it.
    void EnableDelivery() { notifyEnabled_ = true; }

    // Delivers `code` to every listener in registration order; snShutdown goes
    // from the last registered to the first, each leaving the list (one that
    // does not leave by itself is removed). Delivery is disabled while it
    // runs: a broadcast that arrives then, or before Startup, reaches nobody
    // and enables delivery again.
    void Notify(TScopeNotifyCode code, int senderGroup);

    int ListenerCount() const { return static_cast<int>(listeners_.size()); }
    bool IsRegistered(const void* owner) const;

private:
    struct TScopeListener {
        const void* owner;
        int controlGroup;
        Handler handler;
    };

    void deliverShutdown(int& senderGroup);
    void deliverInOrder(TScopeNotifyCode code, int& senderGroup);

    std::vector<TScopeListener> listeners_;
    bool notifyEnabled_ = false;
};
