#pragma once

#include "DataFileWriter.h"
#include "FileSizeCounter.h"
#include "ScopeListenerBus.h"
#include "ScopeNotify.h"
#include "WinColor.h"

#include <QObject>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class TVirtualDriverVornRM;
class ValueLabelLink;

// The recorder's central settings model: every setting the panels, the live
// displays, the settings files and the worker threads share, the listener bus
// through which components learn of changes, and the data-file writer.
//
// Threads: setters, Notify and the bus run on the user-interface thread; the
// worker threads read settings and write the status properties. Every value
// is atomic, so reads need no lock. "Locked" setters also hold SettingsLock,
// which the acquisition thread holds over a whole settings push, so a push
// sees no setting change half-way.
class TVirtualScopeVornRM {
public:
    using Handler = ScopeListenerBus::Handler;

    static constexpr size_t kDeviceInfoBytes = 240;
    // The data file's name until another is given, also on the very first
    // start, before any settings file exists.
    static constexpr char kDefaultDataFileName[] = "sdata.rmd";
    static constexpr int kChannelA = 100;
    static constexpr int kChannelB = 200;

    TVirtualScopeVornRM();
    ~TVirtualScopeVornRM();
    TVirtualScopeVornRM(const TVirtualScopeVornRM&) = delete;
    TVirtualScopeVornRM& operator=(const TVirtualScopeVornRM&) = delete;

    // ---- Listener bus -------------------------------------------------------
    void RegisterListener(int controlGroup, const void* owner, Handler handler);
    void UnregisterListener(const void* owner);
    void Notify(TScopeNotifyCode code, int senderGroup);
    const ScopeListenerBus& Listeners() const { return bus_; }

    // Delivery on, codes 6 and 1, then ApplicationInitialized.
    void Startup();
    // Measurement off, codes 2 and 3, then the data file is closed.
    void Shutdown();

    // ---- Locks ----------------------------------------------------------------
    std::recursive_mutex& SettingsLock() { return settingsLock_; }

    // ---- Data file ------------------------------------------------------------
    bool SavingActivated() const { return savingActivated_; }
    // Stores, then reopens the current file name (opens it only while saving).
    void SetSavingActivated(bool value);
    // Takes the new name; opens it for append (or creates it when missing)
    // once the program is initialised and saving is on, else closes the data
    // file. The file already open stays open as it is. A measurement stays
    // whole in one file: a name set while one runs (a settings load) is opened
    // right after the measurement's stop block has been written to the open
    // file. A file that cannot be opened gives "Cannot create file <name>"
    // and switches saving off.
    void SetFileName(const std::string& name);
    std::string GetFileName() const { return dataFileName_; }
    std::string IndexFileName(const std::string& name) const;
    // Recreates the current file empty, deletes its index file and keeps it
    // open, saving on or off. A file without a write bit, or one that is not
    // empty and does not begin as a recording, stays whole: "Cannot create
    // file <name>".
    void ClearFile();
    // Processing thread: writes the words to the data file while saving is on,
    // switching to the name set during a measurement after its stop block.
    // A failed write closes the file and stops saving; code 2 (group 255)
    // and then the box "Write to file failed." are queued for the
    // user-interface thread, so the caller never waits for the box. A file
    // that cannot be switched to does the same with "Cannot create file
    // <name>".
    void AppendToFile(const uint16_t* words, size_t count);
    bool IsFileOpen() const { return writer_.isOpen(); }

    int64_t FileSize() const { return fileSize_.value(); }
    void SetFileSize(int64_t bytes) { fileSize_.set(bytes); }

    // ---- Channels -------------------------------------------------------------
    int DensityChannelA() const { return densityChannelA_; }
    int DensityChannelB() const { return densityChannelB_; }
    void SetDensityChannelA(int value);  // locked; held to 1..9
    void SetDensityChannelB(int value);

    int MaxChannelA() const { return maxChannelA_; }
    int MaxChannelB() const { return maxChannelB_; }
    void SetMaxChannelA(int value);  // at least 1
    void SetMaxChannelB(int value);

    int VerticalLevelChannelA() const { return verticalLevelChannelA_; }
    int VerticalLevelChannelB() const { return verticalLevelChannelB_; }
    void SetVerticalLevelChannelA(int value);  // locked; only 1..4095 is taken
    void SetVerticalLevelChannelB(int value);

    // The level in slider pixels: level × Max div 4096; a pixel value 0..Max
    // sets the level to v × 4095 div Max, other values are ignored.
    int ScaledLevelChannelA() const;
    int ScaledLevelChannelB() const;
    void SetScaledLevelChannelA(int value);
    void SetScaledLevelChannelB(int value);

    bool StatusChannelA() const { return statusChannelA_; }
    bool StatusChannelB() const { return statusChannelB_; }
    void SetStatusChannelA(bool value) { storeLocked(statusChannelA_, value); }
    void SetStatusChannelB(bool value) { storeLocked(statusChannelB_, value); }

    bool SourceACDC_A() const { return sourceACDC_A_; }
    bool SourceACDC_B() const { return sourceACDC_B_; }
    void SetSourceACDC_A(bool dc) { storeLocked(sourceACDC_A_, dc); }
    void SetSourceACDC_B(bool dc) { storeLocked(sourceACDC_B_, dc); }

    int SourceProbeA() const { return sourceProbeA_; }
    int SourceProbeB() const { return sourceProbeB_; }
    void SetSourceProbeA(int value) { storeLocked(sourceProbeA_, value); }
    void SetSourceProbeB(int value) { storeLocked(sourceProbeB_, value); }

    bool GroundA() const { return groundA_; }
    bool GroundB() const { return groundB_; }
    void SetGroundA(bool value) { storeLocked(groundA_, value); }
    void SetGroundB(bool value) { storeLocked(groundB_, value); }

    int ZeroChannelA() const { return zeroChannelA_; }
    int ZeroChannelB() const { return zeroChannelB_; }
    void SetZeroChannelA(int value) { zeroChannelA_ = value; }
    void SetZeroChannelB(int value) { zeroChannelB_ = value; }

    // Millivolts per division of kChannelA or kChannelB (anything but
    // kChannelB means A).
    int32_t Deflection(int channel) const;
    // "    1:1", "  1:10", "1:100", "1:1000" for probe 1..4; any other probe
    // leaves `text` as it is.
    void ProbeText(int channel, std::string& text) const;

    // ---- Colours and display options -----------------------------------------
    rm::WinColor ColorChannelA() const { return colorChannelA_; }
    rm::WinColor ColorChannelB() const { return colorChannelB_; }
    void SetColorChannelA(rm::WinColor value) { colorChannelA_ = value; }
    void SetColorChannelB(rm::WinColor value) { colorChannelB_ = value; }

    rm::WinColor ColorGrid() const { return colorGrid_; }
    void SetColorGrid(rm::WinColor value);
    int GridBrightness() const { return gridBrightness_; }
    void SetGridBrightness(int percent);  // held to 0..100
    rm::WinColor RealGridColor() const { return realGridColor_; }
    // Each colour byte times `factor`, rounded (halves to even), held to 0..255;
    // the top byte is dropped.
    static rm::WinColor ScaleColor(rm::WinColor color, double factor);

    rm::WinColor BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(rm::WinColor value) { backgroundColor_ = value; }

    bool ModeLine() const { return modeLine_; }
    bool ModeBF() const { return modeBF_; }
    bool ModeEKG() const { return modeEKG_; }
    void SetModeLine(bool value) { modeLine_ = value; }
    void SetModeBF(bool value) { modeBF_ = value; }
    void SetModeEKG(bool value) { modeEKG_ = value; }

    bool DisplayActive() const { return displayActive_; }
    void SetDisplayActive(bool value);  // False also requests a clear

    bool MakeMaximum() const { return makeMaximum_; }
    bool MakeMinimum() const { return makeMinimum_; }
    bool MakeAvg() const { return makeAvg_; }
    bool SingleMode() const { return singleMode_; }
    void SetMakeMaximum(bool value) { makeMaximum_ = value; }
    void SetMakeMinimum(bool value) { makeMinimum_ = value; }
    void SetMakeAvg(bool value) { makeAvg_ = value; }
    void SetSingleMode(bool value) { singleMode_ = value; }

    bool ClearScreenRequested() const { return clearScreenRequested_; }
    void SetClearScreenRequested(bool value) { clearScreenRequested_ = value; }

    bool Grid() const { return grid_; }
    void SetGrid(bool value) { grid_ = value; }

    bool MainScreenMaximized() const { return mainScreenMaximized_; }
    void SetMainScreenMaximized(bool value) { mainScreenMaximized_ = value; }
    int MainWindowHeight() const { return mainWindowHeight_; }
    int MainWindowWidth() const { return mainWindowWidth_; }
    void SetMainWindowHeight(int value) { mainWindowHeight_ = value; }
    void SetMainWindowWidth(int value) { mainWindowWidth_ = value; }

    // ---- Trigger and arm -----------------------------------------------------
    bool TriggerSourceA() const { return triggerSourceA_; }
    bool TriggerSourceB() const { return triggerSourceB_; }
    void SetTriggerSourceA(bool value) { storeLocked(triggerSourceA_, value); }
    void SetTriggerSourceB(bool value) { storeLocked(triggerSourceB_, value); }

    double TriggerLevelA() const { return triggerLevelA_; }
    double TriggerLevelB() const { return triggerLevelB_; }
    void SetTriggerLevelA(double mv) { storeLocked(triggerLevelA_, mv); }
    void SetTriggerLevelB(double mv) { storeLocked(triggerLevelB_, mv); }

    bool TriggerUnderA() const { return triggerUnderA_; }
    bool TriggerUnderB() const { return triggerUnderB_; }
    void SetTriggerUnderA(bool value) { storeLocked(triggerUnderA_, value); }
    void SetTriggerUnderB(bool value) { storeLocked(triggerUnderB_, value); }

    bool TriggerRelation() const { return triggerRelation_; }
    void SetTriggerRelation(bool both) { storeLocked(triggerRelation_, both); }

    bool ARMSourceA() const { return armSourceA_; }
    bool ARMSourceB() const { return armSourceB_; }
    bool ARMSourceExternal() const { return armSourceExternal_; }
    void SetARMSourceA(bool value) { storeLocked(armSourceA_, value); }
    void SetARMSourceB(bool value) { storeLocked(armSourceB_, value); }
    void SetARMSourceExternal(bool value) { storeLocked(armSourceExternal_, value); }

    double ARMLevelA() const { return armLevelA_; }
    double ARMLevelB() const { return armLevelB_; }
    void SetARMLevelA(double mv) { storeLocked(armLevelA_, mv); }
    void SetARMLevelB(double mv) { storeLocked(armLevelB_, mv); }

    bool ARMUnderA() const { return armUnderA_; }
    bool ARMUnderB() const { return armUnderB_; }
    bool ARMUnderExternal() const { return armUnderExternal_; }
    void SetARMUnderA(bool value) { storeLocked(armUnderA_, value); }
    void SetARMUnderB(bool value) { storeLocked(armUnderB_, value); }
    void SetARMUnderExternal(bool value) { storeLocked(armUnderExternal_, value); }

    // ---- Status lamps (written by the acquisition thread) ----------------------
    int TriggerLEDStatus() const { return triggerLEDStatus_; }
    int ARMLEDStatus() const { return armLEDStatus_; }
    void SetTriggerLEDStatus(int value) { triggerLEDStatus_ = value; }
    void SetARMLEDStatus(int value) { armLEDStatus_ = value; }

    uint8_t DataAcquisitionStatus() const { return dataAcquisitionStatus_; }
    // 0 ends the measurement and clears the lamps; another status is taken
    // only during a measurement: trigger lamp = low nibble, arm lamp = high.
    void SetDataAcquisitionStatus(uint8_t status);

    int CachedDataStatus() const { return cachedDataStatus_; }
    void SetCachedDataStatus(int value) { cachedDataStatus_ = value; }

    // ---- Record and measurement ------------------------------------------------
    bool RecordTriggered() const { return recordTriggered_; }
    void SetRecordTriggered(bool value) { recordTriggered_ = value; }
    bool RecordFree() const { return recordFree_; }
    void SetRecordFree(bool value) { storeLocked(recordFree_, value); }

    bool MeasurementStarted() const { return measurementStarted_; }
    void SetMeasurementStarted(bool value);  // locked

    uint32_t MeasurementLength() const { return measurementLength_; }
    void SetMeasurementLength(uint32_t ms) { storeLocked(measurementLength_, ms); }
    bool MeasurementDefined() const { return measurementDefined_; }
    void SetMeasurementDefined(bool value) { storeLocked(measurementDefined_, value); }

    // Sampling rate 0..15 and time base 0..16, each held to its table; each
    // raises the other so that SMPSetting + DSPSetting >= 3.
    int SMPSetting() const { return smpSetting_; }
    void SetSMPSetting(int index);  // locked
    int DSPSetting() const { return dspSetting_; }
    void SetDSPSetting(int index);

    bool SettingsToFile() const { return settingsToFile_; }
    void SetSettingsToFile(bool value) { storeLocked(settingsToFile_, value); }

    // ---- Demo waveform ---------------------------------------------------------
    int PeriodA() const { return periodA_; }
    int PeriodB() const { return periodB_; }
    int AmplitudeA() const { return amplitudeA_; }
    int AmplitudeB() const { return amplitudeB_; }
    int NoiseA() const { return noiseA_; }
    int NoiseB() const { return noiseB_; }
    void SetPeriodA(int value) { storeLocked(periodA_, value); }
    void SetPeriodB(int value) { storeLocked(periodB_, value); }
    void SetAmplitudeA(int value) { storeLocked(amplitudeA_, value); }
    void SetAmplitudeB(int value) { storeLocked(amplitudeB_, value); }
    void SetNoiseA(int value) { storeLocked(noiseA_, value); }
    void SetNoiseB(int value) { storeLocked(noiseB_, value); }

    // ---- Program options --------------------------------------------------------
    bool ShowRirizHelp() const { return showRirizHelp_; }
    void SetShowRirizHelp(bool value) { showRirizHelp_ = value; }
    bool BoostThread() const { return boostThread_; }
    void SetBoostThread(bool value) { boostThread_ = value; }
    bool ApplicationInitialized() const { return applicationInitialized_; }

    // ---- Live voltage ------------------------------------------------------------
    uint16_t ActualVoltage() const { return actualVoltage_; }
    // Processing thread, with the last word of each block: a sample word is
    // stored and both voltage labels show its millivolts (B first, then A); a
    // marker or block word only sets the labels to what they show.
    void SetActualVoltage(uint16_t word);

    // ---- Links ---------------------------------------------------------------------
    TVirtualDriverVornRM* VirtualDriver() const { return virtualDriver_; }
    void SetVirtualDriver(TVirtualDriverVornRM* driver);  // an empty link is ignored

    ValueLabelLink* FileSizeLabel() const { return fileSize_.label(); }
    void SetFileSizeLabel(ValueLabelLink* label) { fileSize_.setLabel(label); }
    ValueLabelLink* ActualVoltageA() const { return actualVoltageA_; }
    ValueLabelLink* ActualVoltageB() const { return actualVoltageB_; }
    void SetActualVoltageA(ValueLabelLink* label) { actualVoltageA_ = label; }
    void SetActualVoltageB(ValueLabelLink* label) { actualVoltageB_ = label; }

    // The device information record that the driver library fills; read by
    // the driver component.
    std::array<uint8_t, kDeviceInfoBytes>& DeviceInfo() { return deviceInfo_; }
    const std::array<uint8_t, kDeviceInfoBytes>& DeviceInfo() const { return deviceInfo_; }

private:
    template <typename T, typename V>
    void storeLocked(std::atomic<T>& field, V value) {
        std::lock_guard lock(settingsLock_);
        field = static_cast<T>(value);
    }
    void setScaledLevel(std::atomic<int>& level, int max, int pixels);
    void raiseDspFor(int smp);
    void recomputeRealGridColor();
    void showFileFailure(const std::string& text);
    static void showError(const std::string& text);

    std::recursive_mutex settingsLock_;
    ScopeListenerBus bus_;
    FileSizeCounter fileSize_;
    DataFileWriter writer_{fileSize_};
    std::string dataFileName_{kDefaultDataFileName};

    std::atomic<bool> savingActivated_{false};
    std::atomic<int> densityChannelA_{7}, densityChannelB_{7};
    std::atomic<int> maxChannelA_{100}, maxChannelB_{100};
    std::atomic<int> verticalLevelChannelA_{1351}, verticalLevelChannelB_{1433};
    std::atomic<rm::WinColor> colorChannelA_{0x40FF00}, colorChannelB_{0x00FFFF};
    std::atomic<rm::WinColor> colorGrid_{0xFFFFFF}, realGridColor_{0};
    std::atomic<rm::WinColor> backgroundColor_{0};
    std::atomic<bool> modeLine_{true}, modeBF_{false}, modeEKG_{true};
    std::atomic<bool> displayActive_{true};
    std::atomic<bool> makeMaximum_{true}, makeMinimum_{true}, makeAvg_{false}, singleMode_{false};
    std::atomic<bool> clearScreenRequested_{false};
    std::atomic<bool> grid_{true};
    std::atomic<int> gridBrightness_{72};
    std::atomic<bool> mainScreenMaximized_{false};
    std::atomic<int> mainWindowHeight_{0}, mainWindowWidth_{0};
    std::atomic<bool> triggerSourceA_{false}, triggerSourceB_{false};
    std::atomic<double> triggerLevelA_{200}, triggerLevelB_{2000};
    std::atomic<bool> triggerUnderA_{false}, triggerUnderB_{false};
    std::atomic<int> triggerLEDStatus_{0};
    std::atomic<uint8_t> dataAcquisitionStatus_{0};
    std::atomic<bool> triggerRelation_{false};
    std::atomic<bool> armSourceA_{false}, armSourceB_{false}, armSourceExternal_{false};
    std::atomic<double> armLevelA_{0}, armLevelB_{0};
    std::atomic<bool> armUnderA_{false}, armUnderB_{false}, armUnderExternal_{false};
    std::atomic<int> armLEDStatus_{0};
    std::atomic<bool> sourceACDC_A_{true}, sourceACDC_B_{true};
    std::atomic<int> sourceProbeA_{1}, sourceProbeB_{1};
    std::atomic<bool> groundA_{false}, groundB_{false};
    std::atomic<bool> recordTriggered_{false}, recordFree_{true};
    std::atomic<bool> measurementStarted_{false};
    std::atomic<uint32_t> measurementLength_{5000};
    std::atomic<bool> measurementDefined_{false};
    std::atomic<int> smpSetting_{10}, dspSetting_{3};
    std::atomic<bool> statusChannelA_{true}, statusChannelB_{true};
    std::atomic<int> zeroChannelA_{0}, zeroChannelB_{0};
    std::atomic<bool> showRirizHelp_{true}, boostThread_{true};
    std::atomic<int> periodA_{1000}, periodB_{2000};
    std::atomic<int> amplitudeA_{3000}, amplitudeB_{2000};
    std::atomic<int> noiseA_{0}, noiseB_{0};
    std::atomic<uint16_t> actualVoltage_{0};
    std::atomic<bool> settingsToFile_{true};
    std::atomic<int> cachedDataStatus_{0};
    std::atomic<bool> applicationInitialized_{false};

    std::atomic<TVirtualDriverVornRM*> virtualDriver_{nullptr};
    std::atomic<ValueLabelLink*> actualVoltageA_{nullptr}, actualVoltageB_{nullptr};
    std::array<uint8_t, kDeviceInfoBytes> deviceInfo_{};
    // Lives on the user-interface thread; calls queued from workers die with it.
    QObject uiContext_;
};
