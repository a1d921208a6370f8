#pragma once

#include <cstdint>

// What the stand-in driver library records and answers; the tests reach it
// through the library's FakeDriverState export.
struct FakeDriverCall {
    int32_t code;
    intptr_t value;
};

struct FakeDriverState {
    // InitializeDevice answers these in turn, then 0.
    int32_t initResults[8];
    int32_t initResultCount;
    int32_t initCalls;
    int32_t deviceId;

    FakeDriverCall calls[512];
    int32_t callCount;

    uint8_t* usbFailed;       // the address code 1 registered
    int32_t offsetAnswer;     // code 10, 11
    int32_t zeroAnswer;       // code 12, 13; -1 answers nothing (device lost)
    int32_t serialNumber;     // code 35
    uint8_t usbVersion[2];    // code 3
    int32_t blockWords;       // code 14: words delivered, each 0x8181
    uint8_t blockStatus;
};

using FakeDriverStateProc = FakeDriverState* (*)();
