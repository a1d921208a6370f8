#include "ScopeListenerBus.h"

#include <algorithm>

void ScopeListenerBus::RegisterListener(int controlGroup, const void* owner, Handler handler) {
    listeners_.push_back({owner, controlGroup, std::move(handler)});
}

void ScopeListenerBus::UnregisterListener(const void* owner) {
    const auto it = std::find_if(listeners_.begin(), listeners_.end(),
                                 [owner](const TScopeListener& l) { return l.owner == owner; });
    if (it != listeners_.end())
        listeners_.erase(it);
}

bool ScopeListenerBus::IsRegistered(const void* owner) const {
    return std::any_of(listeners_.begin(), listeners_.end(),
                       [owner](const TScopeListener& l) { return l.owner == owner; });
}

void ScopeListenerBus::Notify(TScopeNotifyCode code, int senderGroup) {
    if (notifyEnabled_) {
        notifyEnabled_ = false;
        if (code == TScopeNotifyCode::snShutdown)
            deliverShutdown(senderGroup);
        else
            deliverInOrder(code, senderGroup);
    }
    notifyEnabled_ = true;
}

void ScopeListenerBus::deliverShutdown(int& senderGroup) {
    while (!listeners_.empty()) {
        const void* owner = listeners_.back().owner;
        const Handler handler = listeners_.back().handler;  // the entry goes away inside the call
        handler(TScopeNotifyCode::snShutdown, senderGroup);
        if (!listeners_.empty() && listeners_.back().owner == owner)
            listeners_.pop_back();
    }
}

void ScopeListenerBus::deliverInOrder(TScopeNotifyCode code, int& senderGroup) {
    const size_t count = listeners_.size();
    for (size_t i = 0; i < count && i < listeners_.size(); ++i) {
        const Handler handler = listeners_[i].handler;
        handler(code, senderGroup);
    }
}
