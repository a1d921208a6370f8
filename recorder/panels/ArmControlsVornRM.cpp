#include "ArmControlsVornRM.h"

#include "BoundControl.h"
#include "VirtualScopeVornRM.h"
#include "recorder/RecorderStrings.h"

TArmControlsVornRM::TArmControlsVornRM(QObject* parent) : TWrapperComponentVornRM(ScopeGroup::ArmPanel, parent) {}

void TArmControlsVornRM::SetArmSourceA(TOnOffButtonVorn* button)
{
    bindControl(this, armSourceA_, button, &TOnOffButtonVorn::OnClick, [this, button] { ButtonClick(button); });
}

void TArmControlsVornRM::SetArmSourceB(TOnOffButtonVorn* button)
{
    bindControl(this, armSourceB_, button, &TOnOffButtonVorn::OnClick, [this, button] { ButtonClick(button); });
}

void TArmControlsVornRM::SetExternalSource(TOnOffButtonVorn* button)
{
    bindControl(this, externalSource_, button, &TOnOffButtonVorn::OnClick, [this, button] { ButtonClick(button); });
}

void TArmControlsVornRM::SetTrigUnderOverA(QToolButton* button)
{
    bindControl(this, trigUnderOverA_, button, &QToolButton::clicked, [this, button] { ButtonClick(button); });
}

void TArmControlsVornRM::SetTrigUnderOverB(QToolButton* button)
{
    bindControl(this, trigUnderOverB_, button, &QToolButton::clicked, [this, button] { ButtonClick(button); });
}

void TArmControlsVornRM::SetTrigUnderOverExternal(QToolButton* button)
{
    bindControl(this, trigUnderOverExternal_, button, &QToolButton::clicked, [this, button] { ButtonClick(button); });
}

void TArmControlsVornRM::SetArmLevelEditA(TVoltageValueEditVorn* edit)
{
    bindControl(this, levelEditA_, edit, &TVoltageValueEditVorn::OnKeyUp,
                [this, edit](int key, Qt::KeyboardModifiers) { LevelKeyUp(edit, key); });
}

void TArmControlsVornRM::SetArmLevelEditB(TVoltageValueEditVorn* edit)
{
    bindControl(this, levelEditB_, edit, &TVoltageValueEditVorn::OnKeyUp,
                [this, edit](int key, Qt::KeyboardModifiers) { LevelKeyUp(edit, key); });
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
void TArmControlsVornRM::LevelKeyUp(TVoltageValueEditVorn* sender, int key)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return;
    if (sender == levelEditA_)
        scope->SetARMLevelA(sender->Voltage());
    else if (sender == levelEditB_)
        scope->SetARMLevelB(sender->Voltage());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TArmControlsVornRM::ScopeNotify(TScopeNotifyCode code)
{
    TWrapperComponentVornRM::ScopeNotify(code);
    if (code == TScopeNotifyCode::snStart || code == TScopeNotifyCode::snSettingsChanged ||
        code == TScopeNotifyCode::snRefreshTriggerPanels)
        UpdateFromScope();
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
