#pragma once

#include <QPixmap>
#include <QToolButton>

// The two-state push button of the panels: a click toggles its down state
// (isChecked), and a lamp glyph right of the caption shows the state: up,
// disabled, pressed (while the mouse holds it) and down. The glyphs are the
// four 10 x 10 pictures of the resource "IDB_BUTTONS_ONOFF". A picture
// button takes another strip of four glyphs and no caption.
class TOnOffButtonVorn : public QToolButton {
    Q_OBJECT

public:
    explicit TOnOffButtonVorn(QWidget* parent = nullptr);

    static constexpr int kGlyphSize = 10;
    static constexpr int kGlyphMargin = 1;   // from the glyph to the face's right edge
    static constexpr int kGlyphSpacing = 4;  // from the caption to the glyph

    enum GlyphState { GlyphUp = 0, GlyphDisabled = 1, GlyphPressed = 2, GlyphDown = 3 };
    GlyphState glyphState() const;

    // Replaces the lamp by `strip`: four glyphs of equal width side by side,
    // in the order of GlyphState.
    void setGlyphs(const QPixmap& strip);
    QSize glyphSize() const;

    QSize sizeHint() const override;

signals:
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap glyphs_;
};
