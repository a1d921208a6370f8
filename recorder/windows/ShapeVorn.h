#pragma once

#include "WinColor.h"

#include <QColor>
#include <QWidget>

// A filled shape of the main window: the channel colour swatches of the
// information panels (rectangles) and the trigger and arm lamps (circles).
// It only shows; the colour is set on the user-interface thread. The brush
// colour is the palette's window colour, so code that colours any widget
// through its palette colours the shape as well.
class TShapeVorn : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Circle READ Circle WRITE setCircle)
    Q_PROPERTY(QColor BrushColor READ BrushColor WRITE setBrushColor)

public:
    explicit TShapeVorn(QWidget* parent = nullptr);

    bool Circle() const { return circle_; }
    void setCircle(bool circle);
    QColor BrushColor() const;
    void setBrushColor(const QColor& color);
    // The same with a Windows colour value (0x00BBGGRR).
    void setBrushWinColor(rm::WinColor color) { setBrushColor(rm::toQColor(color)); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool circle_ = false;
};
