#include "SettingsVornRMPrv.h"

#include "MessageBoxes.h"
#include "viewer/ViewerStrings.h"

#include <atomic>
#include <functional>

namespace rm::viewer {

namespace {

// One key of the file and the engine property it stands for.
struct SettingKey {
    const char* key;
    std::function<void(const TPreviewEnginePelkRM&, SettingsTextWriter&)> write;
    // False when the value does not convert.
    std::function<bool(TPreviewEnginePelkRM&, const std::string&)> read;
};

SettingKey boolean(const char* key, std::atomic<bool> TPreviewEnginePelkRM::*field) {
    return {key, [key, field](const TPreviewEnginePelkRM& e, SettingsTextWriter& w) { w.addBoolean(key, e.*field); },
            [field](TPreviewEnginePelkRM& e, const std::string& v) {
                e.*field = settingsBoolean(v);
                return true;
            }};
}

template <typename T>
SettingKey integer(const char* key, std::atomic<T> TPreviewEnginePelkRM::*field) {
    return {key,
            [key, field](const TPreviewEnginePelkRM& e, SettingsTextWriter& w) {
                // Unsigned values are written through the signed 32-bit form.
                w.addInteger(key, static_cast<int32_t>((e.*field).load()));
            },
            [field](TPreviewEnginePelkRM& e, const std::string& v) {
                const std::optional<int32_t> value = settingsInteger(v);
                if (value)
                    e.*field = static_cast<T>(*value);
                return value.has_value();
            }};
}

const std::vector<SettingKey>& keys() {
    using E = TPreviewEnginePelkRM;
    static const std::vector<SettingKey> table = {
        boolean("IgnoreOverrun", &E::IgnoreOverrun),
        boolean("GridActive", &E::GridActive),
        integer("GridColor", &E::GridColor),
        integer("BackgroundColor", &E::BackgroundColor),
        integer("ColorChannelA", &E::ColorChannelA),
        integer("ColorChannelB", &E::ColorChannelB),
        {"ZoomActive", [](const E& e, SettingsTextWriter& w) { w.addBoolean("ZoomActive", e.ZoomActive()); },
         [](E& e, const std::string& v) {
             e.SetZoomActive(settingsBoolean(v));
             return true;
         }},
        {"SamplesPerPoint",
         [](const E& e, SettingsTextWriter& w) { w.addInteger("SamplesPerPoint", static_cast<int32_t>(e.SamplesPerPoint())); },
         [](E& e, const std::string& v) {
             const std::optional<int32_t> value = settingsInteger(v);
             if (value)
                 e.SetSamplesPerPoint(static_cast<uint32_t>(*value));
             return value.has_value();
         }},
        boolean("ChannelA", &E::ChannelA),
        boolean("ChannelB", &E::ChannelB),
        boolean("ChannelC", &E::ChannelC),
        boolean("ChannelD", &E::ChannelD),
        boolean("SingleMode", &E::SingleMode),
        boolean("MakeAvg", &E::MakeAvg),
        boolean("MakeMinimum", &E::MakeMinimum),
        boolean("MakeMaximum", &E::MakeMaximum),
        integer("MainScreenWidth", &E::MainScreenWidth),
        integer("MainScreenHeight", &E::MainScreenHeight),
        integer("MainWindowWidth", &E::MainWindowWidth),
        integer("MainWindowHeight", &E::MainWindowHeight),
        boolean("Maximized", &E::Maximized),
        boolean("VoltageCursorsActive", &E::VoltageCursorsActive),
    };
    return table;
}

void error(const std::string& text) { showMessage(text, {}, MsgButtons::Ok, MsgIcon::Error); }

} // namespace

TSettingsVornRMPrv::TSettingsVornRMPrv(int controlGroup) : controlGroup_(controlGroup) {}

TSettingsVornRMPrv::~TSettingsVornRMPrv() { leaveEngine(); }

void TSettingsVornRMPrv::SetPreviewEngine(TPreviewEnginePelkRM* engine) {
    leaveEngine();
    engine_ = engine;
    if (engine_)
        engine_->RegisterListener(controlGroup_, this);
}

void TSettingsVornRMPrv::leaveEngine() {
    if (engine_)
        engine_->UnregisterListener(controlGroup_, this);
    engine_ = nullptr;
}

void TSettingsVornRMPrv::EngineNotify(int code, int) {
    if (!engine_)
        return;
    switch (code) {
    case enLoadSettings: LoadFromFile(ViewerStrings::SettingsFileName); break;
    case enShutdown:
        SaveToFile(ViewerStrings::SettingsFileName);
        leaveEngine();
        break;
    case enSaveUserSettings: SaveToFile(ViewerStrings::UserSettingsFileName); break;
    case enLoadUserSettings: LoadFromFile(ViewerStrings::UserSettingsFileName); break;
    default: break;
    }
}

bool TSettingsVornRMPrv::LoadFromFile(const std::string& fileName) {
    if (!engine_)
        return false;
    const SettingsReadResult read = readSettingsFile(fileName);
    if (!read.opened) {
        error(std::string(ViewerStrings::SettingsFileMissingBefore) + fileName +
              ViewerStrings::SettingsFileMissingAfter);
        return false;
    }
    ParseSettings(*engine_, read.lines);
    if (read.readError)
        error(ViewerStrings::SettingsReadError);
    return !read.readError;
}

bool TSettingsVornRMPrv::SaveToFile(const std::string& fileName) {
    if (!engine_)
        return false;
    switch (writeSettingsFile(fileName, WriteSettings(*engine_))) {
    case SettingsWriteResult::Written: return true;
    case SettingsWriteResult::CannotCreate: error(ViewerStrings::SettingsCannotCreate + fileName); break;
    case SettingsWriteResult::WriteFailed: error(ViewerStrings::SettingsWriteFailed); break;
    }
    return false;
}

std::vector<SettingsEntry> TSettingsVornRMPrv::WriteSettings(const TPreviewEnginePelkRM& engine) {
    SettingsTextWriter writer;
    for (const SettingKey& key : keys())
        key.write(engine, writer);
    return writer.entries();
}

void TSettingsVornRMPrv::ParseSettings(TPreviewEnginePelkRM& engine, const std::vector<SettingsLine>& lines) {
    for (const SettingsLine& line : lines) {
        bool matched = false;
        for (const SettingKey& entry : keys()) {
            if (line.hasColon && line.key == entry.key) {
                entry.read(engine, line.value);
                matched = true;
                break;
            }
        }
        if (!matched)
            engine.SetOpenFileName(ViewerStrings::ProposedDataFileName);
    }
}

} // namespace rm::viewer
