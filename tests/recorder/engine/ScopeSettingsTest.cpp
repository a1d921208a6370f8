#include "FakeValueLabel.h"
#include "VirtualScopeVornRM.h"

#include <gtest/gtest.h>

#include <future>
#include <string>

namespace {

TEST(ScopeSettings, DensityIsHeldToItsSteps) {
    TVirtualScopeVornRM scope;
    EXPECT_EQ(scope.DensityChannelA(), 7);
    scope.SetDensityChannelA(0);
    EXPECT_EQ(scope.DensityChannelA(), 1);
    scope.SetDensityChannelA(12);
    EXPECT_EQ(scope.DensityChannelA(), 9);
    scope.SetDensityChannelB(-3);
    EXPECT_EQ(scope.DensityChannelB(), 1);
}

TEST(ScopeSettings, VerticalLevelRefusesValuesOutsideItsRange) {
    TVirtualScopeVornRM scope;
    EXPECT_EQ(scope.VerticalLevelChannelB(), 1433);
    scope.SetVerticalLevelChannelB(0);
    scope.SetVerticalLevelChannelB(4096);
    scope.SetVerticalLevelChannelB(-1);
    EXPECT_EQ(scope.VerticalLevelChannelB(), 1433);
    scope.SetVerticalLevelChannelB(4095);
    EXPECT_EQ(scope.VerticalLevelChannelB(), 4095);
}

TEST(ScopeSettings, ScaledLevelMapsSliderPixelsAndIgnoresOthers) {
    TVirtualScopeVornRM scope;
    scope.SetMaxChannelA(217);
    scope.SetVerticalLevelChannelA(2094);
    EXPECT_EQ(scope.ScaledLevelChannelA(), 2094 * 217 / 4096);

    scope.SetScaledLevelChannelA(218);
    scope.SetScaledLevelChannelA(-1);
    EXPECT_EQ(scope.VerticalLevelChannelA(), 2094);
    scope.SetScaledLevelChannelA(217);
    EXPECT_EQ(scope.VerticalLevelChannelA(), 4095);
    scope.SetScaledLevelChannelA(0);
    EXPECT_EQ(scope.VerticalLevelChannelA(), 0);
}

TEST(ScopeSettings, SliderHeightOfZeroCannotDivideByZero) {
    TVirtualScopeVornRM scope;
    scope.SetMaxChannelB(0);
    EXPECT_EQ(scope.MaxChannelB(), 1);
    scope.SetScaledLevelChannelB(1);
    EXPECT_EQ(scope.VerticalLevelChannelB(), 4095);
    EXPECT_EQ(scope.ScaledLevelChannelB(), 0);
}

TEST(ScopeSettings, SamplingRateAndTimeBaseRaiseEachOtherAndStayInTheirTables) {
    TVirtualScopeVornRM scope;
    scope.SetDSPSetting(1);
    scope.SetSMPSetting(0);
    EXPECT_EQ(scope.DSPSetting(), 3);

    scope.SetSMPSetting(2);
    scope.SetDSPSetting(0);
    EXPECT_EQ(scope.SMPSetting(), 3);

    scope.SetSMPSetting(99);
    EXPECT_EQ(scope.SMPSetting(), 15);
    scope.SetSMPSetting(-4);
    EXPECT_EQ(scope.SMPSetting(), 0);
    EXPECT_GE(scope.DSPSetting(), 3);
    scope.SetDSPSetting(40);
    EXPECT_EQ(scope.DSPSetting(), 16);
    scope.SetDSPSetting(-1);
    EXPECT_EQ(scope.DSPSetting(), 0);
    EXPECT_EQ(scope.SMPSetting(), 3);
}

TEST(ScopeSettings, AcquisitionStatusCountsOnlyDuringAMeasurement) {
    TVirtualScopeVornRM scope;
    scope.SetDataAcquisitionStatus(0x21);
    EXPECT_EQ(scope.DataAcquisitionStatus(), 0);
    EXPECT_EQ(scope.TriggerLEDStatus(), 0);
    EXPECT_EQ(scope.ARMLEDStatus(), 0);

    scope.SetMeasurementStarted(true);
    EXPECT_EQ(scope.CachedDataStatus(), 0x11);
    scope.SetDataAcquisitionStatus(0x21);
    EXPECT_EQ(scope.DataAcquisitionStatus(), 0x21);
    EXPECT_EQ(scope.TriggerLEDStatus(), 1);
    EXPECT_EQ(scope.ARMLEDStatus(), 2);

    scope.SetDataAcquisitionStatus(0);  // the device stopped
    EXPECT_FALSE(scope.MeasurementStarted());
    EXPECT_EQ(scope.TriggerLEDStatus(), 0);
    EXPECT_EQ(scope.ARMLEDStatus(), 0);

    scope.SetMeasurementStarted(true);
    scope.SetDataAcquisitionStatus(0x22);
    scope.SetMeasurementStarted(false);
    EXPECT_EQ(scope.DataAcquisitionStatus(), 0);
    EXPECT_EQ(scope.TriggerLEDStatus(), 0);
}

TEST(ScopeSettings, DeflectionAndProbeText) {
    TVirtualScopeVornRM scope;
    scope.SetSourceProbeB(3);
    scope.SetDensityChannelB(9);
    EXPECT_EQ(scope.Deflection(TVirtualScopeVornRM::kChannelB), 500000);
    scope.SetSourceProbeB(0);
    EXPECT_EQ(scope.Deflection(TVirtualScopeVornRM::kChannelB), 1);
    // Any channel but B means A.
    scope.SetDensityChannelA(4);
    EXPECT_EQ(scope.Deflection(7), 100);

    std::string text = "kept";
    scope.SetSourceProbeA(2);
    scope.ProbeText(TVirtualScopeVornRM::kChannelA, text);
    EXPECT_EQ(text, "  1:10");
    scope.SetSourceProbeA(1);
    scope.ProbeText(TVirtualScopeVornRM::kChannelA, text);
    EXPECT_EQ(text, "    1:1");
    scope.ProbeText(TVirtualScopeVornRM::kChannelB, text);  // probe 0
    EXPECT_EQ(text, "    1:1");
}

TEST(ScopeSettings, GridColourFollowsColourAndBrightness) {
    TVirtualScopeVornRM scope;
    // White at 72 %: 255 × 0.72 = 183.6 → 184 in every byte.
    EXPECT_EQ(scope.RealGridColor(), 0xB8B8B8u);
    scope.SetColorGrid(0xFF0000FF);  // the top byte is dropped
    scope.SetGridBrightness(50);
    EXPECT_EQ(scope.RealGridColor(), 0x000080u);  // 127.5 → 128 (to even)
    scope.SetGridBrightness(1000);                 // held to 100 %: no carry into the next byte
    EXPECT_EQ(scope.GridBrightness(), 100);
    EXPECT_EQ(scope.RealGridColor(), 0x0000FFu);
    // Blue 1 × 0.5 → 0, green 3 × 0.5 → 2, red 5 × 0.5 → 2.
    EXPECT_EQ(TVirtualScopeVornRM::ScaleColor(0x010305, 0.5), 0x000202u);
    EXPECT_EQ(TVirtualScopeVornRM::ScaleColor(0xFFFFFF, 3.0), 0xFFFFFFu);
}

TEST(ScopeSettings, ActualVoltageShowsMillivoltsOfSampleWordsOnly) {
    TVirtualScopeVornRM scope;
    FakeValueLabel a(11), b(22);
    scope.SetActualVoltageA(&a);
    scope.SetActualVoltageB(&b);
    scope.SetZeroChannelA(128);
    scope.SetZeroChannelB(100);
    scope.SetDensityChannelA(4);  // 100 mV/div
    scope.SetDensityChannelB(1);  // 10 mV/div

    scope.SetActualVoltage(0x0002);  // a marker: labels set again to what they show
    EXPECT_EQ(scope.ActualVoltage(), 0);
    EXPECT_EQ(a.mainValue(), 11);
    EXPECT_EQ(b.mainValue(), 22);

    // A: (129 − 128) × 100 / 32 = 3.125 → 3; B: (102 − 100) × 10 / 32 = 0.625 → 1.
    scope.SetActualVoltage(0x6681);
    EXPECT_EQ(scope.ActualVoltage(), 0x6681);
    EXPECT_EQ(a.mainValue(), 3);
    EXPECT_EQ(b.mainValue(), 1);
    // B: (116 − 100) × 10 / 32 = 5 exactly; A: (0 − 128) × 100 / 32 = −400.
    scope.SetActualVoltage(0x7400);
    EXPECT_EQ(a.mainValue(), -400);
    EXPECT_EQ(b.mainValue(), 5);
}

TEST(ScopeSettings, LockedSettersWaitForASettingsPush) {
    TVirtualScopeVornRM scope;
    std::unique_lock push(scope.SettingsLock());
    auto setter = std::async(std::launch::async, [&] { scope.SetSourceProbeA(4); });
    EXPECT_EQ(setter.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    EXPECT_EQ(scope.SourceProbeA(), 1);
    push.unlock();
    setter.get();
    EXPECT_EQ(scope.SourceProbeA(), 4);
}

} // namespace
