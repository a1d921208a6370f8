#include "TimeBaseControlsVornRM.h"

#include "BoundControl.h"
#include "RateTables.h"
#include "ScrollBarVorn.h"
#include "UnitValueLabel.h"
#include "VirtualScopeVornRM.h"

TTimeBaseControlsVornRM::TTimeBaseControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::TimeBasePanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged}, parent)
{
}

void TTimeBaseControlsVornRM::SetSMPScrollBar(TScrollBarVorn* bar) { bindBar(smpScrollBar_, bar); }
void TTimeBaseControlsVornRM::SetDSPScrollBar(TScrollBarVorn* bar) { bindBar(dspScrollBar_, bar); }
void TTimeBaseControlsVornRM::SetSMPRatio(TUnitValueLabel* label) { smpRatio_ = label; }
void TTimeBaseControlsVornRM::SetDSPRatio(TUnitValueLabel* label) { dspRatio_ = label; }
void TTimeBaseControlsVornRM::SetDSP_SMPRatio(TUnitValueLabel* label) { dspSmpRatio_ = label; }
void TTimeBaseControlsVornRM::SetDSPRatioHz(TUnitValueLabel* label) { dspRatioHz_ = label; }

void TTimeBaseControlsVornRM::bindBar(QPointer<TScrollBarVorn>& slot, TScrollBarVorn* bar)
{
    bindControl(this, slot, bar, &TScrollBarVorn::OnScroll,
                [this, bar](int scrollCode, int) { ScrollBarScroll(bar, scrollCode); });
}

void TTimeBaseControlsVornRM::ScrollBarScroll(TScrollBarVorn* sender, int scrollCode)
{
    // Moving the thumb changes nothing until the bar is let go.
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope || scrollCode != TScrollBarVorn::EndScroll)
        return;
    if (sender == smpScrollBar_)
        scope->SetSMPSetting(sender->value());
    else if (sender == dspScrollBar_)
        scope->SetDSPSetting(sender->maximum() - sender->value());
    else
        return;
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TTimeBaseControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    const int smp = rm::clampSmpIndex(scope->SMPSetting());
    const int dsp = rm::clampDspIndex(scope->DSPSetting());
    if (smpScrollBar_)
        smpScrollBar_->setValue(smp);
    if (dspScrollBar_)
        dspScrollBar_->setValue(dspScrollBar_->maximum() - dsp);

    const double samplesPerSecond = rm::kSamplesPerSecondTable[smp];
    const double secondsPerDivision = rm::kSecondsPerDivisionTable[dsp];
    if (smpRatio_)
        smpRatio_->setMainValue(samplesPerSecond);
    if (dspRatio_)
        dspRatio_->setMainValue(secondsPerDivision);
    if (dspSmpRatio_)
        dspSmpRatio_->setMainValue(samplesPerSecond * secondsPerDivision / rm::kPixelsPerDivision);
    if (dspRatioHz_)
        dspRatioHz_->setMainValue(secondsPerDivision == 0 ? 0 : 1 / secondsPerDivision);
}
