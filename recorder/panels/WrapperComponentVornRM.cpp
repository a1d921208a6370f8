#include "WrapperComponentVornRM.h"

#include "VirtualScopeVornRM.h"

#include <algorithm>

TWrapperComponentVornRM::TWrapperComponentVornRM(int controlGroup,
                                                 std::initializer_list<TScopeNotifyCode> refreshCodes, QObject* parent)
    : QObject(parent), controlGroup_(controlGroup), refreshCodes_(refreshCodes)
{
}

TWrapperComponentVornRM::~TWrapperComponentVornRM() { leaveScope(); }

void TWrapperComponentVornRM::SetVirtualScope(TVirtualScopeVornRM* scope)
{
    leaveScope();
    scope_ = scope;
    if (scope_)
        scope_->RegisterListener(controlGroup_, this,
                                 [this](TScopeNotifyCode code, int&) { ScopeNotify(code); });
}

void TWrapperComponentVornRM::ScopeNotify(TScopeNotifyCode code)
{
    if (code == TScopeNotifyCode::snShutdown)
        leaveScope();
    else if (std::find(refreshCodes_.begin(), refreshCodes_.end(), code) != refreshCodes_.end())
        UpdateFromScope();
}

void TWrapperComponentVornRM::Broadcast(TScopeNotifyCode code)
{
    if (scope_)
        scope_->Notify(code, controlGroup_);
}

void TWrapperComponentVornRM::leaveScope()
{
    if (scope_)
        scope_->UnregisterListener(this);
    scope_ = nullptr;
}
