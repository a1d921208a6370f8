#include "WrapperControlVornRMPrv.h"

namespace rm::viewer {

TWrapperControlVornRMPrv::TWrapperControlVornRMPrv(int controlGroup, QObject* parent)
    : QObject(parent), controlGroup_(controlGroup)
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
