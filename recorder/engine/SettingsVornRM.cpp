#include "SettingsVornRM.h"

#include "MessageBoxes.h"
#include "SettingsTextFile.h"
#include "VirtualScopeVornRM.h"
#include "recorder/RecorderStrings.h"

#include <cstdint>
#include <string_view>

namespace {

using Scope = TVirtualScopeVornRM;

// One key of the file: how its value is written and read, and the text of
// its "Restore defaults" value (none: left as it is).
struct SettingKey {
    const char* name;
    void (*write)(const Scope& scope, const char* key, rm::SettingsTextWriter& writer);
    // False when the value does not convert or is refused: the line is skipped.
    bool (*read)(Scope& scope, std::string_view value);
    const char* defaultValue;
};

template <auto Get, auto Set>
SettingKey boolean(const char* name, const char* defaultValue) {
    return {name,
            [](const Scope& scope, const char* key, rm::SettingsTextWriter& writer) {
                writer.addBoolean(key, (scope.*Get)());
            },
            [](Scope& scope, std::string_view value) {
                (scope.*Set)(rm::settingsBoolean(value));
                return true;
            },
            defaultValue};
}

// Integers, colours and the unsigned measurement length alike: written and
// read as signed 32-bit decimal (3000000000 is kept as -1294967296).
template <auto Get, auto Set>
SettingKey integer(const char* name, const char* defaultValue) {
    return {name,
            [](const Scope& scope, const char* key, rm::SettingsTextWriter& writer) {
                writer.addInteger(key, static_cast<int32_t>((scope.*Get)()));
            },
            [](Scope& scope, std::string_view value) {
                const auto number = rm::settingsInteger(value);
                if (!number)
                    return false;
                using Value = decltype((scope.*Get)());
                (scope.*Set)(static_cast<Value>(*number));
                return true;
            },
            defaultValue};
}

// A probe outside 1..4 would reach the driver and every recording's voltages.
template <auto Get, auto Set>
SettingKey probe(const char* name, const char* defaultValue) {
    SettingKey key = integer<Get, Set>(name, defaultValue);
    key.read = [](Scope& scope, std::string_view value) {
        const auto number = rm::settingsInteger(value);
        if (!number || *number < 1 || *number > 4)
            return false;
        (scope.*Set)(*number);
        return true;
    };
    return key;
}

template <auto Get, auto Set>
SettingKey real(const char* name, const char* defaultValue) {
    return {name,
            [](const Scope& scope, const char* key, rm::SettingsTextWriter& writer) {
                writer.addReal(key, (scope.*Get)());
            },
            [](Scope& scope, std::string_view value) {
                const auto number = rm::settingsReal(value);
                if (!number)
                    return false;
                (scope.*Set)(*number);
                return true;
            },
            defaultValue};
}

// The 60 key lines in file order; the window size is in the file twice.
const SettingKey kKeys[] = {
    integer<&Scope::MainWindowHeight, &Scope::SetMainWindowHeight>("MainWindowHeight", "0"),
    integer<&Scope::MainWindowWidth, &Scope::SetMainWindowWidth>("MainWindowWidth", "0"),
    boolean<&Scope::StatusChannelA, &Scope::SetStatusChannelA>("StatusChannelA", "true"),
    boolean<&Scope::StatusChannelB, &Scope::SetStatusChannelB>("StatusChannelB", "true"),
    integer<&Scope::ColorChannelA, &Scope::SetColorChannelA>("ColorChannelA", "4259584"),
    integer<&Scope::ColorChannelB, &Scope::SetColorChannelB>("ColorChannelB", "65535"),
    integer<&Scope::ColorGrid, &Scope::SetColorGrid>("ColorGrid", "16777215"),
    integer<&Scope::BackgroundColor, &Scope::SetBackgroundColor>("BackgroundColor", "0"),
    boolean<&Scope::MakeMaximum, &Scope::SetMakeMaximum>("MakeMaximum", "true"),
    boolean<&Scope::MakeMinimum, &Scope::SetMakeMinimum>("MakeMinimum", "true"),
    boolean<&Scope::MakeAvg, &Scope::SetMakeAvg>("MakeAvg", "false"),
    boolean<&Scope::SingleMode, &Scope::SetSingleMode>("SingleMode", "false"),
    integer<&Scope::DensityChannelA, &Scope::SetDensityChannelA>("DensityChannelA", "8"),
    integer<&Scope::DensityChannelB, &Scope::SetDensityChannelB>("DensityChannelB", "8"),
    integer<&Scope::MaxChannelA, &Scope::SetMaxChannelA>("MaxChannelA", "217"),
    integer<&Scope::MaxChannelB, &Scope::SetMaxChannelB>("MaxChannelB", "217"),
    integer<&Scope::VerticalLevelChannelA, &Scope::SetVerticalLevelChannelA>("VerticalLevelChannelA", "2094"),
    integer<&Scope::VerticalLevelChannelB, &Scope::SetVerticalLevelChannelB>("VerticalLevelChannelB", "2079"),
    boolean<&Scope::SourceACDC_A, &Scope::SetSourceACDC_A>("SourceACDC_A", "true"),
    boolean<&Scope::SourceACDC_B, &Scope::SetSourceACDC_B>("SourceACDC_B", "true"),
    probe<&Scope::SourceProbeA, &Scope::SetSourceProbeA>("SourceProbeA", "1"),
    probe<&Scope::SourceProbeB, &Scope::SetSourceProbeB>("SourceProbeB", "1"),
    boolean<&Scope::ModeLine, &Scope::SetModeLine>("ModeLine", "true"),
    boolean<&Scope::ModeBF, &Scope::SetModeBF>("ModeBF", "false"),
    boolean<&Scope::ModeEKG, &Scope::SetModeEKG>("ModeEKG", "true"),
    boolean<&Scope::DisplayActive, &Scope::SetDisplayActive>("DisplayActive", "true"),
    integer<&Scope::GridBrightness, &Scope::SetGridBrightness>("GridBrightness", "72"),
    boolean<&Scope::Grid, &Scope::SetGrid>("Grid", "true"),
    boolean<&Scope::MainScreenMaximized, &Scope::SetMainScreenMaximized>("MainScreenMaximized", "false"),
    integer<&Scope::MainWindowWidth, &Scope::SetMainWindowWidth>("MainWindowWidth", "0"),
    integer<&Scope::MainWindowHeight, &Scope::SetMainWindowHeight>("MainWindowHeight", "0"),
    boolean<&Scope::ShowRirizHelp, &Scope::SetShowRirizHelp>("ShowRirizHelp", "true"),
    boolean<&Scope::TriggerSourceA, &Scope::SetTriggerSourceA>("TriggerSourceA", "false"),
    boolean<&Scope::TriggerSourceB, &Scope::SetTriggerSourceB>("TriggerSourceB", "false"),
    real<&Scope::TriggerLevelA, &Scope::SetTriggerLevelA>("TriggerLevelA", "0"),
    real<&Scope::TriggerLevelB, &Scope::SetTriggerLevelB>("TriggerLevelB", "0"),
    boolean<&Scope::TriggerUnderA, &Scope::SetTriggerUnderA>("TriggerUnderA", "false"),
    boolean<&Scope::TriggerUnderB, &Scope::SetTriggerUnderB>("TriggerUnderB", "true"),
    boolean<&Scope::TriggerRelation, &Scope::SetTriggerRelation>("TriggerRelation", nullptr),
    integer<&Scope::SMPSetting, &Scope::SetSMPSetting>("SMPSetting", "2"),
    integer<&Scope::DSPSetting, &Scope::SetDSPSetting>("DSPSetting", "3"),
    boolean<&Scope::BoostThread, &Scope::SetBoostThread>("BoostThread", "true"),
    integer<&Scope::MeasurementLength, &Scope::SetMeasurementLength>("MeasurementLength", "2000"),
    boolean<&Scope::RecordTriggered, &Scope::SetRecordTriggered>("RecordTriggered", "false"),
    boolean<&Scope::RecordFree, &Scope::SetRecordFree>("RecordFree", "true"),
    boolean<&Scope::MeasurementDefined, &Scope::SetMeasurementDefined>("MeasurementDefined", "false"),
    boolean<&Scope::ARMSourceA, &Scope::SetARMSourceA>("ARMSourceA", "false"),
    boolean<&Scope::ARMSourceB, &Scope::SetARMSourceB>("ARMSourceB", "false"),
    boolean<&Scope::ARMSourceExternal, &Scope::SetARMSourceExternal>("ARMSourceExternal", "false"),
    boolean<&Scope::ARMUnderA, &Scope::SetARMUnderA>("ARMUnderA", "false"),
    boolean<&Scope::ARMUnderB, &Scope::SetARMUnderB>("ARMUnderB", "false"),
    boolean<&Scope::ARMUnderExternal, &Scope::SetARMUnderExternal>("ARMUnderExternal", "true"),
    real<&Scope::ARMLevelA, &Scope::SetARMLevelA>("ARMLevelA", "0"),
    real<&Scope::ARMLevelB, &Scope::SetARMLevelB>("ARMLevelB", "0"),
    integer<&Scope::PeriodA, &Scope::SetPeriodA>("PeriodA", "1000"),
    integer<&Scope::PeriodB, &Scope::SetPeriodB>("PeriodB", "2000"),
    integer<&Scope::AmplitudeA, &Scope::SetAmplitudeA>("AmplitudeA", "3000"),
    integer<&Scope::AmplitudeB, &Scope::SetAmplitudeB>("AmplitudeB", "2000"),
    integer<&Scope::NoiseA, &Scope::SetNoiseA>("NoiseA", "0"),
    integer<&Scope::NoiseB, &Scope::SetNoiseB>("NoiseB", "0"),
};

const SettingKey* findKey(const std::string& name) {
    for (const auto& key : kKeys)
        if (name == key.name)
            return &key;
    return nullptr;
}

void showError(const std::string& text) {
    rm::showMessage(text, {}, rm::MsgButtons::Ok, rm::MsgIcon::Error);
}

} // namespace

TSettingsVornRM::~TSettingsVornRM() { SetVirtualScope(nullptr); }

void TSettingsVornRM::SetVirtualScope(TVirtualScopeVornRM* scope) {
    if (scope_)
        scope_->UnregisterListener(this);
    scope_ = scope;
    if (scope_)
        scope_->RegisterListener(kControlGroup, this,
                                 [this](TScopeNotifyCode code, int&) { ScopeNotify(code); });
}

void TSettingsVornRM::ScopeNotify(TScopeNotifyCode code) {
    switch (code) {
    case TScopeNotifyCode::snLoadAutoSettings:
        LoadFromFile(kAutoFileName);
        break;
    case TScopeNotifyCode::snSaveUserSettings:
        SaveToFile(kUserFileName);
        break;
    case TScopeNotifyCode::snLoadUserSettings:
        LoadFromFile(kUserFileName);
        break;
    case TScopeNotifyCode::snRestoreDefaults:
        RestoreDefaults();
        SaveToFile(kAutoFileName);
        break;
    case TScopeNotifyCode::snShutdown:
        SaveToFile(kAutoFileName);
        SetVirtualScope(nullptr);
        break;
    default:
        break;
    }
}

void TSettingsVornRM::LoadFromFile(const std::string& fileName) {
    if (!scope_)
        return;
    const rm::SettingsReadResult file = rm::readSettingsFile(fileName);
    if (!file.opened) {
        showError(RecorderStrings::SettingsFilePrefix + fileName + RecorderStrings::SettingsFileMissingSuffix);
        return;
    }
    // Each value goes through the scope's setter, so its rules apply in file
    // order; a key given twice takes the later value.
    for (const auto& line : file.lines) {
        if (!line.hasColon)
            continue;
        if (const SettingKey* key = findKey(line.key))
            key->read(*scope_, line.value);
    }
    if (file.readError)
        showError(RecorderStrings::SettingsErrorReading);
    // Switching the data file closes and reopens it: once per load, and only
    // when the file held anything.
    if (!file.lines.empty())
        scope_->SetFileName(kDataFileName);
}

void TSettingsVornRM::SaveToFile(const std::string& fileName) {
    if (!scope_)
        return;
    rm::SettingsTextWriter writer;
    for (const auto& key : kKeys)
        key.write(*scope_, key.name, writer);
    switch (rm::writeSettingsFile(fileName, writer.entries())) {
    case rm::SettingsWriteResult::Written:
        break;
    case rm::SettingsWriteResult::CannotCreate:
        showError(RecorderStrings::CannotCreateFile + fileName);
        break;
    case rm::SettingsWriteResult::WriteFailed:
        showError(RecorderStrings::WriteToFileFailed);
        break;
    }
}

void TSettingsVornRM::RestoreDefaults() {
    if (!scope_)
        return;
    for (const auto& key : kKeys)
        if (key.defaultValue)
            key.read(*scope_, key.defaultValue);
}
