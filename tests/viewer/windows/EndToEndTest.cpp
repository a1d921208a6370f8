// Both programs' windows off screen: the recorder records two seconds from the
// simulated instrument into a file, and the viewer opens that file through its
// open panel and draws what was recorded.
#include "WindowRig.h"

#include "DataSource.h"
#include "MainForm.h"
#include "PreviewScreenPelkRM.h"
#include "Rounding.h"
#include "UlmexSim.h"

#include "ui_PreviewScreenRM.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace rm::viewer::test {
namespace {

// The sample words of a data file: parameter blocks (a zero word and its
// length) and one-word markers take no place.
std::vector<uint16_t> sampleWords(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint16_t> words;
    for (uint16_t w; in.read(reinterpret_cast<char*>(&w), 2);)
        words.push_back(w);
    std::vector<uint16_t> samples;
    for (size_t i = 0; i < words.size();) {
        if (words[i] & 0xFF00)
            samples.push_back(words[i++]);
        else if (words[i] != 0 || i + 1 >= words.size())
            ++i;
        else
            i += std::max<size_t>(words[i + 1], 1);
    }
    return samples;
}

TEST(EndToEnd, TheViewerShowsBothTracesTheRecorderWrote) {
    WindowRig rig;
    UlmexSimReset();
    UlmexSimSetSignal(0, 500.0, 0.0, 0.0);     // channel A: 500 mV flat
    UlmexSimSetSignal(1, 0.0, 1000.0, 5.0);    // channel B: 1000 mV at 5 Hz
    const std::string recording = rig.folder.file("recorded.rmd");
    {
        TMainForm recorder;
        recorder.Scope().Startup();
        recorder.show();
        TVirtualScopeVornRM& scope = recorder.Scope();
        ASSERT_TRUE(recorder.Driver().DeviceInitialized());
        scope.SetSMPSetting(10);  // 100,000 samples per second
        scope.Notify(TScopeNotifyCode::snSettingsChanged, 9);
        settle(300);
        scope.SetFileName(recording);
        scope.SetSavingActivated(true);
        scope.SetMeasurementDefined(true);
        scope.SetMeasurementLength(2000);
        scope.SetMeasurementStarted(true);
        scope.Notify(TScopeNotifyCode::snSettingsChanged, 9);
        ASSERT_TRUE(waitUntil([&] { return !scope.MeasurementStarted(); }, 30000));
        settle(300);
        recorder.close();
    }
    const std::vector<uint16_t> samples = sampleWords(recording);
    ASSERT_GE(samples.size(), 150000u);

    rig.messages.clear();
    rig.start();
    TPreviewScreenRM& viewer = *rig.window;
    Ui::TPreviewScreenRM& f = viewer.Form();
    f.SaveFileEdit->setText(QString::fromStdString(recording));
    QTest::keyClick(f.SaveFileEdit, Qt::Key_Return);
    QTest::mouseClick(f.OpenButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return viewer.PreviewEngine().NewDataReady && f.ProgressLabel->MyString() == "Ready"; }));
    settle();
    EXPECT_EQ(rig.messages.texts(), (std::vector<std::string>{"File Preview.ini is missing"}));
    EXPECT_EQ(viewer.PreviewEngine().FileRealSamplesCount, static_cast<int64_t>(samples.size()));

    // One sample per column from the file's first sample on: each column
    // holds the pixel its line starts at, one row below the sample's row.
    const QImage& picture = viewer.MainDisplay().Picture();
    const double scale = picture.height() / 255.0;
    const auto row = [&](int code) { return static_cast<int>(roundHalfEven((255 - code) * scale)) + 1; };
    int matchedA = 0, matchedB = 0;
    const int columns = picture.width() - 2;
    for (int x = 1; x <= columns; ++x) {
        const uint16_t s = samples[static_cast<size_t>(x)];
        matchedA += picture.pixel(x, row(s & 0xFF)) == qRgb(0, 128, 0);
        matchedB += picture.pixel(x, row(s >> 8)) == qRgb(255, 255, 0);
    }
    EXPECT_GE(matchedA, columns * 95 / 100);  // where B crosses A, B is drawn over it
    EXPECT_GE(matchedB, columns * 99 / 100);
    rig.stop();
}

} // namespace
} // namespace rm::viewer::test
