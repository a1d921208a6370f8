#include "BufferBarVornPrv.h"

#include "DataSource.h"
#include "Rounding.h"

#include <algorithm>
#include <climits>

namespace rm::viewer {

TBufferBarVornPrv::TBufferBarVornPrv(QWidget* parent) : TViewBarVornPrv(kGroupBufferBar, TViewKind::Buffer, clMaroon, parent) {}

int64_t TBufferBarVornPrv::bufferSpan() const
{
    return std::max<int64_t>(std::min<int64_t>(engine_->MainBufferSize, engine_->FileRealSamplesCount), 0);
}

int TBufferBarVornPrv::screenWidthInBar() const
{
    const int64_t span = bufferSpan();
    if (span <= 0)
        return PureBarWidth();
    const double samples = double(engine_->PreviewValidSamplesCount);
    return static_cast<int>(roundHalfEvenClamped(samples * PureBarWidth() / span, 0, INT_MAX / 2));
}

// --- user input -----------------------------------------------------------------------

void TBufferBarVornPrv::SetHandlePosition(int position)
{
    TViewBarVornPrv::SetHandlePosition(position);  // clamped before it is read
    if (!EngineReady() || !engine_->BufferViewValid() || bufferSpan() <= 0 || PureBarWidth() <= 0)
        return;
    const double offset = double(HandlePosition() - kEndZone) * double(bufferSpan()) / PureBarWidth();
    moveScreen(roundHalfEvenClamped(offset, 0, bufferSpan()));
}

void TBufferBarVornPrv::moveScreen(int64_t to)
{
    engine_->SetScreenPosition(std::max<int64_t>(to, 0));
    engine_->Notify(enScreenMoved, ControlGroup());
}

void TBufferBarVornPrv::StepBack()
{
    if (EngineReady())
        moveScreen(engine_->ScreenPosition() - engine_->SamplesPerScreen());
}

void TBufferBarVornPrv::StepForward()
{
    if (EngineReady())
        moveScreen(engine_->ScreenPosition() + engine_->SamplesPerScreen());
}

void TBufferBarVornPrv::PageBack()
{
    if (EngineReady())
        moveScreen(engine_->ScreenPosition() - engine_->SamplesPerScreen() / 2);
}

void TBufferBarVornPrv::PageForward()
{
    if (EngineReady())
        moveScreen(engine_->ScreenPosition() + engine_->SamplesPerScreen() / 2);
}

// --- notifications ----------------------------------------------------------------------

void TBufferBarVornPrv::EngineNotify(int code, int senderGroup)
{
    TViewBarVornPrv::EngineNotify(code, senderGroup);
    if (!engine_)
        return;
    switch (code) {
    case enBufferViewReady:
        SetViewReady(true);
        placeFromEngine();
        Redraw();
        break;
    case enNormalViewReady:
        placeFromEngine();
        Redraw();
        break;
    case enZoomChanged:
        if (bufferSpan() > 0)
            PlaceHandle(HandlePosition(), engine_->BufferViewValid() ? screenWidthInBar() : PureBarWidth());
        Redraw();
        break;
    default: break;
    }
}

void TBufferBarVornPrv::placeFromEngine()
{
    const int64_t span = bufferSpan();
    if (span <= 0)  // no file yet: the handle keeps its place
        return;
    if (!engine_->BufferViewValid()) {
        PlaceHandle(kEndZone, PureBarWidth());
        return;
    }
    const double start = double(engine_->ScreenPosition()) * PureBarWidth() / double(span);
    PlaceHandle(static_cast<int>(roundHalfEvenClamped(start, 0, INT_MAX / 2)) + kEndZone, screenWidthInBar());
}

void TBufferBarVornPrv::ResizeBar()
{
    ResizeBitmap();
    if (engine_)
        placeFromEngine();
    Redraw();
}

// --- drawing -------------------------------------------------------------------------------

bool TBufferBarVornPrv::HasView() const { return engine_ && engine_->BufferViewValid(); }

void TBufferBarVornPrv::DrawIndexMarks(QImage& image)
{
    const int64_t start = engine_->MainBufferPosition();
    DrawIndexRecordMarks(image, start, start + bufferSpan(), bufferSpan());
}

void TBufferBarVornPrv::DrawCursorMarks(QImage& image)
{
    DrawCursorSpanMarks(image, engine_->MainBufferPosition(), bufferSpan());
}

} // namespace rm::viewer
