// Every one of the 36 codes through DeviceFunction, one after the other on one
// connection: each must touch its own setting of its own channel and write
// exactly the registers it owns, so a code routed to the wrong case shows.
#include "DriverFixture.h"

#include <functional>
#include <set>
#include <utility>
#include <vector>

namespace {

using Writes = std::vector<std::pair<int, int>>;  // register, value (immediate writes)

Writes immediateWrites() {
    Writes writes;
    for (int i = 0; i < UlmexSimTraceCount(); ++i) {
        int reg = 0, value = 0, immediate = 0;
        UlmexSimTraceEntry(i, &reg, &value, &immediate);
        if (immediate)
            writes.emplace_back(reg, value);
    }
    return writes;
}

class DispatchTest : public DriverTest {
protected:
    struct Step {
        int32_t code;
        intptr_t value;
        std::function<Writes()> writes;  // expected, computed after the call
        std::function<void(const qrv::TDriverState& before, const qrv::TDriverState& after)> check;
    };

    // Runs one code and checks what it changed; `result` starts at 77.
    void run(const Step& step) {
        SCOPED_TRACE("code " + std::to_string(step.code));
        const qrv::TDriverState before = state();
        UlmexSimClearTrace();
        result = 77;
        status = call(step.code, step.value, &result, samples.data(), bytes);
        EXPECT_EQ(immediateWrites(), step.writes());
        step.check(before, state());
        seen.insert(step.code);
    }

    static Writes none() { return {}; }
    Writes rangeRegister() const { return {{15, rangeWord()}}; }
    // Register 15 as the current ranges and couplings compose it.
    int rangeWord() const {
        int fields[2];
        for (int c = 0; c < 2; ++c) {
            const auto& ch = state().Channels[c];
            fields[c] = state().Ranges[ch.RangeIndex].RangeCode | (ch.DC ? 0 : 0x20);
        }
        return fields[0] | (fields[1] << 7) | 0x8000;
    }

    std::vector<uint16_t> samples = std::vector<uint16_t>(kSampleBlockWords);
    uint8_t bytes[2] = {0, 0};
    int32_t result = 0;
    int32_t status = 0;
    std::set<int32_t> seen;
};

void sameChannel(const qrv::TChannelState& a, const qrv::TChannelState& b) {
    EXPECT_EQ(a.RangeKey, b.RangeKey);
    EXPECT_EQ(a.RangeIndex, b.RangeIndex);
    EXPECT_EQ(a.ProbeIndex, b.ProbeIndex);
    EXPECT_EQ(a.DC, b.DC);
    EXPECT_EQ(a.Ground, b.Ground);
    EXPECT_EQ(a.OffsetCode, b.OffsetCode);
    EXPECT_EQ(a.TriggerLevel, b.TriggerLevel);
    EXPECT_EQ(a.ArmLevel, b.ArmLevel);
}

TEST_F(DispatchTest, EveryCodeChangesOnlyItsOwnSettingAndRegisters) {
    initializeOk();
    call(DensityChannelA, 1000);
    call(DensityChannelB, 1000);

    const auto flagsOnly = [](uint8_t qrv::TDriverState::*flags, uint8_t bit) {
        return [flags, bit](const qrv::TDriverState& b, const qrv::TDriverState& a) {
            EXPECT_EQ(a.*flags ^ b.*flags, bit);
            sameChannel(a.Channels[0], b.Channels[0]);
            sameChannel(a.Channels[1], b.Channels[1]);
        };
    };
    // The named field of channel `c` changed to `expected`; everything else of
    // both channels stayed.
    const auto channelField = [](int c, int32_t qrv::TChannelState::*field, int32_t expected) {
        return [=](const qrv::TDriverState& b, const qrv::TDriverState& a) {
            EXPECT_EQ(a.Channels[c].*field, expected);
            qrv::TChannelState restored = a.Channels[c];
            restored.*field = b.Channels[c].*field;
            sameChannel(restored, b.Channels[c]);
            sameChannel(a.Channels[1 - c], b.Channels[1 - c]);
        };
    };
    const auto byteField = [](int c, uint8_t qrv::TChannelState::*field, uint8_t expected) {
        return [=](const qrv::TDriverState& b, const qrv::TDriverState& a) {
            EXPECT_EQ(a.Channels[c].*field, expected);
            qrv::TChannelState restored = a.Channels[c];
            restored.*field = b.Channels[c].*field;
            sameChannel(restored, b.Channels[c]);
            sameChannel(a.Channels[1 - c], b.Channels[1 - c]);
        };
    };
    const auto nothing = [](const qrv::TDriverState& b, const qrv::TDriverState& a) {
        EXPECT_EQ(a.TriggerFlags, b.TriggerFlags);
        EXPECT_EQ(a.ArmFlags, b.ArmFlags);
        EXPECT_EQ(a.Register2, b.Register2);
        EXPECT_EQ(a.Register3, b.Register3);
        sameChannel(a.Channels[0], b.Channels[0]);
        sameChannel(a.Channels[1], b.Channels[1]);
    };
    const auto unwritten = [&](auto check) {
        return [&, check](const qrv::TDriverState& b, const qrv::TDriverState& a) {
            check(b, a);
            EXPECT_EQ(result, 77);
            EXPECT_EQ(status, 0);
        };
    };

    for (int32_t code : {int32_t{NoOperation}, 18, 23})
        run({code, 1, none, unwritten(nothing)});
    uint8_t other = 0;
    run({USBFailedAddress, reinterpret_cast<intptr_t>(&other), none, [&](auto& b, auto& a) {
             nothing(b, a);
             EXPECT_EQ(a.DeviceStateByte, &other);
         }});
    call(USBFailedAddress, reinterpret_cast<intptr_t>(&deviceLost));
    run({DeviceDriverVersion, 0, none, unwritten([&](auto& b, auto& a) {
             nothing(b, a);
             EXPECT_EQ(bytes[0], 1);
             EXPECT_EQ(bytes[1], 1);
         })});
    run({USBDriverVersion, 0, none, unwritten([&](auto& b, auto& a) {
             nothing(b, a);
             EXPECT_EQ(bytes[0], 3);
             EXPECT_EQ(bytes[1], 2);
         })});
    run({SourceProbeA, 2, [&] { return rangeRegister(); }, unwritten(channelField(0, &qrv::TChannelState::ProbeIndex, 1))});
    run({SourceProbeB, 3, [&] { return rangeRegister(); }, unwritten(channelField(1, &qrv::TChannelState::ProbeIndex, 2))});
    run({SourceACDC_A, 0, [&] { return rangeRegister(); }, unwritten(byteField(0, &qrv::TChannelState::DC, 0))});
    run({SourceACDC_B, 1, [&] { return rangeRegister(); }, unwritten(byteField(1, &qrv::TChannelState::DC, 1))});
    EXPECT_EQ(UlmexSimRegister(15) & 0x20, 0x20);     // A on AC
    EXPECT_EQ(UlmexSimRegister(15) & 0x1000, 0);      // B on DC
    run({GroundA, 1, none, unwritten(byteField(0, &qrv::TChannelState::Ground, 1))});
    run({GroundB, 1, none, unwritten(byteField(1, &qrv::TChannelState::Ground, 1))});
    call(GroundA, 0);
    call(GroundB, 0);
    // Only channel c's range key and index change.
    const auto rangeOf = [&](int c, int32_t key) {
        return [&, c, key](const qrv::TDriverState& b, const qrv::TDriverState& a) {
            EXPECT_EQ(a.Channels[c].RangeKey, key);
            EXPECT_EQ(a.Channels[c].RangeIndex, qrv::rangeIndexOfKey(key));
            qrv::TChannelState restored = a.Channels[c];
            restored.RangeKey = b.Channels[c].RangeKey;
            restored.RangeIndex = b.Channels[c].RangeIndex;
            sameChannel(restored, b.Channels[c]);
            sameChannel(a.Channels[1 - c], b.Channels[1 - c]);
            EXPECT_NE(result, 77);
        };
    };
    run({DensityChannelA, 200, [&] { return rangeRegister(); }, rangeOf(0, 200)});
    run({DensityChannelB, 50, [&] { return rangeRegister(); }, rangeOf(1, 50)});
    run({VerticalLevelChannelA, 1000, [] { return Writes{{12, 4095 - 1000}}; }, [&](auto& b, auto& a) {
             channelField(0, &qrv::TChannelState::OffsetCode, 1000)(b, a);
             EXPECT_EQ(result, a.Channels[0].ZeroLevel);
         }});
    run({VerticalLevelChannelB, 1000, [] { return Writes{{12, 0x8000 | (4095 - 1000)}}; }, [&](auto& b, auto& a) {
             channelField(1, &qrv::TChannelState::OffsetCode, 1000)(b, a);
             EXPECT_EQ(result, a.Channels[1].ZeroLevel);
         }});
    run({SampleData, 0, none, [&](auto& b, auto& a) {
             nothing(b, a);
             EXPECT_EQ(result, 0);  // nothing running: no words
             EXPECT_EQ(status, 0);
         }});
    run({SMPSetting, 5, [] { return Writes{{3, 5}}; }, unwritten([](auto&, auto& a) { EXPECT_EQ(a.Register3, 5); })});
    run({TriggerSourceA, 1, none, unwritten(flagsOnly(&qrv::TDriverState::TriggerFlags, qrv::kTriggerSourceA))});
    run({TriggerSourceB, 1, none, unwritten(flagsOnly(&qrv::TDriverState::TriggerFlags, qrv::kTriggerSourceB))});
    run({TriggerLevelA, 300, none, unwritten(channelField(0, &qrv::TChannelState::TriggerLevel, 300))});
    run({TriggerLevelB, -400, none, unwritten(channelField(1, &qrv::TChannelState::TriggerLevel, -400))});
    run({TriggerUnderA, 1, none, unwritten(flagsOnly(&qrv::TDriverState::TriggerFlags, qrv::kTriggerUnderA))});
    run({TriggerUnderB, 1, none, unwritten(flagsOnly(&qrv::TDriverState::TriggerFlags, qrv::kTriggerUnderB))});
    run({ARMSourceA, 1, none, unwritten(flagsOnly(&qrv::TDriverState::ArmFlags, qrv::kArmSourceA))});
    run({ARMSourceB, 1, none, unwritten(flagsOnly(&qrv::TDriverState::ArmFlags, qrv::kArmSourceB))});
    run({ARMSourceExternal, 1, [] { return Writes{{2, 0x24}}; },
         unwritten(flagsOnly(&qrv::TDriverState::ArmFlags, qrv::kArmSourceExternal))});
    run({ARMLevelA, 120, none, unwritten(channelField(0, &qrv::TChannelState::ArmLevel, 120))});
    run({ARMLevelB, 130, none, unwritten(channelField(1, &qrv::TChannelState::ArmLevel, 130))});
    run({ARMUnderA, 1, none, unwritten(flagsOnly(&qrv::TDriverState::ArmFlags, qrv::kArmUnderA))});
    run({ARMUnderB, 1, none, unwritten(flagsOnly(&qrv::TDriverState::ArmFlags, qrv::kArmUnderB))});
    run({ARMUnderExternal, 1, [] { return Writes{{2, 0x24}}; },
         unwritten(flagsOnly(&qrv::TDriverState::ArmFlags, qrv::kArmUnderExternal))});
    run({RecordFree, 0, none, unwritten([&](auto& b, auto& a) {
             nothing(b, a);
             EXPECT_EQ(a.RecordFree, 0);
             EXPECT_EQ(b.RecordFree, 1);
         })});
    run({TriggerRelation, 1, none, unwritten([&](auto& b, auto& a) {
             nothing(b, a);
             EXPECT_EQ(a.TriggerRelation, 1);
         })});
    run({DeviceSerialNumber, 0, none, [&](auto& b, auto& a) {
             nothing(b, a);
             EXPECT_EQ(result, 0);
         }});
    run({MeasurementStarted, 1, [] { return Writes{{3, 0x8005}}; }, unwritten([](auto&, auto& a) {
             EXPECT_EQ(a.Running, 1);
             EXPECT_EQ(UlmexSimCallCount("USBCalibrateAD"), 1);
         })});
    run({MeasurementStarted, 0, [] { return Writes{{3, 5}}; },
         unwritten([](auto&, auto& a) { EXPECT_EQ(a.Running, 0); })});

    EXPECT_EQ(seen.size(), 36u);
    EXPECT_EQ(UlmexSimViolationCount(), 0);
}

} // namespace
