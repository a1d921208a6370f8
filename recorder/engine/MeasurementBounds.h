#pragma once

#include <cstddef>
#include <cstdint>

// Follows the parameter blocks in the words a data file receives, to know
// whether the file is inside a measurement (after its start block, before its
// stop block) and where in a run of words a measurement ends. A block never
// comes split over two runs: the settings log enters the ring as one chunk
// and the ring hands chunks out whole.
class MeasurementBounds {
public:
    struct Span {
        size_t words;          // words up to and including the first stop block, else all
        bool endsMeasurement;  // a stop block ends the span
    };

    // The words continue the stream; they are followed as far as the span
    // they begin goes, the rest is the caller's next call.
    Span follow(const uint16_t* words, size_t count);

    bool inMeasurement() const { return inMeasurement_; }
    // A file opened or created anew begins between measurements.
    void restart() { inMeasurement_ = false; }

private:
    bool inMeasurement_ = false;
};
