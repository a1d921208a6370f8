#include "ArmControlsVornRM.h"

#include "BoundControl.h"
#include "VirtualScopeVornRM.h"
#include "recorder/RecorderStrings.h"

TArmControlsVornRM::TArmControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::ArmPanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged,
                               TScopeNotifyCode::snRefreshTriggerPanels}, parent)
{
}

void TArmControlsVornRM::SetArmSourceA(TOnOffButtonVorn* button)
{
    bindClick(this, armSourceA_, button, &TArmControlsVornRM::ButtonClick);
}

void TArmControlsVornRM::SetArmSourceB(TOnOffButtonVorn* button)
{
    bindClick(this, armSourceB_, button, &TArmControlsVornRM::ButtonClick);
}

void TArmControlsVornRM::SetExternalSource(TOnOffButtonVorn* button)
{
    bindClick(this, externalSource_, button, &TArmControlsVornRM::ButtonClick);
}

void TArmControlsVornRM::SetTrigUnderOverA(QToolButton* button)
{
    bindClick(this, trigUnderOverA_, button, &TArmControlsVornRM::ButtonClick);
}

void TArmControlsVornRM::SetTrigUnderOverB(QToolButton* button)
{
    bindClick(this, trigUnderOverB_, button, &TArmControlsVornRM::ButtonClick);
}

void TArmControlsVornRM::SetTrigUnderOverExternal(QToolButton* button)
{
    bindClick(this, trigUnderOverExternal_, button, &TArmControlsVornRM::ButtonClick);
}

void TArmControlsVornRM::SetArmLevelEditA(TVoltageValueEditVorn* edit)
{
    bindEnter(this, levelEditA_, edit, [this, edit] { LevelEntered(edit); });
}

void TArmControlsVornRM::SetArmLevelEditB(TVoltageValueEditVorn* edit)
{
    bindEnter(this, levelEditB_, edit, [this, edit] { LevelEntered(edit); });
}

void TArmControlsVornRM::ButtonClick(QAbstractButton* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == trigUnderOverA_)
        scope->SetARMUnderA(!scope->ARMUnderA());
    else if (sender == trigUnderOverB_)
        scope->SetARMUnderB(!scope->ARMUnderB());
    else if (sender == trigUnderOverExternal_)
        scope->SetARMUnderExternal(!scope->ARMUnderExternal());
    else if (sender == armSourceA_)
        scope->SetARMSourceA(!scope->ARMSourceA());
    else if (sender == armSourceB_)
        scope->SetARMSourceB(!scope->ARMSourceB());
    else if (sender == externalSource_)
        scope->SetARMSourceExternal(!scope->ARMSourceExternal());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

// Runs after the edit's own commit: a failed commit writes the unchanged value.
void TArmControlsVornRM::LevelEntered(TVoltageValueEditVorn* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == levelEditA_)
        scope->SetARMLevelA(sender->Voltage());
    else if (sender == levelEditB_)
        scope->SetARMLevelB(sender->Voltage());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TArmControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (levelEditA_)
        levelEditA_->setVoltage(scope->ARMLevelA());
    if (levelEditB_)
        levelEditB_->setVoltage(scope->ARMLevelB());
    panelview::setDown(armSourceA_, scope->ARMSourceA());
    panelview::setDown(armSourceB_, scope->ARMSourceB());
    panelview::setDown(externalSource_, scope->ARMSourceExternal());
    panelview::setCaption(trigUnderOverA_, scope->ARMUnderA() ? RecorderStrings::LevelUnder : RecorderStrings::LevelOver);
    panelview::setCaption(trigUnderOverB_, scope->ARMUnderB() ? RecorderStrings::LevelUnder : RecorderStrings::LevelOver);
    panelview::setCaption(trigUnderOverExternal_, scope->ARMUnderExternal() ? RecorderStrings::ExternalArmUnder
                                                                            : RecorderStrings::ExternalArmOver);
}
