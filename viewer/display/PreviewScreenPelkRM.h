#pragma once

#include "PreviewEngine.h"
#include "WinColor.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>

namespace rm::viewer {

class TDataSourcePelkRMPrv;
class TWaveformPainter;

// The engine's screen colours.
TDisplayColors ScreenColors(const TPreviewEnginePelkRM& engine);
// Black traces and grid on white, for printing.
TDisplayColors PrintColors();

// What a voltage cross reads: the sample under its column and both
// channels' voltages there (millivolts). Without calibration (no index) the
// voltages are not valid.
struct TCrossReading {
    int64_t Sample = 0;
    bool Valid = false;
    double VoltageA = 0;
    double VoltageB = 0;
};

// The viewer's main display: the normal view of channels A and B in one of
// the draw modes, the dotted grid, red marks at the index records on the
// screen, the time cursors and the two voltage crosses.
//
// Everything is drawn into an off-screen picture the size of the control
// (without the crosses); the crosses are XOR-composed onto a fresh copy of
// it whenever something changes, and paintEvent copies that copy. So the
// crosses show exactly while the engine's VoltageCursorsActive is set and
// the picture holds data, and never leave anything behind.
//
// The display is a user-interface listener: every notification, also the
// worker's enNormalViewReady, reaches it on the user-interface thread. It
// reads the normal view under the data source's view lock.
//
// Mouse work (panning, cursors, crosses, pop-up menus, hints) lives in its
// own controller, which uses the public hooks below.
class TPreviewScreenPelkRM : public QWidget, public IEngineListener {
    Q_OBJECT

public:
    static constexpr int kCrossHalf = 15;  // half the length of a cross's bars
    static constexpr QPoint kCross1Default{100, 80};
    static constexpr QPoint kCross2Default{100, 180};

    explicit TPreviewScreenPelkRM(QWidget* parent = nullptr);
    ~TPreviewScreenPelkRM() override;

    // Links; setting the engine registers the display with its ControlGroup
    // (a previous link is left first).
    void SetDataModule(TDataSourcePelkRMPrv* dataSource) { dataSource_ = dataSource; }
    TDataSourcePelkRMPrv* DataModule() const { return dataSource_; }
    void SetPreviewEngine(TPreviewEnginePelkRM* engine);
    TPreviewEnginePelkRM* PreviewEngine() const { return engine_; }
    int ControlGroup() const { return controlGroup_; }
    void SetControlGroup(int group) { controlGroup_ = group; }

    void EngineNotify(int code, int senderGroup) override;

    // --- drawing --------------------------------------------------------
    // The full redraw from the normal view; nothing while no normal view is
    // ready.
    void RedrawAll();
    // Draws the cursor lines over the current picture (after a cursor was
    // added or edited; a removed cursor needs RedrawAll).
    void RepaintCursors();
    // Shows or hides the crosses as the engine's VoltageCursorsActive says.
    void ToggleVoltageCrosses();
    // The picture to the control's size, the crosses' rows rescaled to it,
    // background and grid.
    void ResizeBitmap();
    // The voltages and samples under both crosses into the engine.
    void UpdateVoltageCursorValues();
    // The display as printed: drawn with `colors` into a picture of its own
    // (the screen's picture and the engine stay as they are), with solid
    // edge lines when the grid is on, stretched to the target size.
    QImage PaintForPrint(int targetWidth, int targetHeight, const TDisplayColors& colors) const;
    QImage PaintForPrint(int targetWidth, int targetHeight) const {
        return PaintForPrint(targetWidth, targetHeight, PrintColors());
    }

    // --- hooks for the mouse controller ---------------------------------
    // The picture without the crosses, and what the screen shows.
    const QImage& Picture() const { return picture_; }
    const QImage& ShownPicture() const { return shown_; }
    double VoltScale() const { return voltScale_; }
    QPoint Cross1() const { return cross1_; }
    QPoint Cross2() const { return cross2_; }
    // Moves a cross and shows it there.
    void SetCross1(QPoint at);
    void SetCross2(QPoint at);
    // ScreenBeginning + SamplesPerPoint x column.
    int64_t SampleAtX(int x) const;
    // The reading of a cross standing at `at`.
    TCrossReading ReadingAt(QPoint at) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Background and grid over the whole picture.
    void clearBackground(QImage& image, const TDisplayColors& colors) const;
    // Background, grid, waveform, index marks and cursor lines (on paper,
    // the cursor colours too light for white drawn darker).
    void renderData(QImage& image, const TDisplayColors& colors, bool onPaper = false) const;
    void drawCursorLines(TWaveformPainter& painter, bool onPaper = false) const;
    // The shown picture anew: a copy of the picture with the crosses on it
    // when they are to show; then a repaint.
    void compose();
    bool crossesShown() const;

    TPreviewEnginePelkRM* engine_ = nullptr;
    TDataSourcePelkRMPrv* dataSource_ = nullptr;
    int controlGroup_ = kGroupDisplay;
    QImage picture_;
    QImage shown_;
    bool pictureHasData_ = false;  // the picture holds a normal view
    double voltScale_ = 0;
    QPoint cross1_ = kCross1Default;
    QPoint cross2_ = kCross2Default;
};

} // namespace rm::viewer
