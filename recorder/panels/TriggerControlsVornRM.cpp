#include "TriggerControlsVornRM.h"

#include "BoundControl.h"
#include "VirtualScopeVornRM.h"
#include "recorder/RecorderStrings.h"

TTriggerControlsVornRM::TTriggerControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::TriggerPanel, parent)
{
}

void TTriggerControlsVornRM::SetTriggerSourceA(TOnOffButtonVorn* button)
{
    bindControl(this, triggerSourceA_, button, &TOnOffButtonVorn::OnClick, [this, button] { ButtonClick(button); });
}

void TTriggerControlsVornRM::SetTriggerSourceB(TOnOffButtonVorn* button)
{
    bindControl(this, triggerSourceB_, button, &TOnOffButtonVorn::OnClick, [this, button] { ButtonClick(button); });
}

void TTriggerControlsVornRM::SetTrigUnderOverA(QToolButton* button)
{
    bindControl(this, trigUnderOverA_, button, &QToolButton::clicked, [this, button] { ButtonClick(button); });
}

void TTriggerControlsVornRM::SetTrigUnderOverB(QToolButton* button)
{
    bindControl(this, trigUnderOverB_, button, &QToolButton::clicked, [this, button] { ButtonClick(button); });
}

void TTriggerControlsVornRM::SetTrigRelation(QToolButton* button)
{
    bindControl(this, trigRelation_, button, &QToolButton::clicked, [this, button] { ButtonClick(button); });
}

void TTriggerControlsVornRM::SetTriggerLevelEditA(TVoltageValueEditVorn* edit)
{
    bindControl(this, levelEditA_, edit, &TVoltageValueEditVorn::OnKeyUp,
                [this, edit](int key, Qt::KeyboardModifiers) { LevelKeyUp(edit, key); });
}

void TTriggerControlsVornRM::SetTriggerLevelEditB(TVoltageValueEditVorn* edit)
{
    bindControl(this, levelEditB_, edit, &TVoltageValueEditVorn::OnKeyUp,
                [this, edit](int key, Qt::KeyboardModifiers) { LevelKeyUp(edit, key); });
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
void TTriggerControlsVornRM::LevelKeyUp(TVoltageValueEditVorn* sender, int key)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return;
    if (sender == levelEditA_)
        scope->SetTriggerLevelA(sender->Voltage());
    else if (sender == levelEditB_)
        scope->SetTriggerLevelB(sender->Voltage());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TTriggerControlsVornRM::ScopeNotify(TScopeNotifyCode code)
{
    TWrapperComponentVornRM::ScopeNotify(code);
    if (code == TScopeNotifyCode::snStart || code == TScopeNotifyCode::snSettingsChanged ||
        code == TScopeNotifyCode::snRefreshTriggerPanels)
        UpdateFromScope();
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
