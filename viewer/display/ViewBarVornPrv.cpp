#include "ViewBarVornPrv.h"

#include "DataSource.h"
#include "IndexFileWrapper.h"
#include "Rounding.h"
#include "WinColor.h"
#include "WinLine.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <mutex>

namespace rm::viewer {

namespace {

constexpr TColor clRed = 0x0000FF;

} // namespace

TViewBarVornPrv::TViewBarVornPrv(int controlGroup, TViewKind viewKind, TColor handlerColor, QWidget* parent)
    : TGraphicControlVorn(parent), controlGroup_(controlGroup), viewKind_(viewKind), handlerColor_(handlerColor)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TViewBarVornPrv::~TViewBarVornPrv() { leaveEngine(); }

void TViewBarVornPrv::SetPreviewEngine(TPreviewEnginePelkRM* engine)
{
    leaveEngine();
    engine_ = engine;
    if (engine_)
        engine_->RegisterListener(controlGroup_, this, TListenerThread::UserInterface);
}

void TViewBarVornPrv::leaveEngine()
{
    if (engine_)
        engine_->UnregisterListener(controlGroup_, this);
    engine_ = nullptr;
}

void TViewBarVornPrv::SetBarTimer(QTimer* timer)
{
    if (timer_)
        disconnect(timer_, nullptr, this, nullptr);
    timer_ = timer;
    if (!timer_)
        return;
    timer->stop();
    timer->setInterval(kRepeatMs);
    connect(timer, &QTimer::timeout, this, &TViewBarVornPrv::onTimer);
}

void TViewBarVornPrv::SetHandlerColor(TColor color)
{
    handlerColor_ = color;
    ComposeHandle();
}

void TViewBarVornPrv::SetHandleWidth(int width)
{
    handleWidth_ = std::max(width, 0);
    if (handleWidth_ > pureBarWidth_) {
        handleWidth_ = std::max(pureBarWidth_, 0);
        handlePosition_ = kEndZone;
    }
}

void TViewBarVornPrv::SetHandlePosition(int position)
{
    handlePosition_ = position;
    ClampHandle();
    ComposeHandle();
}

void TViewBarVornPrv::ClampHandle()
{
    handleWidth_ = std::clamp(handleWidth_, 0, std::max(pureBarWidth_, 0));
    if (handlePosition_ + handleWidth_ > width() - kEndZone)
        handlePosition_ = width() - handleWidth_ - kEndZone;
    if (handlePosition_ < kEndZone)
        handlePosition_ = kEndZone;
}

void TViewBarVornPrv::PlaceHandle(int position, int width)
{
    if (dragging_)  // the handle follows the mouse until it is released
        return;
    handlePosition_ = position;
    SetHandleWidth(width);
    ClampHandle();
}

bool TViewBarVornPrv::EngineReady() const { return engine_ && engine_->MainBufferSize > 0; }

// --- steps -------------------------------------------------------------------

void TViewBarVornPrv::StepBack() { SetHandlePosition(handlePosition_ - handleWidth_); }
void TViewBarVornPrv::StepForward() { SetHandlePosition(handlePosition_ + handleWidth_); }
void TViewBarVornPrv::PageBack() { SetHandlePosition(handlePosition_ - handleWidth_ / 2); }
void TViewBarVornPrv::PageForward() { SetHandlePosition(handlePosition_ + handleWidth_ / 2); }

// --- notifications -------------------------------------------------------------

void TViewBarVornPrv::EngineNotify(int code, int)
{
    switch (code) {
    case enInitialize: InitBar(); break;
    case enOpenDataFile:  // the data source dropped the views of the previous file
        viewReady_ = false;
        InitBar();
        break;
    case enShutdown:
        stopRepeat();
        leaveEngine();
        break;
    case enFormResized: ResizeBar(); break;
    case enRedraw:
    case enChannelsChanged:
    case enCursorDragged:
    case enCursorsChanged: Redraw(); break;
    default: break;
    }
}

void TViewBarVornPrv::InitBar()
{
    ResizeBitmap();
    handleWidth_ = std::max(width() - 2 * kEndZone, 0) / 10;
    handlePosition_ = kEndZone;
    repositionOnSet_ = true;
    Redraw();
}

void TViewBarVornPrv::ResizeBitmap()
{
    if (background_.size() != size())
        background_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    pureBarWidth_ = width() - 2 * kEndZone;
    verticalScale_ = height() / 255.0;
}

// --- drawing ---------------------------------------------------------------------

void TViewBarVornPrv::Redraw()
{
    if (!engine_)
        return;
    ResizeBitmap();
    background_.fill(toQColor(engine_->BackgroundColor));
    if (EngineReady() && pureBarWidth_ > 0 && HasView()) {
        DrawEnvelope(background_);
        DrawIndexMarks(background_);
        DrawCursorMarks(background_);
    }
    ComposeHandle();
}

void TViewBarVornPrv::ComposeHandle()
{
    picture_ = background_.copy();
    if (EngineReady() && pureBarWidth_ > 0 && !picture_.isNull()) {
        QPainter painter(&picture_);
        const QColor color = toQColor(handlerColor_);
        if (HasView()) {
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.fillRect(QRect(handlePosition_, 0, handleWidth_ + 1, height()), color);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        painter.setPen(color);
        painter.setBrush(color);
        const int w = width(), h = height();
        painter.drawPolygon(QPolygon({QPoint(8, 0), QPoint(8, h), QPoint(0, h / 2)}));
        painter.drawPolygon(QPolygon({QPoint(w - 9, 0), QPoint(w - 9, h), QPoint(w, h / 2)}));
    }
    update();
}

int TViewBarVornPrv::row(int code) const { return static_cast<int>(roundHalfEven((255 - code) * verticalScale_)); }

void TViewBarVornPrv::DrawEnvelope(QImage& image) const
{
    if (!dataSource_)
        return;
    std::lock_guard lock(dataSource_->ViewLock(viewKind_));
    DrawViewEnvelope(image, dataSource_->View(viewKind_));
}

void TViewBarVornPrv::DrawViewEnvelope(QImage& image, const TViewPoints& view) const
{
    const int n = view.Points;
    if (n <= 0 || pureBarWidth_ <= 0)
        return;
    const bool showA = engine_->ChannelA, showB = engine_->ChannelB;
    const QColor colorA = toQColor(engine_->ColorChannelA), colorB = toQColor(engine_->ColorChannelB);
    const double ratio = std::max(static_cast<double>(n) / pureBarWidth_, 1.0);
    QPainter painter(&image);
    uint8_t maxA = 0, minA = 255, maxB = 0, minB = 255;
    uint8_t prevMaxA = 0, prevMinA = 0, prevMaxB = 0, prevMinB = 0;
    int x = kEndZone;
    double next = ratio;
    for (int j = 0; j < n && x < width() - kEndZone; ++j) {
        const auto at = static_cast<size_t>(j);
        maxA = std::max(maxA, view.MaxA[at]);
        minA = std::min(minA, view.MinA[at]);
        maxB = std::max(maxB, view.MaxB[at]);
        minB = std::min(minB, view.MinB[at]);
        if (j + 1 < roundHalfEven(next))
            continue;
        if (x > kEndZone) {  // joined to the previous column
            maxA = std::max(maxA, prevMinA);
            minA = std::min(minA, prevMaxA);
            maxB = std::max(maxB, prevMinB);
            minB = std::min(minB, prevMaxB);
        }
        if (showA) {
            painter.setPen(colorA);
            drawWinLine(painter, x, row(maxA), x, row(minA) + 1);
        }
        if (showB) {
            painter.setPen(colorB);
            drawWinLine(painter, x, row(maxB), x, row(minB) + 1);
        }
        prevMaxA = maxA, prevMinA = minA, prevMaxB = maxB, prevMinB = minB;
        maxA = 0, minA = 255, maxB = 0, minB = 255;
        ++x;
        next += ratio;
    }
}

void TViewBarVornPrv::DrawMark(QImage& image, int64_t x, TColor color) const
{
    if (x < kEndZone || x >= width() - kEndZone)
        return;
    QPainter painter(&image);
    painter.setPen(toQColor(color));
    drawWinLine(painter, static_cast<int>(x), 0, static_cast<int>(x), height());
}

void TViewBarVornPrv::DrawIndexRecordMarks(QImage& image, int64_t start, int64_t end, int64_t span) const
{
    if (!viewReady_ || !dataSource_ || span <= 0)
        return;
    const TIndexFileWrapperVornRMPrv& index = dataSource_->Index();
    int64_t last = 0;
    const int64_t first = index.RecordRangeOfSamples(end, start, last);
    const double ratio = std::max(static_cast<double>(span) / pureBarWidth_, 1.0);
    int64_t previousX = -1;
    for (int64_t r = first; r <= last; ++r) {
        const double offset = static_cast<double>(index.RecordFirstSample(r) - start);
        const int64_t x = roundHalfEvenClamped(offset / ratio, -1, width()) + kEndZone - 1;
        if (x != previousX)  // many records can share a column
            DrawMark(image, x, clRed);
        previousX = x;
    }
}

void TViewBarVornPrv::DrawCursorSpanMarks(QImage& image, int64_t start, int64_t length) const
{
    if (!dataSource_ || length <= 0)
        return;
    const TCursorObjectTable& cursors = dataSource_->Cursors();
    for (int i = cursors.CursorObjectsCount() - 1; i >= 0; --i) {
        const TGeneralCursorObject& c = cursors.Cursor(i);
        if (!c.Used || (c.CursorType != ctWaveform && c.CursorType != ctTimeSynchro))
            continue;
        if (c.SamplePosition <= start || c.SamplePosition >= start + length)
            continue;
        DrawMark(image, pureBarWidth_ * (c.SamplePosition - start) / length + kEndZone, c.CursorColor);
    }
}

void TViewBarVornPrv::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (picture_.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(0, 0, picture_);
}

void TViewBarVornPrv::resizeEvent(QResizeEvent*) { ResizeBar(); }

void TViewBarVornPrv::hideEvent(QHideEvent*) { stopRepeat(); }

// --- mouse and auto-repeat ---------------------------------------------------------

void TViewBarVornPrv::mousePressEvent(QMouseEvent* event)
{
    const int x = static_cast<int>(event->position().x());
    const int w = width();
    Repeat action = Repeat::None;
    if (x >= 1 && x <= kEndZone)
        action = Repeat::StepBack;
    else if (x >= w - kEndZone && x < w)
        action = Repeat::StepForward;
    else if (x > handlePosition_ - 3 && x < handlePosition_ + handleWidth_ + 3)
        dragging_ = true, dragX_ = x;
    else
        action = x > handlePosition_ ? Repeat::PageForward : Repeat::PageBack;
    repositionOnSet_ = !dragging_;
    repeat_ = action;
    if (action == Repeat::None)
        return;
    runRepeat();
    if (timer_) {
        timer_->setInterval(kRepeatMs);
        timer_->start();
    }
}

void TViewBarVornPrv::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    const int x = static_cast<int>(event->position().x());
    SetHandlePosition(x + handlePosition_ - dragX_);
    dragX_ = x;
}

void TViewBarVornPrv::mouseReleaseEvent(QMouseEvent*)
{
    const bool wasDragging = dragging_;
    dragging_ = false;
    stopRepeat();
    if (wasDragging) {
        repositionOnSet_ = true;
        SetHandlePosition(handlePosition_);  // the quick bar moves the engine now
    }
}

void TViewBarVornPrv::runRepeat()
{
    switch (repeat_) {
    case Repeat::StepBack: StepBack(); break;
    case Repeat::StepForward: StepForward(); break;
    case Repeat::PageBack: PageBack(); break;
    case Repeat::PageForward: PageForward(); break;
    case Repeat::None: break;
    }
}

void TViewBarVornPrv::onTimer()
{
    // A modal box took the mouse: its release never reaches the bar.
    if (!isVisible() || QApplication::activeModalWidget()) {
        stopRepeat();
        return;
    }
    runRepeat();
}

void TViewBarVornPrv::stopRepeat()
{
    repeat_ = Repeat::None;
    if (timer_)
        timer_->stop();
}

} // namespace rm::viewer
