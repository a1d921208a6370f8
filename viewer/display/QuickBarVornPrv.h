#pragma once

#include "ViewBarVornPrv.h"

namespace rm::viewer {

// The quick bar: the whole data file's envelope from the quick view, and a
// purple handle that marks the main buffer in the file (or the screen, while
// the screen covers more samples than the buffer holds). Clicks and steps
// move the engine at once; a drag moves only the handle until the button is
// released, then the engine once. Each move broadcasts enBufferMoved.
class TQuickBarVornPrv : public TViewBarVornPrv {
    Q_OBJECT

public:
    static constexpr TColor clPurple = 0x800080;

    explicit TQuickBarVornPrv(QWidget* parent = nullptr);

    void SetHandlePosition(int position) override;
    void EngineNotify(int code, int senderGroup) override;

protected:
    void StepBack() override;
    void StepForward() override;
    void PageBack() override;
    void PageForward() override;
    void DrawIndexMarks(QImage& image) override;
    void DrawCursorMarks(QImage& image) override;
    void ResizeBar() override;

private:
    // The handle from the engine's positions (notifications only).
    void placeFromEngine();
    // Moves the main buffer to `to` (buffer view valid); with `keepScreen`
    // the screen stays where it was when the new buffer holds its start.
    void moveBuffer(int64_t to, bool keepScreen);
    void moveScreen(int64_t to);
    int64_t bufferSize() const;
};

} // namespace rm::viewer
