#pragma once

#include "FakeDriverState.h"
#include "ProgramFolder.h"
#include "SharedLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// Keeps the stand-in driver library loaded, so its recorded calls outlive the
// component's ReleaseLibrary, and starts each test from a clean state.
class FakeDriver {
public:
    static std::string folder() { return rm::programFolder() + "/fakedriver"; }

    FakeDriver() {
        EXPECT_TRUE(library_.open(folder() + "/libquorvrmdrv.so")) << library_.lastError();
        state_ = reinterpret_cast<FakeDriverStateProc>(library_.symbol("FakeDriverStateOf"))();
        std::memset(state_, 0, sizeof *state_);
        state_->zeroAnswer = 128;
        state_->usbVersion[0] = 2;
        state_->usbVersion[1] = 5;
    }

    FakeDriverState& state() { return *state_; }

    std::vector<FakeDriverCall> calls() const {
        return {state_->calls, state_->calls + state_->callCount};
    }
    std::vector<FakeDriverCall> callsOf(int32_t code) const {
        std::vector<FakeDriverCall> out;
        for (const auto& c : calls())
            if (c.code == code)
                out.push_back(c);
        return out;
    }
    void forgetCalls() { state_->callCount = 0; }

private:
    rm::SharedLibrary library_;
    FakeDriverState* state_ = nullptr;
};
