#include "WrapperComponentVornRM.h"

#include "VirtualScopeVornRM.h"

TWrapperComponentVornRM::TWrapperComponentVornRM(int controlGroup, QObject* parent)
    : QObject(parent), controlGroup_(controlGroup)
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
