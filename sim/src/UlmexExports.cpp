// The exports of libulmex.so: the USB interface library's 18 functions and
// the test control of UlmexSim.h.
#include "SimInstrument.h"
#include "UlmexSim.h"

#include <cstdint>

#define ULMEX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

ulmex::SimInstrument& sim(const char* function) {
    ulmex::SimInstrument& s = ulmex::SimInstrument::instance();
    s.countCall(function);
    return s;
}

} // namespace

ULMEX_EXPORT int32_t USBInitDevice() { return sim(__func__).initDevice(); }
ULMEX_EXPORT int32_t USBFlushBuffer() { return sim(__func__).flushBuffer(); }
ULMEX_EXPORT int32_t USBConfigureFPGA(const uint8_t* image, int32_t length) {
    return sim(__func__).configureFpga(image, length);
}
ULMEX_EXPORT int32_t USBSingleRead(int32_t reg) { return sim(__func__).singleRead(reg); }
ULMEX_EXPORT int32_t USBSingleWriteWithoutFlush(int32_t reg, int32_t value) {
    return sim(__func__).singleWrite(reg, value, false);
}
ULMEX_EXPORT int32_t USBSingleWrite(int32_t reg, int32_t value) { return sim(__func__).singleWrite(reg, value, true); }
// Block transfers the roll-mode driver does not use.
ULMEX_EXPORT int32_t USBFIFORead(uint8_t*, int32_t) {
    sim(__func__);
    return 0;
}
ULMEX_EXPORT int32_t USBFIFOWrite(const uint8_t*, int32_t) {
    sim(__func__);
    return 0;
}
ULMEX_EXPORT int32_t USBWriteToEEPROM(int32_t, int32_t) {
    sim(__func__);
    return 0;
}
ULMEX_EXPORT int32_t USBRollFIFORead(int32_t fifo, uint8_t* buffer, int32_t length) {
    return sim(__func__).rollFifoRead(fifo, buffer, length);
}
ULMEX_EXPORT int32_t USBReadFromEEPROM(int32_t address) { return sim(__func__).readEeprom(address); }
ULMEX_EXPORT int32_t USBGetDeviceID() { return sim(__func__).deviceId(); }
// A driver's teardown at process exit may come after the instrument is gone.
ULMEX_EXPORT int32_t USBSetCallBackFunction(void (*callback)(int32_t state)) {
    if (!ulmex::SimInstrument::alive())
        return 0;
    return sim(__func__).setCallback(callback);
}
ULMEX_EXPORT int32_t DeviceReady() { return sim(__func__).deviceReady(); }
ULMEX_EXPORT int32_t GetDriverVersion(uint8_t* version) { return sim(__func__).driverVersion(version); }
ULMEX_EXPORT int32_t USBCalibrateAD() { return sim(__func__).calibrateAD(); }
ULMEX_EXPORT int32_t USBEnableExternalPower(int32_t on) { return sim(__func__).enableExternalPower(on); }
ULMEX_EXPORT int32_t USBGetPowerState() { return sim(__func__).powerState(); }

// ---- test control ----

namespace {
ulmex::SimInstrument& control() { return ulmex::SimInstrument::instance(); }
} // namespace

ULMEX_EXPORT void UlmexSimReset(void) { control().reset(); }
ULMEX_EXPORT void UlmexSimSetScenario(int scenario, int count, int lostFlags) {
    control().setScenario(scenario, count, lostFlags);
}
ULMEX_EXPORT void UlmexSimSetDeviceId(int id) { control().setDeviceId(id); }
ULMEX_EXPORT void UlmexSimSetRangeDacs(int channel, int rangeIndex, int ur, int urd) {
    control().setRangeDacs(channel, rangeIndex, ur, urd);
}
ULMEX_EXPORT void UlmexSimSetSignal(int channel, double offsetMv, double amplitudeMv, double frequencyHz) {
    control().setSignal(channel, offsetMv, amplitudeMv, frequencyHz);
}
ULMEX_EXPORT void UlmexSimSetWaveform(int channel, int shape, double noiseMv) {
    control().setWaveform(channel, shape == ULMEX_TRIANGLE ? ulmex::Waveform::Triangle : ulmex::Waveform::Sine,
                          noiseMv);
}
ULMEX_EXPORT void UlmexSimUseVirtualClock(int on) { control().useVirtualClock(on != 0); }
ULMEX_EXPORT void UlmexSimAdvanceClock(double seconds) { control().advanceClock(seconds); }
ULMEX_EXPORT void UlmexSimScriptWords(const uint16_t* words, int count) { control().scriptWords(words, count); }
ULMEX_EXPORT void UlmexSimReportDeviceState(int state) { control().reportDeviceState(state); }
ULMEX_EXPORT int UlmexSimRegister(int reg) { return control().registerValue(reg); }
ULMEX_EXPORT int UlmexSimTraceCount(void) { return control().traceCount(); }
ULMEX_EXPORT int UlmexSimTraceEntry(int index, int* reg, int* value, int* immediate) {
    int r = 0, v = 0, i = 0;
    if (!control().traceEntry(index, r, v, i))
        return 0;
    if (reg)
        *reg = r;
    if (value)
        *value = v;
    if (immediate)
        *immediate = i;
    return 1;
}
ULMEX_EXPORT int UlmexSimSerialWordCount(int port) { return control().serialWordCount(port); }
ULMEX_EXPORT uint32_t UlmexSimSerialWord(int port, int index) { return control().serialWord(port, index); }
ULMEX_EXPORT int UlmexSimCallCount(const char* function) { return control().callCount(function); }
ULMEX_EXPORT int64_t UlmexSimGeneratedWordsRead(void) { return control().generatedWordsRead(); }
ULMEX_EXPORT int UlmexSimViolationCount(void) { return control().violationCount(); }
ULMEX_EXPORT const char* UlmexSimViolation(int index) { return control().violation(index); }
ULMEX_EXPORT void UlmexSimClearTrace(void) { control().clearTrace(); }
