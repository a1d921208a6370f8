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
    const QPoint glyphAt(face.right() + 1 - kGlyphMargin - kGlyphSize,
                         face.top() + (face.height() - kGlyphSize) / 2);
    painter.drawPixmap(glyphAt, glyphs_, QRect(state * kGlyphSize, 0, kGlyphSize, kGlyphSize));
    QRect caption = face;
    caption.setRight(glyphAt.x() - kGlyphSpacing - 1);
    painter.drawItemText(caption, Qt::AlignRight | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                         isEnabled(), text(), QPalette::ButtonText);
}

QSize TOnOffButtonVorn::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text());
    const int height = std::max(fontMetrics().height(), kGlyphSize) + 2 * kBevel + 4;
    return {textWidth + kGlyphSpacing + kGlyphSize + kGlyphMargin + 2 * kBevel + 6, height};
}
