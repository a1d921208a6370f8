#pragma once

#include "PreviewEngine.h"
#include "SettingsTextFile.h"

#include <string>
#include <vector>

namespace rm::viewer {

// Keeps the viewer's display settings between runs: reads "Preview.ini" into
// the engine on enLoadSettings and writes the engine's values back on
// enShutdown ("PreviewSettings.dat" on enLoadUserSettings and
// enSaveUserSettings). Errors are shown as message boxes. User-interface
// thread only.
class TSettingsVornRMPrv : public IEngineListener {
public:
    explicit TSettingsVornRMPrv(int controlGroup = kGroupSettings);
    ~TSettingsVornRMPrv();
    TSettingsVornRMPrv(const TSettingsVornRMPrv&) = delete;
    TSettingsVornRMPrv& operator=(const TSettingsVornRMPrv&) = delete;

    // Links the component and registers it (a previous link is left first).
    void SetPreviewEngine(TPreviewEnginePelkRM* engine);
    TPreviewEnginePelkRM* PreviewEngine() const { return engine_; }
    int ControlGroup() const { return controlGroup_; }

    void EngineNotify(int code, int senderGroup) override;

    // False when the file could not be read or written (after its box).
    bool LoadFromFile(const std::string& fileName);
    bool SaveToFile(const std::string& fileName);

    // The 22 key lines of the engine's settings, in file order.
    static std::vector<SettingsEntry> WriteSettings(const TPreviewEnginePelkRM& engine);
    // Stores every line whose key is one of the 22 into the engine; any other
    // line (the header lines always) proposes "sdata.rmd" as the data file.
    // A value that does not convert skips its line.
    static void ParseSettings(TPreviewEnginePelkRM& engine, const std::vector<SettingsLine>& lines);

private:
    void leaveEngine();

    TPreviewEnginePelkRM* engine_ = nullptr;
    const int controlGroup_;
};

} // namespace rm::viewer
