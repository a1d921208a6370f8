#include "RecorderDialogs.h"

#include "AboutForm.h"
#include "DemoSetupForm.h"
#include "SetColorForm.h"
#include "VersionText.h"
#include "VirtualDriverVornRM.h"
#include "VirtualScopeVornRM.h"

void RunDemoSetup(QWidget* parent, TVirtualScopeVornRM& scope) {
    TDemoSetupForm form(parent);
    form.SetVirtualScope(scope);
    if (form.exec() != QDialog::Accepted)
        return;
    const TDemoWaveform values = form.Values();
    scope.SetPeriodA(values.periodA);
    scope.SetPeriodB(values.periodB);
    scope.SetAmplitudeA(values.amplitudeA);
    scope.SetAmplitudeB(values.amplitudeB);
    scope.SetNoiseA(values.noiseA);
    scope.SetNoiseB(values.noiseB);
    scope.Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::All);
}

void RunColorSetup(QWidget* parent, TVirtualScopeVornRM& scope) {
    TSetColorForm form(parent);
    form.SetColors({scope.ColorChannelA(), scope.ColorChannelB(), scope.ColorGrid(), scope.BackgroundColor()});
    if (form.exec() != QDialog::Accepted)
        return;
    const TDisplayColors colors = form.Colors();
    scope.SetColorChannelA(colors.channelA);
    scope.SetColorChannelB(colors.channelB);
    scope.SetColorGrid(colors.grid);
    scope.SetBackgroundColor(colors.background);
    scope.Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::TimeBasePanel);
}

void RunRecorderAbout(QWidget* parent, const TVirtualDriverVornRM& driver) {
    TAboutForm about(TAboutForm::Variant::Recorder, parent);
    about.SetSoftwareVersion(VersionText(rm::kProgramVersion));
    about.SetUSBDriverVersion(QString::fromStdString(driver.USBDriverVersion()));
    about.SetDeviceSerialNumber(QString::fromStdString(driver.DeviceSerialNumber()));
    about.exec();
}
