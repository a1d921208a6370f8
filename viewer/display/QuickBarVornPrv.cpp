#include "QuickBarVornPrv.h"

#include "DataSource.h"
#include "MainBuffer.h"
#include "Rounding.h"

#include <algorithm>
#include <climits>

namespace rm::viewer {

namespace {

// round(value), bounded to the pixel range of any bar.
int pixels(double value) { return static_cast<int>(roundHalfEvenClamped(value, -INT_MAX / 2, INT_MAX / 2)); }

} // namespace

TQuickBarVornPrv::TQuickBarVornPrv(QWidget* parent) : TViewBarVornPrv(kGroupQuickBar, TViewKind::Quick, clPurple, parent) {}

int64_t TQuickBarVornPrv::bufferSize() const
{
    return dataSource_ ? dataSource_->MainBuffer().BufferSize() : engine_->MainBufferSize.load();
}

// --- user input ----------------------------------------------------------------------

void TQuickBarVornPrv::SetHandlePosition(int position)
{
    TViewBarVornPrv::SetHandlePosition(position);  // clamped before it is read
    if (!engine_ || !RepositionOnSet())  // while dragging only the handle moves
        return;
    const int64_t samples = engine_->FileRealSamplesCount;
    if (!EngineReady() || samples <= 0 || PureBarWidth() <= 0)
        return;
    const int64_t s = roundHalfEvenClamped(static_cast<double>(HandlePosition() - kEndZone) * samples / PureBarWidth(),
                                           0, samples);
    if (engine_->BufferViewValid())
        moveBuffer(s, true);
    else
        moveScreen(s);
}

void TQuickBarVornPrv::moveBuffer(int64_t to, bool keepScreen)
{
    const int64_t screenStart = engine_->ScreenBeginning();
    const int64_t bufferStart = engine_->SetMainBufferPosition(std::max<int64_t>(to, 0));
    if (keepScreen && screenStart >= bufferStart && screenStart < bufferStart + engine_->MainBufferSize)
        engine_->SetScreenPosition(screenStart - bufferStart);
    engine_->Notify(enBufferMoved, ControlGroup());
}

void TQuickBarVornPrv::moveScreen(int64_t to)
{
    engine_->SetScreenPosition(std::max<int64_t>(to, 0));
    engine_->Notify(enBufferMoved, ControlGroup());
}

void TQuickBarVornPrv::StepBack()
{
    if (!EngineReady())
        return;
    if (engine_->BufferViewValid())
        moveBuffer(engine_->MainBufferPosition() - bufferSize(), false);
    else
        moveScreen(engine_->ScreenPosition() - int64_t{engine_->SamplesPerPoint()} * width());
}

void TQuickBarVornPrv::StepForward()
{
    if (!EngineReady())
        return;
    if (engine_->BufferViewValid())
        moveBuffer(engine_->MainBufferPosition() + bufferSize(), false);
    else
        moveScreen(engine_->ScreenPosition() + int64_t{engine_->SamplesPerPoint()} * width());
}

void TQuickBarVornPrv::PageBack()
{
    if (!EngineReady())
        return;
    if (engine_->BufferViewValid())
        moveBuffer(engine_->MainBufferPosition() - bufferSize() / 2, true);
    else
        moveScreen(engine_->ScreenPosition() - int64_t{engine_->SamplesPerPoint()} * (width() / 2));
}

void TQuickBarVornPrv::PageForward()
{
    if (!EngineReady())
        return;
    if (engine_->BufferViewValid())
        moveBuffer(engine_->MainBufferPosition() + bufferSize() / 2, true);
    else
        moveScreen(engine_->ScreenPosition() + int64_t{engine_->SamplesPerPoint()} * (width() / 2));
}

// --- notifications ---------------------------------------------------------------------

void TQuickBarVornPrv::EngineNotify(int code, int senderGroup)
{
    TViewBarVornPrv::EngineNotify(code, senderGroup);
    if (!engine_)
        return;
    switch (code) {
    case enQuickViewReady: {
        SetViewReady(true);
        const int64_t samples = engine_->FileRealSamplesCount;
        const int widthInBar = samples > 0 ? pixels(double(engine_->MainBufferSize) * PureBarWidth() / samples)
                                           : PureBarWidth();
        PlaceHandle(HandlePosition(), widthInBar);
        Redraw();
        break;
    }
    case enNormalViewReady:
        if (!ViewReady())
            break;
        placeFromEngine();
        Redraw();
        break;
    default: break;
    }
}

void TQuickBarVornPrv::placeFromEngine()
{
    const int64_t samples = engine_->FileRealSamplesCount;
    if (samples <= 0) {
        PlaceHandle(kEndZone, PureBarWidth());
        return;
    }
    const double start = engine_->BufferViewValid() ? double(engine_->MainBufferPosition())
                                                    : double(engine_->ScreenPosition());
    const double covered = double(std::max<int64_t>(engine_->SamplesPerScreen(), engine_->MainBufferSize));
    PlaceHandle(pixels(start / samples * PureBarWidth()) + kEndZone, pixels(PureBarWidth() * covered / samples));
}

void TQuickBarVornPrv::ResizeBar()
{
    ResizeBitmap();
    ClampHandle();
    Redraw();
}

// --- drawing -------------------------------------------------------------------------------

void TQuickBarVornPrv::DrawIndexMarks(QImage& image)
{
    const int64_t samples = engine_->FileRealSamplesCount;
    DrawIndexRecordMarks(image, 0, samples, samples);
}

void TQuickBarVornPrv::DrawCursorMarks(QImage& image) { DrawCursorSpanMarks(image, 0, engine_->FileRealSamplesCount); }

} // namespace rm::viewer
