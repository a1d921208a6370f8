/*
 * Test control of the simulated instrument (libulmex.so).
 *
 * The simulated USB interface library exports the maker's 18 functions and,
 * besides them, these functions for tests and demonstrations. A program that
 * links libulmex.so (or finds these functions with dlsym) chooses a fault
 * scenario, sets the signal of each channel, drives the sample clock and
 * inspects what the driver wrote. Every function may be called from any
 * thread. UlmexSimReset brings back a healthy instrument.
 */
#ifndef ULMEX_SIM_H
#define ULMEX_SIM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Fault scenarios. */
enum UlmexScenario {
    ULMEX_HEALTHY = 0,
    ULMEX_NOT_PRESENT = 1,         /* USBInitDevice answers 1 */
    ULMEX_NOT_POWERED = 2,         /* USBGetPowerState answers 0 */
    ULMEX_BROKEN_PAGE = 3,         /* the calibration page fails its checksum */
    ULMEX_BROKEN_EXTENSION = 4,    /* the extension block fails its sum */
    ULMEX_EXTENSION_TOO_SMALL = 5, /* EXTENSION_SIZE of 100 bytes, with a valid sum */
    ULMEX_SERIAL_STUCK = 6,        /* status bits 0x400/0x800 stay clear after `count` serial words */
    ULMEX_FPGA_REJECTED = 7,       /* the FPGA never starts: status reads 0, no samples */
    ULMEX_LOST_AFTER_READS = 8,    /* the device is lost after `count` roll-FIFO reads */
    ULMEX_UNKNOWN_DEVICE_ID = 9    /* USBGetDeviceID answers 7 */
};

/* How a lost device shows (ULMEX_LOST_AFTER_READS): */
#define ULMEX_LOST_BLOCK 1    /* every later FIFO read is all 0xFFFF */
#define ULMEX_LOST_CALLBACK 2 /* the device-state callback is called with 0 once */

/* A healthy device (identifier 1), real-time clock, both signals 0 mV (sines,
 * no noise), the built-in calibration, empty trace, no violations, no scripted
 * words. Until the first reset the inputs carry a signal to look at: on A a
 * sine of 1500 mV about -2000 mV at 0.2 Hz, on B a triangle of 1500 mV about
 * -3000 mV at 0.1 Hz, each with noise of up to 40 mV either way. */
void UlmexSimReset(void);
/* `count` and `lostFlags` matter for the scenarios that name them. */
void UlmexSimSetScenario(int scenario, int count, int lostFlags);
void UlmexSimSetDeviceId(int id);
/* Replaces the range DAC values of one channel (0 = A, 1 = B) and range index
 * (0..8) in the EEPROM image; the checksums are made anew. */
void UlmexSimSetRangeDacs(int channel, int rangeIndex, int ur, int urd);

/* The signal of a channel at the instrument's input connector, in millivolts:
 * offset + amplitude * sin(2 pi frequency t), t counted from the start of the
 * measurement. It is turned into sample codes through the same calibration
 * the driver reads, so 0 V lands on the driver's zero level. */
void UlmexSimSetSignal(int channel, double offsetMv, double amplitudeMv, double frequencyHz);
/* The shape of that signal (ULMEX_SINE, or ULMEX_TRIANGLE: from -amplitude up
 * to +amplitude and down again once per period) and uniform noise of up to
 * `noiseMv` millivolts either way added to it. */
enum { ULMEX_SINE = 0, ULMEX_TRIANGLE = 1 };
void UlmexSimSetWaveform(int channel, int shape, double noiseMv);
/* The sample clock: real time (default) or a virtual clock that moves only by
 * UlmexSimAdvanceClock. */
void UlmexSimUseVirtualClock(int on);
void UlmexSimAdvanceClock(double seconds);
/* Raw words that the next roll-FIFO reads return instead of the generator,
 * 32,768 per read (a shorter rest is padded with 0x0000). */
void UlmexSimScriptWords(const uint16_t* words, int count);

/* Calls the device-state callback the driver registered: 1 present, 0 lost. */
void UlmexSimReportDeviceState(int state);

/* The last value written to a register (the status register 1 is not stored). */
int UlmexSimRegister(int reg);
/* Every register write in order: `immediate` 1 for USBSingleWrite, 0 for a
 * buffered write. Returns 0 when `index` is past the end. */
int UlmexSimTraceCount(void);
int UlmexSimTraceEntry(int index, int* reg, int* value, int* immediate);
/* The 32-bit serial words sent through register pair 8/9 (port 8) or 10/11 (port 10). */
int UlmexSimSerialWordCount(int port);
uint32_t UlmexSimSerialWord(int port, int index);
/* How often one of the 18 functions was called, by its name. */
int UlmexSimCallCount(const char* function);
/* The words (samples and overrun marks) that roll-FIFO reads took from the
 * generator since the reset; scripted words are not counted. */
int64_t UlmexSimGeneratedWordsRead(void);
/* Protocol violations seen, in order (for example a serial word written while
 * its port was busy); the text stays valid until the next reset or clear. */
int UlmexSimViolationCount(void);
const char* UlmexSimViolation(int index);
/* Forgets the trace, the serial words, the call counts and the violations. */
void UlmexSimClearTrace(void);

#ifdef __cplusplus
}
#endif

#endif /* ULMEX_SIM_H */
