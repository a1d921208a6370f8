#include "MainForm.h"

#include "ArmControlsVornRM.h"
#include "ChannelControlsVornRM.h"
#include "DensityControlsVornRM.h"
#include "InformationPanelVornRM.h"
#include "MeasurementRecordControlsVornRM.h"
#include "ModeDisplayVornRM.h"
#include "OpenSaveControlsVornRM.h"
#include "SourceControlsVornRM.h"
#include "SweepControlsVornRM.h"
#include "TimeBaseControlsVornRM.h"
#include "TriggerControlsVornRM.h"
#include "VerticalShiftsVornRM.h"
#include "ui_MainForm.h"

// The panel binders, each given its controls and then linked to the scope, in
// the registration order of the recorder.
void TMainForm::CreatePanelBinders() {
    Ui::MainForm& u = *ui_;

    auto& infoA = AddBinder<TInformationPanelAVornRM>();
    infoA.SetProbeA(u.ProbeA);
    infoA.SetDensityA(u.DensityA);
    infoA.SetAcdcA(u.AcdcA);
    infoA.SetTriggerLevelVoltageA(u.TriggerLevelVoltageA);
    infoA.SetChannelColorA(u.ChannelColorA);
    infoA.SetVirtualScope(&scope_);

    auto& infoB = AddBinder<TInformationPanelBVornRM>();
    infoB.SetProbeB(u.ProbeB);
    infoB.SetDensityB(u.DensityB);
    infoB.SetAcdcB(u.AcdcB);
    infoB.SetTriggerLevelVoltageB(u.TriggerLevelVoltageB);
    infoB.SetChannelColorB(u.ChannelColorB);
    infoB.SetVirtualScope(&scope_);

    auto& density = AddBinder<TDensityControlsVornRM>();
    density.SetDensityUpButtonA(u.DensityUpButtonA);
    density.SetDensityUpButtonB(u.DensityUpButtonB);
    density.SetDensityDownButtonA(u.DensityDownButtonA);
    density.SetDensityDownButtonB(u.DensityDownButtonB);
    density.SetVirtualScope(&scope_);

    auto& source = AddBinder<TSourceControlsVornRM>();
    source.SetACDCButtonA(u.ACDCButtonA);
    source.SetACDCButtonB(u.ACDCButtonB);
    source.SetProbeButtonA(u.ProbeButtonA);
    source.SetProbeButtonB(u.ProbeButtonB);
    source.SetGroundA(u.GNDButtonA);
    source.SetGroundB(u.GNDButtonB);
    source.SetVirtualScope(&scope_);

    auto& shifts = AddBinder<TVerticalShiftsVornRM>();
    shifts.SetSlideUpButtonA(u.SlideUpButtonA);
    shifts.SetSlideUpButtonB(u.SlideUpButtonB);
    shifts.SetSlideDownButtonA(u.SlideDownButtonA);
    shifts.SetSlideDownButtonB(u.SlideDownButtonB);
    shifts.SetVerticalSlideA(u.VerticalSlideA);
    shifts.SetVerticalSlideB(u.VerticalSlideB);
    shifts.SetTimer(&repeatTimer_);
    shifts.SetVirtualScope(&scope_);

    auto& channels = AddBinder<TChannelControlsVornRM>();
    channels.SetChannelButtonA(u.ChannelButtonA);
    channels.SetChannelButtonB(u.ChannelButtonB);
    channels.SetVirtualScope(&scope_);

    auto& openSave = AddBinder<TOpenSaveControlsVornRM>();
    openSave.SetSaveFileEdit(u.SaveFileEdit);
    openSave.SetSaveFileBrowse(u.SaveFileBrowseButton);
    openSave.SetSaveButton(u.SaveButton);
    openSave.SetCLFButton(u.CLFButton);
    openSave.SetVirtualScope(&scope_);

    auto& trigger = AddBinder<TTriggerControlsVornRM>();
    trigger.SetTriggerSourceA(u.TriggerAButtonVorn1);
    trigger.SetTriggerSourceB(u.TriggerBButtonVorn1);
    trigger.SetTrigUnderOverA(u.TriggerAUnderOverButton);
    trigger.SetTrigUnderOverB(u.TriggerBUnderOverButton);
    trigger.SetTrigRelation(u.TriggerRelationButton);
    trigger.SetTriggerLevelEditA(u.TriggerAVoltageValueEditVorn1);
    trigger.SetTriggerLevelEditB(u.TriggerBVoltageValueEditVorn1);
    trigger.SetVirtualScope(&scope_);

    auto& record = AddBinder<TMeasurementRecordControlsVornRM>();
    record.SetMeasurementStart(u.StartRecordButtonVorn1);
    record.SetMeasurementStop(u.StopRecordButtonVorn2);
    record.SetRecordTriggered(u.TRRecordButtonVorn1);
    record.SetRecordFree(u.FRRecordButtonVorn1);
    record.SetRecordDefined(u.DefRecordButtonVorn1);
    record.SetRecordContinuos(u.ContRecordButtonVorn1);
    record.SetRecordTimeLength(u.LongerTimeEditVornRM1);
    record.SetVirtualScope(&scope_);

    auto& mode = AddBinder<TModeDisplayVornRM>();
    mode.SetGridScroll(u.GridBrightness);
    mode.SetGridButton(u.GridButtonVorn3);
    mode.SetBeamFinder(u.BeamButton);
    mode.SetLineModeDisplay(u.LineButton);
    mode.SetEKGModeDisplay(u.RewButtonVorn1);
    mode.SetRadaDaziDisplay(u.RollButtonVorn2);
    mode.SetDisplayButton(u.DisplayButtonVorn);
    mode.SetVirtualScope(&scope_);

    auto& sweep = AddBinder<TSweepControlsVornRM>();
    sweep.SetClearScreenButton(u.ClearScreen);
    sweep.SetMakeMinimumButton(u.SweepMinimum);
    sweep.SetMakeMaximumButton(u.SweepMaximum);
    sweep.SetMakeAvgButton(u.SweepAverage);
    sweep.SetSingleButton(u.SweepSingleButton);
    sweep.SetCalcButton(u.SweepCalcButton);
    sweep.SetVirtualScope(&scope_);

    auto& timeBase = AddBinder<TTimeBaseControlsVornRM>();
    timeBase.SetSMPScrollBar(u.SmpScrollBar);
    timeBase.SetDSPScrollBar(u.DSPScrollBar);
    timeBase.SetSMPRatio(u.SamplesPerSecond);
    timeBase.SetDSPRatio(u.SecondPerDivider);
    timeBase.SetDSP_SMPRatio(u.DSP_SMP);
    timeBase.SetDSPRatioHz(u.FreqPerDiv);
    timeBase.SetVirtualScope(&scope_);

    auto& arm = AddBinder<TArmControlsVornRM>();
    arm.SetArmSourceA(u.ArmAButtonVorn1);
    arm.SetArmSourceB(u.ArmBButtonVorn1);
    arm.SetExternalSource(u.ArmExtButtonVorn1);
    arm.SetTrigUnderOverA(u.ArmAUnderOverButton);
    arm.SetTrigUnderOverB(u.ArmBUnderOverButton);
    arm.SetTrigUnderOverExternal(u.ArmExtUnderOverButton);
    arm.SetArmLevelEditA(u.ArmAVoltageValueEditVorn1);
    arm.SetArmLevelEditB(u.ArmBVoltageValueEditVorn1);
    arm.SetVirtualScope(&scope_);
}
