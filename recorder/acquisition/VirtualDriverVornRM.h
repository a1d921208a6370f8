#pragma once

#include "DemoSignalGenerator.h"
#include "QuorvRMDrv.h"
#include "SharedLibrary.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// The recorder's link to the device driver library. It binds the library, runs
// the device initialisation with its dialogs (falling back to demo mode), keeps
// its own copy of every device setting and forwards a setting only when it
// changed or ForceSettings is set, logs the parameter blocks of each change for
// the data file, and hands out sample blocks from the device or the demo
// generator.
//
// Not thread-safe by itself: the acquisition thread calls the setters under the
// scope's SettingsLock, and the user-interface thread uses the component only
// while that thread is not running or waits for it. USBFailed is written by the
// driver library at any time.
class TVirtualDriverVornRM {
public:
    static constexpr int kSettingsLogWords = 1025;
    static constexpr const char* kDriverDllName = "QuorvRMDrv.dll";

    explicit TVirtualDriverVornRM(DemoSignalGenerator::TickSource ticks = DemoSignalGenerator::steadyTicks);
    ~TVirtualDriverVornRM();
    TVirtualDriverVornRM(const TVirtualDriverVornRM&) = delete;
    TVirtualDriverVornRM& operator=(const TVirtualDriverVornRM&) = delete;

    // Load, bind and initialise the device, with the dialogs; demo mode when the
    // library or the device cannot be used. User-interface thread only.
    void InitializeDriver();
    // Unloads the driver library (which releases the USB interface library).
    void ReleaseLibrary();
    bool LibraryLoaded() const { return library_.isOpen(); }

    // One block of sample words into `buffer` (room for 32,768 words from the
    // device, 65,535 from the demo generator); returns the status byte.
    uint8_t ReadData(uint16_t* buffer, int32_t& count);
    uint8_t GenerateDemoData(uint16_t* buffer, int32_t& count);

    // Gives a freshly initialised device the ranges of both channels (codes
    // 10, 11), so the levels of the next push are converted in the right
    // range; no parameter block, no level follows.
    void SendRanges();
    // Tells a driver loaded anew after a device loss that the measurement
    // runs (code 32), so it goes on; no parameter block is written.
    void ResumeMeasurement();

    void ClearSettingsLog();
    // Copies the logged words to `destination` (room for kSettingsLogWords),
    // reports their number and empties the log.
    void TakeSettingsLog(uint16_t* destination, int32_t& count);
    void WriteSettingsHeader();

    // mV per division of channel A (100) or B (200; anything else means A).
    int32_t Deflection(int channel) const;

    // The 240 bytes that a successful InitializeDevice fills (the scope's
    // device information record); set before every InitializeDriver.
    void SetDeviceInfo(uint8_t* record) { deviceInfo_ = record; }
    // Where the driver library is looked for; empty means the program's folder.
    void SetLibraryFolder(std::string folder) { libraryFolder_ = std::move(folder); }
    // Asks the application to end; by default a queued quit of the Qt application.
    void SetTerminateHandler(std::function<void()> handler) { terminateHandler_ = std::move(handler); }

    // Device settings, forwarded on change or while ForceSettings is set.
    bool RecordFree() const { return recordFree_; }
    void SetRecordFree(bool value);
    bool MeasurementStarted() const { return measurementStarted_; }
    void SetMeasurementStarted(bool value);
    uint32_t MeasurementLength() const { return measurementLength_; }
    void SetMeasurementLength(uint32_t milliseconds);
    bool TriggerSourceA() const { return triggerSource_[0]; }
    bool TriggerSourceB() const { return triggerSource_[1]; }
    void SetTriggerSourceA(bool value) { setFlag(triggerSource_[0], value, ::TriggerSourceA); }
    void SetTriggerSourceB(bool value) { setFlag(triggerSource_[1], value, ::TriggerSourceB); }
    int32_t TriggerLevelA() const { return triggerLevel_[0]; }
    int32_t TriggerLevelB() const { return triggerLevel_[1]; }
    void SetTriggerLevelA(double millivolts) { setLevel(triggerLevel_[0], millivolts, ::TriggerLevelA); }
    void SetTriggerLevelB(double millivolts) { setLevel(triggerLevel_[1], millivolts, ::TriggerLevelB); }
    bool TriggerUnderA() const { return triggerUnder_[0]; }
    bool TriggerUnderB() const { return triggerUnder_[1]; }
    void SetTriggerUnderA(bool value) { setFlag(triggerUnder_[0], value, ::TriggerUnderA); }
    void SetTriggerUnderB(bool value) { setFlag(triggerUnder_[1], value, ::TriggerUnderB); }
    bool TriggerRelation() const { return triggerRelation_; }
    void SetTriggerRelation(bool value) { setFlag(triggerRelation_, value, ::TriggerRelation); }
    bool ARMSourceA() const { return armSource_[0]; }
    bool ARMSourceB() const { return armSource_[1]; }
    bool ARMSourceExternal() const { return armSource_[2]; }
    void SetARMSourceA(bool value) { setFlag(armSource_[0], value, ::ARMSourceA); }
    void SetARMSourceB(bool value) { setFlag(armSource_[1], value, ::ARMSourceB); }
    void SetARMSourceExternal(bool value) { setFlag(armSource_[2], value, ::ARMSourceExternal); }
    int32_t ARMLevelA() const { return armLevel_[0]; }
    int32_t ARMLevelB() const { return armLevel_[1]; }
    void SetARMLevelA(double millivolts) { setLevel(armLevel_[0], millivolts, ::ARMLevelA); }
    void SetARMLevelB(double millivolts) { setLevel(armLevel_[1], millivolts, ::ARMLevelB); }
    bool ARMUnderA() const { return armUnder_[0]; }
    bool ARMUnderB() const { return armUnder_[1]; }
    bool ARMUnderExternal() const { return armUnder_[2]; }
    void SetARMUnderA(bool value) { setFlag(armUnder_[0], value, ::ARMUnderA); }
    void SetARMUnderB(bool value) { setFlag(armUnder_[1], value, ::ARMUnderB); }
    void SetARMUnderExternal(bool value) { setFlag(armUnder_[2], value, ::ARMUnderExternal); }
    // The scope's vertical level 1..4095; stored as the offset code 4095 - level.
    uint16_t VerticalLevelChannelA() const { return offsetCode_[0]; }
    uint16_t VerticalLevelChannelB() const { return offsetCode_[1]; }
    void SetVerticalLevelChannelA(uint16_t level) { setVerticalLevel(0, level); }
    void SetVerticalLevelChannelB(uint16_t level) { setVerticalLevel(1, level); }
    int32_t SourceProbeA() const { return probe_[0]; }
    int32_t SourceProbeB() const { return probe_[1]; }
    void SetSourceProbeA(int32_t probe) { setProbe(0, probe); }
    void SetSourceProbeB(int32_t probe) { setProbe(1, probe); }
    bool SourceACDC_A() const { return dc_[0]; }
    bool SourceACDC_B() const { return dc_[1]; }
    void SetSourceACDC_A(bool dc) { setLoggedFlag(0, dc_, dc, ::SourceACDC_A, kRecordACDC); }
    void SetSourceACDC_B(bool dc) { setLoggedFlag(1, dc_, dc, ::SourceACDC_B, kRecordACDC); }
    bool GroundA() const { return ground_[0]; }
    bool GroundB() const { return ground_[1]; }
    void SetGroundA(bool grounded) { setLoggedFlag(0, ground_, grounded, ::GroundA, kRecordGround); }
    void SetGroundB(bool grounded) { setLoggedFlag(1, ground_, grounded, ::GroundB, kRecordGround); }
    int32_t SMPSetting() const { return smpSetting_; }
    void SetSMPSetting(int32_t index);
    uint16_t DensityChannelA() const { return density_[0]; }
    uint16_t DensityChannelB() const { return density_[1]; }
    void SetDensityChannelA(uint16_t density) { setDensity(0, density); }
    void SetDensityChannelB(uint16_t density) { setDensity(1, density); }

    // Plain values.
    bool RecordTriggered() const { return recordTriggered_; }
    void SetRecordTriggered(bool value) { recordTriggered_ = value; }
    bool MeasurementDefined() const { return measurementDefined_; }
    void SetMeasurementDefined(bool value) { measurementDefined_ = value; }
    bool StatusChannelA() const { return statusChannel_[0]; }
    bool StatusChannelB() const { return statusChannel_[1]; }
    void SetStatusChannelA(bool shown) { statusChannel_[0] = shown; }
    void SetStatusChannelB(bool shown) { statusChannel_[1] = shown; }
    bool SetBackRequested() const { return setBackRequested_; }
    void SetSetBackRequested(bool value) { setBackRequested_ = value; }
    bool ForceSettings() const { return forceSettings_; }
    void SetForceSettings(bool value) { forceSettings_ = value; }
    int32_t ZeroChannelA() const { return zero_[0]; }
    int32_t ZeroChannelB() const { return zero_[1]; }
    bool SettingsToFile() const { return settingsToFile_; }
    void SetSettingsToFile(bool value) { settingsToFile_ = value; }
    bool DeviceInitialized() const { return deviceInitialized_; }
    bool DeviceCalibrationOK() const { return deviceCalibrationOK_; }
    bool DemoMode() const { return demoMode_; }
    const std::string& DeviceSerialNumber() const { return deviceSerialNumber_; }

    // Demo waveform, stored only.
    int32_t PeriodA() const { return demoA_.periodMs; }
    int32_t PeriodB() const { return demoB_.periodMs; }
    void SetPeriodA(int32_t ms) { demoA_.periodMs = ms; }
    void SetPeriodB(int32_t ms) { demoB_.periodMs = ms; }
    int32_t AmplitudeA() const { return demoA_.amplitudeMv; }
    int32_t AmplitudeB() const { return demoB_.amplitudeMv; }
    void SetAmplitudeA(int32_t mv) { demoA_.amplitudeMv = mv; }
    void SetAmplitudeB(int32_t mv) { demoB_.amplitudeMv = mv; }
    int32_t NoiseA() const { return demoA_.noiseMv; }
    int32_t NoiseB() const { return demoB_.noiseMv; }
    void SetNoiseA(int32_t mv) { demoA_.noiseMv = mv; }
    void SetNoiseB(int32_t mv) { demoB_.noiseMv = mv; }

    // Read-only.
    bool TerminateApplication() const { return terminateApplication_; }
    bool USBFailed() const;
    const std::string& DeviceDriverVersion() const { return deviceDriverVersion_; }
    const std::string& USBDriverVersion() const { return usbDriverVersion_; }

    // Words of a defined-length measurement: the counter the acquisition thread
    // advances and the target, MeasurementLength's milliseconds at the rate
    // (whole samples, rounded down).
    int64_t SampleCounter() const { return sampleCounter_; }
    void SetSampleCounter(int64_t words) { sampleCounter_ = words; }
    int64_t TargetSampleCount() const { return targetSampleCount_; }
    int32_t SamplesPerSecond() const;

private:
    enum RecordType : uint16_t {
        kRecordMeasurementStarted = 1,
        kRecordVerticalLevel = 2,  // + channel
        kRecordProbe = 4,
        kRecordACDC = 6,
        kRecordGround = 8,
        kRecordSamplesPerSecond = 10,
        kRecordDeflection = 11,
    };

    void updateTargetSampleCount();
    int32_t channelDeflection(int c) const;  // c: 0 channel A, 1 channel B
    int32_t rangeKey(int c) const;           // mV per division at the input
    // The samples come from the demo generator, not from a device.
    bool generatorInUse() const { return !deviceInitialized_ || demoMode_; }
    bool unchanged(bool equal) const { return equal && !forceSettings_; }
    // DeviceFunction while a device is initialised; false when it was not called
    // or the driver is not ready.
    bool call(int32_t code, intptr_t value, int32_t* result = nullptr, uint8_t* bytes = nullptr,
              uint16_t* samples = nullptr, uint8_t* status = nullptr);
    void setFlag(bool& stored, bool value, int32_t code);
    void setLevel(int32_t& stored, double millivolts, int32_t code);
    void setLoggedFlag(int channel, std::array<bool, 2>& stored, bool value, int32_t code, RecordType type);
    void setVerticalLevel(int channel, uint16_t level);
    void setProbe(int channel, int32_t probe);
    void setDensity(int channel, uint16_t density);

    void logBlock(std::initializer_list<uint16_t> values);
    void logRecord(RecordType type, uint16_t value);
    void logRecord32(uint16_t type, int32_t value);
    void logVerticalLevel(int channel);

    bool bindLibrary();
    // Runs InitializeDevice and its dialogs until a result is settled.
    void initializeDevice();
    void enterDemoMode();
    void requestTermination();
    void readVersions();
    void readSerialNumber();

    rm::SharedLibrary library_;
    InitializeDeviceProc initializeDevice_ = nullptr;
    DeviceFunctionProc deviceFunction_ = nullptr;
    std::string libraryFolder_;
    std::function<void()> terminateHandler_;
    uint8_t* deviceInfo_ = nullptr;

    std::array<uint16_t, kSettingsLogWords> log_{};
    int32_t logCount_ = 0;

    DemoSignalGenerator demo_;
    DemoSignalGenerator::Channel demoA_;
    DemoSignalGenerator::Channel demoB_;

    bool recordFree_ = false;
    bool recordTriggered_ = false;
    bool measurementStarted_ = false;
    uint32_t measurementLength_ = 0;
    bool measurementDefined_ = false;
    std::array<bool, 2> triggerSource_{};
    std::array<int32_t, 2> triggerLevel_{};
    std::array<bool, 2> triggerUnder_{};
    bool triggerRelation_ = false;
    std::array<bool, 3> armSource_{};
    std::array<int32_t, 2> armLevel_{};
    std::array<bool, 3> armUnder_{};
    std::array<uint16_t, 2> offsetCode_{};
    std::array<int32_t, 2> zero_{};
    std::array<int32_t, 2> probe_{};
    std::array<bool, 2> dc_{};
    std::array<bool, 2> ground_{};
    std::array<uint16_t, 2> density_{};
    std::array<bool, 2> deflectionDue_{};  // a probe change waits for its deflection block
    std::array<bool, 2> statusChannel_{};
    int32_t smpSetting_ = 0;

    bool setBackRequested_ = false;
    bool forceSettings_ = false;
    bool settingsToFile_ = false;
    bool deviceInitialized_ = false;
    bool deviceCalibrationOK_ = false;
    bool demoMode_ = false;
    bool terminateApplication_ = false;
    uint8_t usbFailed_ = 0;  // written by the driver library through its address
    std::string deviceSerialNumber_;
    std::string deviceDriverVersion_;
    std::string usbDriverVersion_;

    int64_t sampleCounter_ = 0;
    int64_t targetSampleCount_ = 0;
};
