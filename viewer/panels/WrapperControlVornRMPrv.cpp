#include "WrapperControlVornRMPrv.h"

#include <algorithm>

namespace rm::viewer {

TWrapperControlVornRMPrv::TWrapperControlVornRMPrv(int controlGroup, std::initializer_list<int> refreshCodes,
                                                   QObject* parent)
    : QObject(parent), controlGroup_(controlGroup), refreshCodes_(refreshCodes)
{
}

TWrapperControlVornRMPrv::~TWrapperControlVornRMPrv() { leaveEngine(); }

void TWrapperControlVornRMPrv::SetPreviewEngine(TPreviewEnginePelkRM* engine)
{
    leaveEngine();
    engine_ = engine;
    if (engine_)
        engine_->RegisterListener(controlGroup_, this, TListenerThread::UserInterface);
}

void TWrapperControlVornRMPrv::EngineNotify(int code, int)
{
    if (code == enShutdown)
        leaveEngine();
    else if (std::ranges::find(refreshCodes_, code) != refreshCodes_.end())
        UpdateFromEngine();
}

void TWrapperControlVornRMPrv::Broadcast(int code)
{
    if (engine_)
        engine_->Notify(code, controlGroup_);
}

void TWrapperControlVornRMPrv::leaveEngine()
{
    if (engine_)
        engine_->UnregisterListener(controlGroup_, this);
    engine_ = nullptr;
}

} // namespace rm::viewer
