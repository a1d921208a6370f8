#include "ChannelIndicationButton.h"

#include "WinRectangle.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include <algorithm>

namespace {

// The mark, right and bottom edges excluded, while the button is up.
constexpr int kMarkLeft = 26;
constexpr int kMarkTop = 10;
constexpr int kMarkRight = 32;
constexpr int kMarkBottom = 13;
// The face inside the button's bevel.
constexpr int kBevel = 2;

} // namespace

TChannelIndicationButtonVorn::TChannelIndicationButtonVorn(QWidget* parent) : QToolButton(parent) {
    connect(this, &QAbstractButton::clicked, this, &TChannelIndicationButtonVorn::OnClick);
}

void TChannelIndicationButtonVorn::setChannelColor(const QColor& color) {
    channelColor_ = color;
    update();
}

void TChannelIndicationButtonVorn::setCaptionLeft(bool left) {
    captionLeft_ = left;
    update();
}

// The face is the style's, without its caption: the caption is centred in the
// part of the face beside the mark (its blanks, which placed it there in a
// narrower font, left out), so the two never overlap.
void TChannelIndicationButtonVorn::paintEvent(QPaintEvent*) {
    if (!autoRaise())
        buttonDown_ = isDown() || isChecked() ? 1 : 0;
    const int d = buttonDown_;
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    const QString caption = text().trimmed();
    if (!caption.isEmpty()) {
        QRect face = rect().adjusted(kBevel, kBevel, -kBevel, -kBevel).translated(d, d);
        if (captionLeft_)
            face.setRight(kMarkLeft - 2 + d);
        else
            face.setLeft(kMarkRight + 1 + d);
        // A caption wider than that part ("1:1000") is narrowed to fit it.
        const int wide = fontMetrics().horizontalAdvance(caption);
        if (wide > face.width() && face.width() > 0) {
            QFont narrow = font();
            narrow.setStretch(std::max(50, face.width() * 100 / wide));
            painter.setFont(narrow);
        }
        painter.drawItemText(face, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), caption,
                             QPalette::ButtonText);
    }
    markRect_ = QRect(QPoint(kMarkLeft + d, kMarkTop + d), QPoint(kMarkRight - 1 + d, kMarkBottom - 1 + d));
    painter.setPen(Qt::black);
    painter.setBrush(channelColor_);
    rm::drawWinRectangle(painter, kMarkLeft + d, kMarkTop + d, kMarkRight + d, kMarkBottom + d);
}

void TChannelIndicationButtonVorn::mousePressEvent(QMouseEvent* event) {
    QToolButton::mousePressEvent(event);
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

// The release is told before the click it makes.
void TChannelIndicationButtonVorn::mouseReleaseEvent(QMouseEvent* event) {
    emit OnMouseUp(event->button(), event->modifiers(), event->position().toPoint());
    QToolButton::mouseReleaseEvent(event);
}
