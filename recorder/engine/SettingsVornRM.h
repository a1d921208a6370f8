#pragma once

#include "ScopeNotify.h"
#include "VirtualScopeVornRM.h"

#include <string>

// The recorder's settings files: reads "RadaDazi.ini" into the scope model at
// start-up (code 6), writes it at shutdown (code 3) and after "Restore
// defaults" (code 15), and writes/reads the user's "RadaDaziSettings.dat"
// (codes 8 and 9). Registered on the scope's bus with control group 10; it
// never broadcasts and shows nothing but error boxes.
//
// Wiring, as for the panel binders: default-construct it, then call
// SetVirtualScope in the registration order of the main window. Destroying it
// leaves the bus when it is still linked. User-interface thread only.
class TSettingsVornRM {
public:
    static constexpr int kControlGroup = ScopeGroup::Settings;
    static constexpr char kAutoFileName[] = "RadaDazi.ini";
    static constexpr char kUserFileName[] = "RadaDaziSettings.dat";
    // The data-file name every load that read a line sets.
    static constexpr const char* kDataFileName = TVirtualScopeVornRM::kDefaultDataFileName;

    TSettingsVornRM() = default;
    ~TSettingsVornRM();
    TSettingsVornRM(const TSettingsVornRM&) = delete;
    TSettingsVornRM& operator=(const TSettingsVornRM&) = delete;

    // Leaves a previous scope's bus, then registers on `scope`'s (nullptr
    // only leaves).
    void SetVirtualScope(TVirtualScopeVornRM* scope);
    TVirtualScopeVornRM* VirtualScope() const { return scope_; }
    int ControlGroup() const { return kControlGroup; }

    // Reads `fileName` into the scope: each known key through the scope's
    // setter, in file order; a value that does not convert (or a probe outside
    // 1..4) skips its line. When at least one line was read, the data-file
    // name becomes "sdata.rmd" once at the end. A missing file shows
    // "File <name> is missing." and changes nothing.
    void LoadFromFile(const std::string& fileName);
    // Writes the 60 key lines after the header; a failure shows one box and
    // keeps the file as it was.
    void SaveToFile(const std::string& fileName);
    // The defaults of "Restore defaults"; TriggerRelation and the files are
    // left alone.
    void RestoreDefaults();

private:
    void ScopeNotify(TScopeNotifyCode code);

    TVirtualScopeVornRM* scope_ = nullptr;
};
