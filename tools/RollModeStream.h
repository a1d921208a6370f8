#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace rm {

// Builds the word stream of a roll-mode data file the way the recorder
// writes it: a measurement starts with its settings header, samples follow,
// settings changes and overrun marks come between them, and a stop block
// ends it. Used to make test and benchmark files (SampleRecording.h makes
// whole realistic recordings with it).
class RollModeStream {
public:
    struct Settings {
        uint32_t samplesPerSecond = 1000000;
        uint32_t deflectionA = 1000;  // mV per division
        uint32_t deflectionB = 2000;
        uint16_t zeroA = 128;         // sample code of 0 V
        uint16_t zeroB = 100;
        uint16_t probeA = 1;          // 1..4: 1:1 .. 1:1000
        uint16_t probeB = 2;
    };

    // [0, 4, 1, 1] and the settings header (blocks 2 to 12).
    void StartMeasurement(const Settings& settings);
    void StopMeasurement();
    void Block(uint16_t type, std::initializer_list<uint16_t> values);
    void SamplesPerSecond(uint32_t rate);
    void Marker(uint16_t type);
    // `count` sample words from a fixed pseudo-random sequence (never a
    // control word).
    void Samples(int64_t count);
    void Sample(uint16_t word) { words_.push_back(word); }
    void Raw(std::initializer_list<uint16_t> words);

    std::vector<uint16_t>& Words() { return words_; }
    // Every sample word of the stream in order (what the viewer numbers).
    std::vector<uint16_t> SampleWords() const;

    // Appends the words to `file` and empties the stream.
    bool AppendTo(std::FILE* file);
    bool WriteFile(const std::string& path) const;

private:
    std::vector<uint16_t> words_;
    uint64_t random_ = 0x9E3779B97F4A7C15ull;
};

} // namespace rm
