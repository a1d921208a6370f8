#include "PreviewScreenPelkRM.h"

#include "DataSource.h"
#include "IndexFileWrapper.h"
#include "Rounding.h"
#include "WaveformPainter.h"
#include "WinColor.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <mutex>

namespace rm::viewer {

namespace {

constexpr TColor kIndexMarkColor = 0x0000FF;  // red
constexpr TColor kCross1Color = 0x0000FF;     // red
constexpr TColor kCross2Color = 0xFF0000;     // blue
constexpr TColor kPrintBlack = 0x000000;
constexpr TColor kPrintWhite = 0xFFFFFF;
constexpr int kCodesPerDivision = 32;

QImage blankPicture(QSize size) {
    QImage image(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

} // namespace

TDisplayColors ScreenColors(const TPreviewEnginePelkRM& engine) {
    return {engine.ColorChannelA, engine.ColorChannelB, engine.GridColor, engine.BackgroundColor};
}

TDisplayColors PrintColors() { return {kPrintBlack, kPrintBlack, kPrintBlack, kPrintWhite}; }

TPreviewScreenPelkRM::TPreviewScreenPelkRM(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_ = blankPicture(size());
    shown_ = picture_;
}

TPreviewScreenPelkRM::~TPreviewScreenPelkRM() { SetPreviewEngine(nullptr); }

void TPreviewScreenPelkRM::SetPreviewEngine(TPreviewEnginePelkRM* engine) {
    if (engine_)
        engine_->UnregisterListener(controlGroup_, this);
    engine_ = engine;
    if (engine_)
        engine_->RegisterListener(controlGroup_, this, TListenerThread::UserInterface);
}

void TPreviewScreenPelkRM::EngineNotify(int code, int) {
    if (!engine_)
        return;
    switch (code) {
    case enInitialize:
    case enOpenDataFile:  // the data source dropped the views of the previous file
        // No voltages under the crosses until the new file's picture is read;
        // the voltage panel, which hears this code after the display, shows them.
        engine_->VoltageCursor1ChannelA = engine_->VoltageCursor1ChannelB = 0;
        engine_->VoltageCursor2ChannelA = engine_->VoltageCursor2ChannelB = 0;
        picture_ = blankPicture(size());
        voltScale_ = height() / 255.0;
        pictureHasData_ = false;
        clearBackground(picture_, ScreenColors(*engine_));
        compose();
        break;
    case enShutdown:
        SetPreviewEngine(nullptr);
        break;
    case enFormResized:
        // The data source builds the normal view for the new width (the
        // engine's MainScreenWidth, which the main window sets).
        ResizeBitmap();
        RedrawAll();
        break;
    case enRedraw:
    case enSweepChanged:
    case enChannelsChanged:
        RedrawAll();
        break;
    case enNormalViewReady:
        if (dataSource_)
            dataSource_->Cursors().RefreshCursorTimes();
        RedrawAll();
        UpdateVoltageCursorValues();
        break;
    case enVoltageCursorsToggled:
        if (engine_->NewFileOpened)
            ToggleVoltageCrosses();
        break;
    default:
        break;
    }
}

// --- drawing -----------------------------------------------------------------

void TPreviewScreenPelkRM::clearBackground(QImage& image, const TDisplayColors& colors) const {
    TWaveformPainter painter(image, image.height() / 255.0);
    painter.Fill(colors.background);
    if (engine_ && engine_->GridActive)
        painter.DottedGrid(colors.grid);
}

void TPreviewScreenPelkRM::renderData(QImage& image, const TDisplayColors& colors, bool onPaper) const {
    clearBackground(image, colors);
    if (!engine_ || !dataSource_)
        return;
    const TPreviewEnginePelkRM& engine = *engine_;
    TWaveformPainter painter(image, image.height() / 255.0);
    int points = 0;
    {
        std::lock_guard lock(dataSource_->ViewLock(TViewKind::Normal));
        const TViewPoints& view = dataSource_->View(TViewKind::Normal);
        points = std::min<int>(view.Points, image.width());
        const bool a = engine.ChannelA;
        const bool b = engine.ChannelB;
        const auto traces = [&](const std::vector<uint8_t>& codesA, const std::vector<uint8_t>& codesB) {
            if (a)
                painter.Trace(codesA.data(), points, colors.channelA);
            if (b)
                painter.Trace(codesB.data(), points, colors.channelB);
        };
        if (engine.SingleMode)
            traces(view.LastA, view.LastB);
        else if (engine.MakeMaximum && engine.MakeMinimum)
            painter.MinMaxBars({view.MaxA.data(), view.MinA.data(), a, colors.channelA},
                               {view.MaxB.data(), view.MinB.data(), b, colors.channelB}, points);
        else if (engine.MakeMaximum)
            traces(view.MaxA, view.MaxB);
        else if (engine.MakeMinimum)
            traces(view.MinA, view.MinB);
        else if (engine.MakeAvg)
            traces(view.AvgA, view.AvgB);
    }

    // Index marks: round((first sample after the record - start) / step) - 1
    // for each record on the screen, in 64 bits; the first sample after a
    // record counts from 1, so at one sample per point this is the column of
    // that sample. Records before the screen give no mark.
    const int64_t covered = engine.PreviewValidSamplesCount;
    if (points > 0 && covered > 0) {
        const TIndexFileWrapperVornRMPrv& index = dataSource_->Index();
        const int64_t start = engine.ScreenBeginning();
        const double step = std::max(static_cast<double>(covered) / points, 1.0);
        int64_t last = 0;
        const int64_t first = index.RecordRangeOfSamples(start + covered, start, last);
        for (int64_t r = first; r <= last && index.RecordCount() > 0; ++r) {
            // FirstSampleAfter counts from 1 (0: the record stands before the
            // first sample); the engine counts samples from 0.
            const int64_t firstAfter = index.RecordFirstSample(r);
            if (firstAfter == 0 || firstAfter - 1 < start)
                continue;
            painter.VerticalLine(roundHalfEvenClamped(static_cast<double>(firstAfter - start) / step, 0, INT32_MAX) - 1,
                                 kIndexMarkColor);
        }
    }
    drawCursorLines(painter, onPaper);
}

void TPreviewScreenPelkRM::drawCursorLines(TWaveformPainter& painter, bool onPaper) const {
    if (!engine_ || !dataSource_)
        return;
    const TCursorObjectTable& cursors = dataSource_->Cursors();
    const int64_t begin = engine_->ScreenBeginning();
    const int64_t end = begin + engine_->SamplesPerScreen();
    const int64_t perPoint = std::max<int64_t>(engine_->SamplesPerPoint(), 1);
    for (int i = cursors.CursorObjectsCount() - 1; i >= 0; --i) {
        const TGeneralCursorObject& cursor = cursors.Cursor(i);
        if (!cursor.Used || (cursor.CursorType != ctWaveform && cursor.CursorType != ctTimeSynchro))
            continue;
        if (cursor.SamplePosition <= begin || cursor.SamplePosition >= end)
            continue;
        painter.VerticalLine((cursor.SamplePosition - begin) / perPoint,
                             onPaper ? readableOnWhite(cursor.CursorColor) : cursor.CursorColor);
    }
}

void TPreviewScreenPelkRM::RedrawAll() {
    if (!engine_ || !engine_->NewDataReady)
        return;
    if (picture_.size() != size())
        picture_ = blankPicture(size());
    renderData(picture_, ScreenColors(*engine_));
    pictureHasData_ = true;
    compose();
}

void TPreviewScreenPelkRM::RepaintCursors() {
    {
        TWaveformPainter painter(picture_, voltScale_);
        drawCursorLines(painter);
    }
    compose();
}

void TPreviewScreenPelkRM::ToggleVoltageCrosses() { compose(); }

bool TPreviewScreenPelkRM::crossesShown() const {
    return engine_ && engine_->VoltageCursorsActive && pictureHasData_;
}

void TPreviewScreenPelkRM::compose() {
    shown_ = picture_.copy();
    if (crossesShown()) {
        TWaveformPainter painter(shown_, voltScale_);
        painter.XorCross(cross1_.x(), cross1_.y(), kCross1Color);
        painter.XorCross(cross2_.x(), cross2_.y(), kCross2Color);
    }
    update();
}

void TPreviewScreenPelkRM::ResizeBitmap() {
    const int oldHeight = picture_.height();
    picture_ = blankPicture(size());
    const int newHeight = picture_.height();
    voltScale_ = newHeight / 255.0;
    if (oldHeight > 0) {
        for (QPoint* cross : {&cross1_, &cross2_})
            cross->setY(static_cast<int>(
                roundHalfEven(static_cast<double>(cross->y()) * newHeight / oldHeight)));
    }
    for (QPoint* cross : {&cross1_, &cross2_})
        if (cross->x() > width())
            cross->setX(width() - 30);
    pictureHasData_ = false;
    if (engine_)
        clearBackground(picture_, ScreenColors(*engine_));
    compose();
}

QImage TPreviewScreenPelkRM::PaintForPrint(int targetWidth, int targetHeight, const TDisplayColors& colors) const {
    QImage image = blankPicture(size());
    const bool withData = engine_ && engine_->NewDataReady;
    if (withData)
        renderData(image, colors, true);
    else
        clearBackground(image, colors);
    TWaveformPainter painter(image, image.height() / 255.0);
    if (engine_ && engine_->GridActive) {
        painter.VerticalLine(0, colors.grid);
        painter.VerticalLine(image.width() - 2, colors.grid);
    }
    if (withData && engine_->VoltageCursorsActive) {
        // XOR with the colour's complement: on white paper the crosses show
        // red and blue, as on the screen, not cyan and a yellow nobody sees.
        painter.XorCross(cross1_.x(), cross1_.y(), kCross1Color ^ kPrintWhite);
        painter.XorCross(cross2_.x(), cross2_.y(), kCross2Color ^ kPrintWhite);
    }
    if (targetWidth <= 0 || targetHeight <= 0)
        return {};
    return image.scaled(targetWidth, targetHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// --- voltage crosses -------------------------------------------------------------

void TPreviewScreenPelkRM::SetCross1(QPoint at) {
    cross1_ = at;
    compose();
}

void TPreviewScreenPelkRM::SetCross2(QPoint at) {
    cross2_ = at;
    compose();
}

int64_t TPreviewScreenPelkRM::SampleAtX(int x) const {
    if (!engine_)
        return 0;
    return engine_->ScreenBeginning() + static_cast<int64_t>(engine_->SamplesPerPoint()) * x;
}

TCrossReading TPreviewScreenPelkRM::ReadingAt(QPoint at) const {
    TCrossReading reading;
    reading.Sample = SampleAtX(at.x());
    if (!dataSource_ || voltScale_ <= 0)
        return reading;
    const auto calibration = dataSource_->Index().GetCalibrationAt(reading.Sample);
    if (!calibration)
        return reading;
    const double code = 255.0 - at.y() / voltScale_;
    reading.Valid = true;
    reading.VoltageA = (code - calibration->ChannelAZeroPosition) * calibration->ChannelADensity / kCodesPerDivision;
    reading.VoltageB = (code - calibration->ChannelBZeroPosition) * calibration->ChannelBDensity / kCodesPerDivision;
    return reading;
}

void TPreviewScreenPelkRM::UpdateVoltageCursorValues() {
    if (!engine_)
        return;
    const TCrossReading one = ReadingAt(cross1_);
    const TCrossReading two = ReadingAt(cross2_);
    if (one.Valid) {
        engine_->VoltageCursor1ChannelA = one.VoltageA;
        engine_->VoltageCursor1ChannelB = one.VoltageB;
    }
    if (two.Valid) {
        engine_->VoltageCursor2ChannelA = two.VoltageA;
        engine_->VoltageCursor2ChannelB = two.VoltageB;
    }
    engine_->AbsoluteScreenCursor = one.Sample;
    engine_->RelativeScreenCursor = two.Sample;
}

void TPreviewScreenPelkRM::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), shown_, event->rect());
    // A part of the control the picture does not cover yet (between a resize
    // and the layout's broadcast) shows the background.
    const QRegion uncovered = QRegion(event->rect()) - QRegion(shown_.rect());
    if (!uncovered.isEmpty() && engine_)
        for (const QRect& r : uncovered)
            painter.fillRect(r, toQColor(engine_->BackgroundColor));
}

} // namespace rm::viewer
