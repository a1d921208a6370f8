#include "TriggerControlsVornRM.h"

#include "BoundControl.h"
#include "VirtualScopeVornRM.h"
#include "recorder/RecorderStrings.h"

TTriggerControlsVornRM::TTriggerControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::TriggerPanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged,
                               TScopeNotifyCode::snRefreshTriggerPanels}, parent)
{
}

void TTriggerControlsVornRM::SetTriggerSourceA(TOnOffButtonVorn* button)
{
    bindClick(this, triggerSourceA_, button, &TTriggerControlsVornRM::ButtonClick);
}

void TTriggerControlsVornRM::SetTriggerSourceB(TOnOffButtonVorn* button)
{
    bindClick(this, triggerSourceB_, button, &TTriggerControlsVornRM::ButtonClick);
}

void TTriggerControlsVornRM::SetTrigUnderOverA(QToolButton* button)
{
    bindClick(this, trigUnderOverA_, button, &TTriggerControlsVornRM::ButtonClick);
}

void TTriggerControlsVornRM::SetTrigUnderOverB(QToolButton* button)
{
    bindClick(this, trigUnderOverB_, button, &TTriggerControlsVornRM::ButtonClick);
}

void TTriggerControlsVornRM::SetTrigRelation(QToolButton* button)
{
    bindClick(this, trigRelation_, button, &TTriggerControlsVornRM::ButtonClick);
}

void TTriggerControlsVornRM::SetTriggerLevelEditA(TVoltageValueEditVorn* edit)
{
    bindEnter(this, levelEditA_, edit, [this, edit] { LevelEntered(edit); });
}

void TTriggerControlsVornRM::SetTriggerLevelEditB(TVoltageValueEditVorn* edit)
{
    bindEnter(this, levelEditB_, edit, [this, edit] { LevelEntered(edit); });
}

void TTriggerControlsVornRM::ButtonClick(QAbstractButton* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == trigUnderOverA_)
        scope->SetTriggerUnderA(!scope->TriggerUnderA());
    else if (sender == trigUnderOverB_)
        scope->SetTriggerUnderB(!scope->TriggerUnderB());
    else if (sender == triggerSourceA_)
        scope->SetTriggerSourceA(!scope->TriggerSourceA());
    else if (sender == triggerSourceB_)
        scope->SetTriggerSourceB(!scope->TriggerSourceB());
    else if (sender == trigRelation_)
        scope->SetTriggerRelation(!scope->TriggerRelation());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

// Runs after the edit's own commit: a failed commit writes the unchanged value.
void TTriggerControlsVornRM::LevelEntered(TVoltageValueEditVorn* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == levelEditA_)
        scope->SetTriggerLevelA(sender->Voltage());
    else if (sender == levelEditB_)
        scope->SetTriggerLevelB(sender->Voltage());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TTriggerControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (levelEditA_)
        levelEditA_->setVoltage(scope->TriggerLevelA());
    if (levelEditB_)
        levelEditB_->setVoltage(scope->TriggerLevelB());
    panelview::setDown(triggerSourceA_, scope->TriggerSourceA());
    panelview::setDown(triggerSourceB_, scope->TriggerSourceB());
    panelview::setCaption(trigUnderOverA_, scope->TriggerUnderA() ? RecorderStrings::LevelUnder : RecorderStrings::LevelOver);
    panelview::setCaption(trigUnderOverB_, scope->TriggerUnderB() ? RecorderStrings::LevelUnder : RecorderStrings::LevelOver);

    const bool idle = !scope->MeasurementStarted();
    for (QWidget* control : std::initializer_list<QWidget*>{levelEditA_, levelEditB_, triggerSourceA_, triggerSourceB_,
                                                           trigUnderOverA_, trigUnderOverB_})
        panelview::setEnabled(control, idle);
    panelview::setEnabled(trigRelation_, idle && scope->TriggerSourceA() && scope->TriggerSourceB());
    panelview::setCaption(trigRelation_, scope->TriggerRelation() ? RecorderStrings::TriggerRelationAnd
                                                                  : RecorderStrings::TriggerRelationOr);
}
