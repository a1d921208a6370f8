#pragma once

#include "GraphicControl.h"
#include "PreviewEngine.h"

#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace rm::viewer {

class TDataSourcePelkRMPrv;

// The strip under the main display that says where the screen lies in time:
// the time of the screen's first sample from the time origin, the time per
// division and the time between the two voltage crosses (blue when exact,
// red when an overrun lies in the span). For every cursor left or right of
// the screen it draws an arrow in the cursor's colour; resting the mouse on
// an arrow shows the cursor's name and time, a click brings the cursor into
// the middle of the screen.
//
// A user-interface listener with group 0; notifications only redraw.
class TTimeBarVornPrv : public TGraphicControlVorn, public IEngineListener {
    Q_OBJECT

public:
    static constexpr int kControlGroup = kGroupNone;
    static constexpr int kFirstLeftArrow = 550;
    static constexpr int kArrowSlot = 20;

    explicit TTimeBarVornPrv(QWidget* parent = nullptr);
    ~TTimeBarVornPrv() override;

    void SetDataModule(TDataSourcePelkRMPrv* dataSource) { dataSource_ = dataSource; }
    TDataSourcePelkRMPrv* DataModule() const { return dataSource_; }
    void SetPreviewEngine(TPreviewEnginePelkRM* engine);
    TPreviewEnginePelkRM* PreviewEngine() const { return engine_; }

    void EngineNotify(int code, int senderGroup) override;

    // Draws the picture anew and asks for a repaint; nothing while no engine
    // is linked.
    void Redraw();
    const QImage& Picture() const { return picture_; }

    // The cursor-table index of the arrow under x, as last drawn. Where a
    // left and a right arrow overlap, the right one (drawn last) wins.
    std::optional<int> ArrowCursorAt(int x) const;
    // The hint of the arrow under x; empty when there is none.
    QString HintAt(int x) const;
    // Moves the view so that the cursor lies in the middle of the screen and
    // broadcasts enBufferMoved.
    void CentreCursor(int cursorIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void leaveEngine();
    // The list entry of the arrow in x's slot, when there is one.
    std::optional<int> leftSlot(int x) const;
    std::optional<int> rightSlot(int x) const;
    void drawTexts(QPainter& painter);
    void drawArrows(QPainter& painter);
    void setHint(const QString& hint, const QPoint& globalPos);

    TPreviewEnginePelkRM* engine_ = nullptr;
    TDataSourcePelkRMPrv* dataSource_ = nullptr;
    QImage picture_;
    std::vector<int> cursorsBefore_;  // cursor-table indices, nearest last
    std::vector<int> cursorsAfter_;   // nearest first
};

} // namespace rm::viewer
