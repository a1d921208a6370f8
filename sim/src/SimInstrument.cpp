#include "SimInstrument.h"

#include "FpgaImage.h"
#include "InputRanges.h"
#include "RateTables.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

namespace ulmex {

namespace {

constexpr int32_t kStatusRegister = 1;
constexpr int kBusyStatusReads = 2; // a port reads busy this often after each word
constexpr int32_t kUnknownDeviceId = 7;
constexpr int kRawBlockBytes = 65536;
constexpr uint8_t kUsbLibraryVersion[2] = {3, 2};

bool knownRegister(int reg) {
    return reg == 2 || reg == 3 || (reg >= 8 && reg <= 12) || reg == 15;
}

std::string hex(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

EepromFault eepromFaultOf(int scenario) {
    switch (scenario) {
    case ULMEX_BROKEN_PAGE: return EepromFault::BrokenPage;
    case ULMEX_BROKEN_EXTENSION: return EepromFault::BrokenExtension;
    case ULMEX_EXTENSION_TOO_SMALL: return EepromFault::ExtensionTooSmall;
    default: return EepromFault::None;
    }
}

} // namespace

namespace {
// Set once the instrument is gone; a plain flag stays readable after that.
std::atomic<bool> gFreed{false};
} // namespace

SimInstrument& SimInstrument::instance() {
    static SimInstrument* const sim = new SimInstrument;
    return *sim;
}

bool SimInstrument::alive() { return !gFreed.load(); }

// The instrument goes with the library (unloading, or the end of the
// process). A driver library still loaded at process exit may call in from
// its own destructor afterwards: the exports it calls then look at alive().
__attribute__((destructor)) static void freeInstrument() {
    gFreed = true;
    delete &SimInstrument::instance();
}

// A program that loads the library gets an instrument with something on its
// inputs, below 0 V so that it shows whether the recorder's levels put 0 V at
// the top of the screen or in its middle: on A a sine of 1.5 V about -2 V at
// 0.2 Hz, on B a triangle of 1.5 V about -3 V at 0.1 Hz, both with a little
// noise. A reset (tests) makes the inputs quiet.
SimInstrument::SimInstrument() {
    resetLocked();
    signal_[0].offsetMv = -2000;
    signal_[0].amplitudeMv = 1500;
    signal_[0].frequencyHz = 0.2;
    signal_[0].noiseMv = 40;
    signal_[1].offsetMv = -3000;
    signal_[1].amplitudeMv = 1500;
    signal_[1].frequencyHz = 0.1;
    signal_[1].shape = Waveform::Triangle;
    signal_[1].noiseMv = 40;
}

// ---------------------------------------------------------------- helpers

void SimInstrument::violate(std::string text) { violations_.push_back(std::move(text)); }

int64_t SimInstrument::nowNs() const {
    if (virtualClock_)
        return virtualNs_;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int32_t SimInstrument::samplesPerSecond() const {
    const int index = registers_[3] & 0x7FFF; // counted from the fastest rate
    return rm::kSamplesPerSecondTable[rm::clampSmpIndex(15 - index)];
}

bool SimInstrument::portReady(const SerialPort& port) const {
    if (!fpgaRunning_)
        return false;
    if (scenario_ == ULMEX_SERIAL_STUCK && serialWordsSent_ >= faultCount_)
        return false;
    return port.busyReads == 0;
}

// Range, coupling, probe group and offset of each channel as the registers
// and range DACs have them now.
void SimInstrument::fillInputs(ChannelInput (&inputs)[2]) const {
    for (int c = 0; c < 2; ++c) {
        const int field = (registers_[15] >> (7 * c)) & 0x7F;
        const auto code = std::find(qrv::RangeCodeTable.begin(), qrv::RangeCodeTable.end(), field & 0x1F);
        const int r = code == qrv::RangeCodeTable.end() ? qrv::kRangeCount - 1
                                                        : static_cast<int>(code - qrv::RangeCodeTable.begin());
        const uint32_t urdWord = (static_cast<uint32_t>(calibration_.ranges()[r].URD[c]) * 128) | 0x3007F |
                                 (c == 0 ? 0x80000 : 0);
        const int probeGroup = rangeDacWord_[c] == urdWord ? 1 : 0;
        inputs[c] = signal_[c];
        inputs[c].ac = (field & 0x20) != 0;
        inputs[c].zeroLevel =
            calibration_.offsets().offsetCodeToLevel(qrv::calibrationIndex(c, probeGroup, r), offsetCode_[c]);
        inputs[c].millivoltsPerCode = qrv::millivoltsPerCode(qrv::RangeKeyTable[r], 0);
    }
}

void SimInstrument::rebuildEeprom() { calibration_.build(eepromFaultOf(scenario_)); }

// ---------------------------------------------------------------- registers

void SimInstrument::sendSerialWord(SerialPort& port, uint32_t word) {
    if (!portReady(port))
        violate("serial word " + hex(static_cast<int>(word)) + " sent to register " +
                std::to_string(port.lowRegister) + " while its port was busy");
    port.words.push_back(word);
    port.busyReads = kBusyStatusReads;
    ++serialWordsSent_;
    if (port.lowRegister != 8)
        return;
    // Range DAC words: channel A carries bit 19, both carry 0x3007F.
    if ((word & 0x3007F) == 0x3007F)
        rangeDacWord_[(word & 0x80000) ? 0 : 1] = word;
}

void SimInstrument::applyWrite(int reg, int value) {
    if (value < 0 || value > 0xFFFF)
        violate("value " + std::to_string(value) + " for register " + std::to_string(reg) + " is not 16 bits");
    if (!knownRegister(reg)) {
        violate("write to unknown register " + std::to_string(reg));
        return;
    }
    const int previous = registers_[reg];
    registers_[reg] = value & 0xFFFF;
    if (reg == 12) {
        offsetCode_[(value & 0x8000) ? 1 : 0] = 4095 - (value & 0x0FFF);
    } else if (reg == 3) {
        ChannelInput inputs[2];
        fillInputs(inputs);
        const bool run = (value & 0x8000) != 0;
        if (run && !(previous & 0x8000))
            fifo_.start(nowNs(), samplesPerSecond());
        else if (!run && (previous & 0x8000))
            fifo_.stop();
        else
            fifo_.changeRate(nowNs(), samplesPerSecond(), inputs);
    }
}

// ---------------------------------------------------------------- USB library

int32_t SimInstrument::initDevice() {
    std::lock_guard guard(lock_);
    if (scenario_ == ULMEX_NOT_PRESENT)
        return 1;
    opened_ = true;
    return 0;
}

int32_t SimInstrument::enableExternalPower(int32_t on) {
    std::lock_guard guard(lock_);
    if (!opened_)
        violate("USBEnableExternalPower before USBInitDevice");
    powered_ = on != 0 && scenario_ != ULMEX_NOT_POWERED;
    return 1;
}

int32_t SimInstrument::powerState() {
    std::lock_guard guard(lock_);
    return powered_ ? 1 : 0;
}

int32_t SimInstrument::deviceId() {
    std::lock_guard guard(lock_);
    return scenario_ == ULMEX_UNKNOWN_DEVICE_ID ? kUnknownDeviceId : deviceId_;
}

int32_t SimInstrument::configureFpga(const uint8_t* image, int32_t length) {
    std::lock_guard guard(lock_);
    if (!powered_)
        violate("USBConfigureFPGA without power");
    if (length != qrv::kFpgaImageSize)
        violate("FPGA image of " + std::to_string(length) + " bytes");
    else if (!qrv::isValidFpgaImage(image, static_cast<size_t>(length)))
        violate("FPGA image with a wrong header or CRC");
    fpgaRunning_ = powered_ && scenario_ != ULMEX_FPGA_REJECTED && qrv::isValidFpgaImage(image, length);
    return fpgaRunning_ ? 1 : 0;
}

int32_t SimInstrument::singleRead(int32_t reg) {
    std::lock_guard guard(lock_);
    if (reg != kStatusRegister)
        return fpgaRunning_ && reg >= 0 && reg < 16 ? registers_[reg] : 0;
    int32_t status = 0;
    for (SerialPort& port : ports_) {
        if (portReady(port))
            status |= port.readyBit;
        if (port.busyReads > 0)
            --port.busyReads;
    }
    return status;
}

int32_t SimInstrument::singleWrite(int32_t reg, int32_t value, bool immediate) {
    std::lock_guard guard(lock_);
    trace_.push_back({reg, value, immediate});
    if (!fpgaRunning_)
        violate("register " + std::to_string(reg) + " written while the FPGA is not running");
    if (!immediate) {
        pending_.emplace_back(reg, value);
        return 1;
    }
    if (!pending_.empty())
        violate("register " + std::to_string(reg) + " written while buffered writes wait for a flush");
    if (reg >= 8 && reg <= 11)
        violate("serial register " + std::to_string(reg) + " written without buffering");
    applyWrite(reg, value);
    return 1;
}

// Buffered writes take effect here; a serial word is the pair low, high.
int32_t SimInstrument::flushBuffer() {
    std::lock_guard guard(lock_);
    for (size_t i = 0; i < pending_.size(); ++i) {
        const auto [reg, value] = pending_[i];
        SerialPort* port = reg == 8 ? &ports_[0] : reg == 10 ? &ports_[1] : nullptr;
        if (port && i + 1 < pending_.size() && pending_[i + 1].first == reg + 1) {
            registers_[reg] = value & 0xFFFF;
            registers_[reg + 1] = pending_[i + 1].second & 0xFFFF;
            sendSerialWord(*port, (static_cast<uint32_t>(pending_[i + 1].second & 0xFFFF) << 16) |
                                      static_cast<uint32_t>(value & 0xFFFF));
            ++i;
        } else if (reg >= 8 && reg <= 11) {
            violate("half a serial word in register " + std::to_string(reg));
        } else {
            applyWrite(reg, value);
        }
    }
    pending_.clear();
    return 1;
}

int32_t SimInstrument::rollFifoRead(int32_t fifo, uint8_t* buffer, int32_t length) {
    std::lock_guard guard(lock_);
    if (fifo != 7 || length != kRawBlockBytes || !buffer) {
        violate("USBRollFIFORead(" + std::to_string(fifo) + ", " + std::to_string(length) + ")");
        return 0;
    }
    if (!pending_.empty())
        violate("roll FIFO read while buffered writes wait for a flush");
    auto* words = reinterpret_cast<uint16_t*>(buffer);
    const int count = kRawBlockBytes / 2;
    int filled = 0;  // the words the block holds; the rest of it reads 0x0000
    if (scenario_ == ULMEX_LOST_AFTER_READS && fifoReads_ >= faultCount_) {
        if (!lost_ && (lostFlags_ & ULMEX_LOST_CALLBACK) && callback_)
            callback_(0);
        lost_ = true;
        if (lostFlags_ & ULMEX_LOST_BLOCK) {
            std::fill(words, words + count, 0xFFFF);
            filled = count;
        }
    } else {
        ++fifoReads_;
        if (scriptPos_ < script_.size()) {
            const size_t n = std::min<size_t>(count, script_.size() - scriptPos_);
            std::copy_n(script_.begin() + static_cast<std::ptrdiff_t>(scriptPos_), n, words);
            scriptPos_ += n;
            filled = static_cast<int>(n);
        } else if (fpgaRunning_) {
            ChannelInput inputs[2];
            fillInputs(inputs);
            filled = fifo_.read(words, count, nowNs(), inputs);
            generatedWordsRead_ += filled;
        }
    }
    std::fill(words + filled, words + count, 0);
    return 1;
}

int32_t SimInstrument::readEeprom(int32_t address) {
    std::lock_guard guard(lock_);
    uint8_t byte = 0xFF;
    if (!opened_)
        violate("EEPROM read before USBInitDevice");
    if (!calibration_.readByte(address, byte))
        violate("EEPROM address " + std::to_string(address) + " does not exist");
    return byte;
}

int32_t SimInstrument::setCallback(DeviceStateCallback callback) {
    std::lock_guard guard(lock_);
    callback_ = callback;
    return 1;
}

int32_t SimInstrument::deviceReady() {
    std::lock_guard guard(lock_);
    return opened_ && !lost_ ? 1 : 0;
}

int32_t SimInstrument::driverVersion(uint8_t* version) {
    if (version)
        std::memcpy(version, kUsbLibraryVersion, sizeof kUsbLibraryVersion);
    return 1;
}

int32_t SimInstrument::calibrateAD() {
    std::lock_guard guard(lock_);
    if (!fpgaRunning_)
        violate("USBCalibrateAD while the FPGA is not running");
    return 1;
}

void SimInstrument::countCall(const char* function) {
    std::lock_guard guard(lock_);
    ++calls_[function];
}

// ---------------------------------------------------------------- test control

void SimInstrument::resetLocked() {
    scenario_ = ULMEX_HEALTHY;
    faultCount_ = 0;
    lostFlags_ = 0;
    deviceId_ = 1;
    opened_ = powered_ = fpgaRunning_ = lost_ = false;
    fifoReads_ = 0;
    generatedWordsRead_ = 0;
    serialWordsSent_ = 0;
    callback_ = nullptr;
    calibration_ = SimCalibration();
    registers_.fill(0);
    pending_.clear();
    for (SerialPort& port : ports_) {
        port.busyReads = 0;
        port.words.clear();
    }
    rangeDacWord_.fill(0);
    offsetCode_ = {2048, 2048};
    virtualClock_ = false;
    virtualNs_ = 0;
    fifo_ = RollFifo();
    signal_[0] = signal_[1] = ChannelInput{};
    script_.clear();
    scriptPos_ = 0;
    trace_.clear();
    calls_.clear();
    violations_.clear();
}

void SimInstrument::reset() {
    std::lock_guard guard(lock_);
    resetLocked();
}

void SimInstrument::setScenario(int scenario, int count, int lostFlags) {
    std::lock_guard guard(lock_);
    scenario_ = scenario;
    faultCount_ = count;
    lostFlags_ = lostFlags;
    rebuildEeprom();
}

void SimInstrument::setDeviceId(int id) {
    std::lock_guard guard(lock_);
    deviceId_ = id;
}

void SimInstrument::setRangeDacs(int channel, int rangeIndex, int ur, int urd) {
    std::lock_guard guard(lock_);
    if (channel < 0 || channel > 1 || rangeIndex < 0 || rangeIndex >= qrv::kRangeCount)
        return;
    calibration_.setRangeDacs(channel, rangeIndex, ur, urd);
    rebuildEeprom();
}

void SimInstrument::setSignal(int channel, double offsetMv, double amplitudeMv, double frequencyHz) {
    std::lock_guard guard(lock_);
    if (channel < 0 || channel > 1)
        return;
    signal_[channel].offsetMv = offsetMv;
    signal_[channel].amplitudeMv = amplitudeMv;
    signal_[channel].frequencyHz = frequencyHz;
}

void SimInstrument::setWaveform(int channel, Waveform shape, double noiseMv) {
    std::lock_guard guard(lock_);
    if (channel < 0 || channel > 1)
        return;
    signal_[channel].shape = shape;
    signal_[channel].noiseMv = std::max(noiseMv, 0.0);
}

void SimInstrument::useVirtualClock(bool on) {
    std::lock_guard guard(lock_);
    virtualClock_ = on;
}

void SimInstrument::advanceClock(double seconds) {
    std::lock_guard guard(lock_);
    virtualNs_ += static_cast<int64_t>(seconds * 1e9);
}

void SimInstrument::scriptWords(const uint16_t* words, int count) {
    std::lock_guard guard(lock_);
    script_.erase(script_.begin(), script_.begin() + static_cast<std::ptrdiff_t>(scriptPos_));
    scriptPos_ = 0;
    if (words && count > 0)
        script_.insert(script_.end(), words, words + count);
}

void SimInstrument::reportDeviceState(int state) {
    std::lock_guard guard(lock_);
    if (callback_)
        callback_(state);
}

int SimInstrument::registerValue(int reg) {
    std::lock_guard guard(lock_);
    return reg >= 0 && reg < static_cast<int>(registers_.size()) ? registers_[reg] : 0;
}

int SimInstrument::traceCount() {
    std::lock_guard guard(lock_);
    return static_cast<int>(trace_.size());
}

bool SimInstrument::traceEntry(int index, int& reg, int& value, int& immediate) {
    std::lock_guard guard(lock_);
    if (index < 0 || index >= static_cast<int>(trace_.size()))
        return false;
    reg = trace_[index].reg;
    value = trace_[index].value;
    immediate = trace_[index].immediate ? 1 : 0;
    return true;
}

int SimInstrument::serialWordCount(int port) {
    std::lock_guard guard(lock_);
    for (const SerialPort& p : ports_)
        if (p.lowRegister == port)
            return static_cast<int>(p.words.size());
    return 0;
}

uint32_t SimInstrument::serialWord(int port, int index) {
    std::lock_guard guard(lock_);
    for (const SerialPort& p : ports_)
        if (p.lowRegister == port && index >= 0 && index < static_cast<int>(p.words.size()))
            return p.words[index];
    return 0;
}

int SimInstrument::callCount(const char* function) {
    std::lock_guard guard(lock_);
    const auto it = calls_.find(function ? function : "");
    return it == calls_.end() ? 0 : it->second;
}

int64_t SimInstrument::generatedWordsRead() {
    std::lock_guard guard(lock_);
    return generatedWordsRead_;
}

int SimInstrument::violationCount() {
    std::lock_guard guard(lock_);
    return static_cast<int>(violations_.size());
}

const char* SimInstrument::violation(int index) {
    std::lock_guard guard(lock_);
    return index >= 0 && index < static_cast<int>(violations_.size()) ? violations_[index].c_str() : "";
}

void SimInstrument::clearTrace() {
    std::lock_guard guard(lock_);
    trace_.clear();
    calls_.clear();
    violations_.clear();
    for (SerialPort& port : ports_)
        port.words.clear();
}

} // namespace ulmex
