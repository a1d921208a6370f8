// The cursors as printed: on white paper a cursor colour too light to be seen
// (the white time synchro, the pale defaults) is drawn dark, the voltage
// crosses keep their red and blue; the screen keeps its colours.
#include "DisplayRig.h"

#include "WinColor.h"

#include <gtest/gtest.h>

namespace rm::viewer::test {
namespace {

TEST(PrintedCursors, ColoursTooLightForPaperAreDrawnDarkAndTheScreenKeepsThem) {
    DisplayRig rig(400, 255);
    RollModeStream stream;
    stream.StartMeasurement({});
    constantSamples(stream, 2000, 200, 50);
    ASSERT_TRUE(rig.open(stream));
    rig.source.Cursors().AddCursorObject({ctTimeSynchro, 0, 100, 100, true, ""});
    rig.source.Cursors().AddCursorObject({ctWaveform, 0x00FF00, 150, 150, true, "C1"});  // green
    rig.source.Cursors().AddCursorObject({ctWaveform, 0x000090, 200, 200, true, "C2"});  // dark red
    rig.engine.VoltageCursorsActive = true;
    rig.display.RedrawAll();
    EXPECT_EQ(rig.display.Picture().pixel(100, 20), qRgb(255, 255, 255));

    const QImage print = rig.display.PaintForPrint(400, 255);
    const QColor synchro = print.pixelColor(100, 20);
    const QColor green = print.pixelColor(150, 20);
    EXPECT_LT(synchro.lightness(), 128) << synchro.name().toStdString();
    EXPECT_LT(green.lightness(), 100) << green.name().toStdString();
    EXPECT_GT(green.green(), 2 * std::max(green.red(), green.blue())) << "still green";
    EXPECT_EQ(print.pixel(200, 20), qRgb(0x90, 0, 0)) << "dark enough as it is";
    EXPECT_EQ(rig.display.Picture().pixel(150, 20), qRgb(0, 255, 0));
    // The voltage crosses: red and blue on paper as on the screen.
    EXPECT_EQ(print.pixel(rig.display.Cross1().x() + 10, rig.display.Cross1().y()), qRgb(255, 0, 0));
    EXPECT_EQ(print.pixel(rig.display.Cross2().x() + 10, rig.display.Cross2().y()), qRgb(0, 0, 255));
}

} // namespace
} // namespace rm::viewer::test
