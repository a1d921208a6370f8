#pragma once

#include "ViewBarVornPrv.h"

namespace rm::viewer {

// The buffer bar: the main buffer's envelope from the buffer view, and a
// maroon handle that marks the screen in the buffer. Clicks, steps and every
// move of a drag move the screen and broadcast enScreenMoved. While the
// screen covers more samples than the buffer holds (no valid buffer view)
// the bar shows that it has no view: the trough stays empty, without a
// handle; a drag there does nothing and the end zones step the screen's
// absolute position by a screen.
class TBufferBarVornPrv : public TViewBarVornPrv {
    Q_OBJECT

public:
    static constexpr TColor clMaroon = 0x000080;

    explicit TBufferBarVornPrv(QWidget* parent = nullptr);

    void SetHandlePosition(int position) override;
    void EngineNotify(int code, int senderGroup) override;

protected:
    void StepBack() override;
    void StepForward() override;
    void PageBack() override;
    void PageForward() override;
    bool HasView() const override;
    void DrawIndexMarks(QImage& image) override;
    void DrawCursorMarks(QImage& image) override;
    void ResizeBar() override;

private:
    // The samples the buffer holds: the one denominator of every handle
    // formula, so the handle keeps its place at the end of a file.
    int64_t bufferSpan() const;
    // The handle width that stands for the last normal view's samples.
    int screenWidthInBar() const;
    void placeFromEngine();
    void moveScreen(int64_t to);
};

} // namespace rm::viewer
