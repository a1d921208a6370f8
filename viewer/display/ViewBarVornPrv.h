#pragma once

#include "GraphicControl.h"
#include "PreviewEngine.h"

#include <QImage>
#include <QPointer>
#include <QTimer>

#include <cstdint>

namespace rm::viewer {

class TDataSourcePelkRMPrv;
struct TViewPoints;
enum class TViewKind;

// A scroll-bar-like strip under the main display: a trough with an end zone
// of 10 pixels at each end, a draggable handle, auto-repeat while the mouse
// is held on an end zone or beside the handle, and behind the handle the
// envelope of one of the data source's views with red marks at the index
// records and coloured marks at the cursors.
//
// The two bars (quick bar, buffer bar) decide which view they show, what the
// handle stands for and how user input moves the engine. Notifications only place the handle and
// redraw: moving the engine from a notification would make the data source
// rebuild the views, which notifies again.
//
// The bar is a user-interface listener, so every notification reaches it on
// the user-interface thread; it reads its view under the data source's view
// lock while it draws the envelope.
class TViewBarVornPrv : public TGraphicControlVorn, public IEngineListener {
    Q_OBJECT

public:
    static constexpr int kEndZone = 10;
    static constexpr int kRepeatMs = 500;

    TViewBarVornPrv(int controlGroup, TViewKind viewKind, TColor handlerColor, QWidget* parent);
    ~TViewBarVornPrv() override;

    // Links; setting the engine registers the bar with its ControlGroup (a
    // previous link is left first).
    void SetDataModule(TDataSourcePelkRMPrv* dataSource) { dataSource_ = dataSource; }
    TDataSourcePelkRMPrv* DataModule() const { return dataSource_; }
    void SetPreviewEngine(TPreviewEnginePelkRM* engine);
    TPreviewEnginePelkRM* PreviewEngine() const { return engine_; }
    // The auto-repeat timer (not owned); the setter stops it. A timer that
    // goes before the bar is let go: the bar never touches it afterwards.
    void SetBarTimer(QTimer* timer);
    QTimer* BarTimer() const { return timer_; }

    int ControlGroup() const { return controlGroup_; }
    TColor HandlerColor() const { return handlerColor_; }
    void SetHandlerColor(TColor color);
    int HandleWidth() const { return handleWidth_; }
    // A handle wider than the trough is cut to it and put at its start.
    void SetHandleWidth(int width);
    int HandlePosition() const { return handlePosition_; }
    // User input: places the handle (clamped to the trough) and, in the
    // bars, moves the engine to where it stands.
    virtual void SetHandlePosition(int position);
    int PureBarWidth() const { return pureBarWidth_; }
    bool ViewReady() const { return viewReady_; }
    bool Dragging() const { return dragging_; }

    void EngineNotify(int code, int senderGroup) override;

    // Draws the picture anew (background, envelope, marks, handle) and asks
    // for a repaint. Nothing while no engine is linked.
    void Redraw();
    // The picture as last drawn (for tests and printing).
    const QImage& Picture() const { return picture_; }

protected:
    virtual void StepBack();
    virtual void StepForward();
    virtual void PageBack();
    virtual void PageForward();
    // Whether the bar's view stands for what the handle moves in; without it
    // the trough stays empty and no handle is drawn.
    virtual bool HasView() const { return true; }
    virtual void DrawIndexMarks(QImage&) {}
    virtual void DrawCursorMarks(QImage&) {}
    virtual void ResizeBar() = 0;

    // A red line over the full height at x, when x lies in the trough.
    void DrawMark(QImage& image, int64_t x, TColor color) const;
    // Index marks for the records from `start` to `end` over `span` samples:
    // x = round((first sample after the record's run - start) / ratio) + 9.
    // Nothing until the bar's view is ready.
    void DrawIndexRecordMarks(QImage& image, int64_t start, int64_t end, int64_t span) const;
    // Cursor marks for waveform and origin cursors strictly inside the span.
    void DrawCursorSpanMarks(QImage& image, int64_t start, int64_t length) const;

    // Places the handle from a notification: fields only, then clamps.
    void PlaceHandle(int position, int width);
    // The bitmap to the control's size, PureBarWidth and VerticalScale.
    void ResizeBitmap();
    // The handle kept inside the trough: at least 10 from either edge.
    void ClampHandle();
    // Composes the handle onto a fresh copy of the picture and repaints.
    void ComposeHandle();
    void SetViewReady(bool ready) { viewReady_ = ready; }
    bool RepositionOnSet() const { return repositionOnSet_; }
    // The engine, its main buffer size known (the main buffer allocated).
    bool EngineReady() const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    TPreviewEnginePelkRM* engine_ = nullptr;
    TDataSourcePelkRMPrv* dataSource_ = nullptr;

private:
    enum class Repeat { None, StepBack, StepForward, PageBack, PageForward };

    void InitBar();
    void leaveEngine();
    // The envelope of the bar's view (read under its view lock) over the
    // trough: at most one column per pixel, each joined to the previous one.
    void DrawEnvelope(QImage& image) const;
    void DrawViewEnvelope(QImage& image, const TViewPoints& view) const;
    void runRepeat();
    void onTimer();
    void stopRepeat();
    // Its row for a sample code: round((255 - v) x VerticalScale).
    int row(int code) const;

    const int controlGroup_;
    const TViewKind viewKind_;
    TColor handlerColor_;
    QPointer<QTimer> timer_;
    QImage background_;  // everything but the handle
    QImage picture_;     // background_ with the handle XOR-composed
    int handleWidth_ = 0;
    int handlePosition_ = kEndZone;
    int pureBarWidth_ = kEndZone;
    double verticalScale_ = 0;
    bool viewReady_ = false;
    bool dragging_ = false;
    int dragX_ = 0;
    bool repositionOnSet_ = true;
    Repeat repeat_ = Repeat::None;
};

} // namespace rm::viewer
