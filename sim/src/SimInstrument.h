#pragma once

// The simulated instrument behind the USB interface library's functions:
// registers, serial ports, EEPROM, FPGA, roll FIFO, fault scenarios, and the
// trace and protocol violations that tests inspect. One instance per
// process; every public function takes the lock.

#include "RollFifo.h"
#include "SimCalibration.h"
#include "UlmexSim.h"

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace ulmex {

using DeviceStateCallback = void (*)(int32_t state);

class SimInstrument {
public:
    static SimInstrument& instance();
    // False once the library's instrument has been freed (unloading, exit).
    static bool alive();

    // --- the USB interface library ---
    int32_t initDevice();
    int32_t flushBuffer();
    int32_t configureFpga(const uint8_t* image, int32_t length);
    int32_t singleRead(int32_t reg);
    int32_t singleWrite(int32_t reg, int32_t value, bool immediate);
    int32_t rollFifoRead(int32_t fifo, uint8_t* buffer, int32_t length);
    int32_t readEeprom(int32_t address);
    int32_t deviceId();
    int32_t setCallback(DeviceStateCallback callback);
    int32_t deviceReady();
    int32_t driverVersion(uint8_t* version);
    int32_t calibrateAD();
    int32_t enableExternalPower(int32_t on);
    int32_t powerState();
    void countCall(const char* function);

    // --- test control ---
    void reset();
    void setScenario(int scenario, int count, int lostFlags);
    void setDeviceId(int id);
    void setRangeDacs(int channel, int rangeIndex, int ur, int urd);
    void setSignal(int channel, double offsetMv, double amplitudeMv, double frequencyHz);
    void setWaveform(int channel, Waveform shape, double noiseMv);
    void useVirtualClock(bool on);
    void advanceClock(double seconds);
    void scriptWords(const uint16_t* words, int count);
    void reportDeviceState(int state);
    int registerValue(int reg);
    int traceCount();
    bool traceEntry(int index, int& reg, int& value, int& immediate);
    int serialWordCount(int port);
    uint32_t serialWord(int port, int index);
    int callCount(const char* function);
    int64_t generatedWordsRead();
    int violationCount();
    const char* violation(int index);
    void clearTrace();

private:
    SimInstrument();
    struct TraceEntry {
        int reg;
        int value;
        bool immediate;
    };
    struct SerialPort {
        int lowRegister;
        int32_t readyBit;
        int busyReads = 0;
        std::vector<uint32_t> words;
    };

    void resetLocked();
    void rebuildEeprom();
    void violate(std::string text);
    void applyWrite(int reg, int value);
    void sendSerialWord(SerialPort& port, uint32_t word);
    bool portReady(const SerialPort& port) const;
    int64_t nowNs() const;
    int32_t samplesPerSecond() const;
    void fillInputs(ChannelInput (&inputs)[2]) const;

    std::recursive_mutex lock_;
    int scenario_ = ULMEX_HEALTHY;
    int faultCount_ = 0;
    int lostFlags_ = 0;
    int deviceId_ = 1;
    bool opened_ = false;
    bool powered_ = false;
    bool fpgaRunning_ = false;
    bool lost_ = false;
    int fifoReads_ = 0;
    int64_t generatedWordsRead_ = 0;  // words the generator's FIFO handed out
    int serialWordsSent_ = 0;
    DeviceStateCallback callback_ = nullptr;

    SimCalibration calibration_;
    std::array<int, 16> registers_{};
    std::vector<std::pair<int, int>> pending_; // buffered writes until the flush
    std::array<SerialPort, 2> ports_{SerialPort{8, 0x400, 0, {}}, SerialPort{10, 0x800, 0, {}}};
    std::array<uint32_t, 2> rangeDacWord_{};   // last range DAC word per channel
    std::array<int32_t, 2> offsetCode_{2048, 2048};

    bool virtualClock_ = false;
    int64_t virtualNs_ = 0;
    RollFifo fifo_;
    ChannelInput signal_[2];
    std::vector<uint16_t> script_;
    size_t scriptPos_ = 0;

    std::vector<TraceEntry> trace_;
    std::map<std::string, int> calls_;
    std::vector<std::string> violations_;
};

} // namespace ulmex
