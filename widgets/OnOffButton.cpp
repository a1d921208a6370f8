#include "OnOffButton.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace {

// The rectangle inside the button's bevel.
constexpr int kBevel = 2;

} // namespace

// The glyphs live in this static library's resources, which the linker keeps
// only when something names them.
static void loadWidgetResources() {
    static const bool loaded = [] {
        Q_INIT_RESOURCE(widgets);
        return true;
    }();
    (void)loaded;
}

TOnOffButtonVorn::TOnOffButtonVorn(QWidget* parent) : QToolButton(parent) {
    loadWidgetResources();
    glyphs_.load(QStringLiteral(":/widgets/IDB_BUTTONS_ONOFF"));
    setCheckable(true);
    connect(this, &QAbstractButton::clicked, this, &TOnOffButtonVorn::OnClick);
}

TOnOffButtonVorn::GlyphState TOnOffButtonVorn::glyphState() const {
    if (!isEnabled())
        return GlyphDisabled;
    if (isDown())
        return GlyphPressed;
    return isChecked() ? GlyphDown : GlyphUp;
}

void TOnOffButtonVorn::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);

    // Glyph at the face's right edge, caption right-aligned beside it; both
    // move one pixel right and down with a pressed face.
    const GlyphState state = glyphState();
    const int shift = state == GlyphPressed || state == GlyphDown ? 1 : 0;
    const QRect face = rect().adjusted(kBevel, kBevel, -kBevel, -kBevel).translated(shift, shift);
    // A picture button (no caption) shows its glyph in the middle.
    const QSize glyph = glyphSize();
    const int glyphLeft = text().isEmpty() ? face.left() + (face.width() - glyph.width()) / 2
                                           : face.right() + 1 - kGlyphMargin - glyph.width();
    const QPoint glyphAt(glyphLeft, face.top() + (face.height() - glyph.height()) / 2);
    painter.drawPixmap(glyphAt, glyphs_, QRect(QPoint(state * glyph.width(), 0), glyph));
    QRect caption = face;
    caption.setRight(glyphAt.x() - kGlyphSpacing - 1);
    painter.drawItemText(caption, Qt::AlignRight | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                         isEnabled(), text(), QPalette::ButtonText);
}

void TOnOffButtonVorn::setGlyphs(const QPixmap& strip) {
    glyphs_ = strip;
    updateGeometry();
    update();
}

QSize TOnOffButtonVorn::glyphSize() const {
    return {glyphs_.width() / 4, glyphs_.height()};
}

QSize TOnOffButtonVorn::sizeHint() const {
    const QSize glyph = glyphSize();
    const int textWidth = fontMetrics().horizontalAdvance(text());
    const int height = std::max(fontMetrics().height(), glyph.height()) + 2 * kBevel + 4;
    return {textWidth + kGlyphSpacing + glyph.width() + kGlyphMargin + 2 * kBevel + 6, height};
}
