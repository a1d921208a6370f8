#include "SafeLabel.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {

// A copy that shares no characters with `text`. The stored text is only ever
// copied this way, so its characters are made, read and freed under the
// label's lock and never by two threads through a shared string.
QString unshared(const QString& text) {
    return QString(text.constData(), text.size());
}

} // namespace

TSafeLabel::TSafeLabel(QWidget* parent) : TGraphicControlVorn(parent) {}

QString TSafeLabel::MyString() const {
    std::lock_guard lock(lock_);
    return unshared(text_);
}

void TSafeLabel::setMyString(const QString& text) {
    {
        std::lock_guard lock(lock_);
        if (hovered_) {
            held_ = true;
            return;
        }
        held_ = false;
        text_ = unshared(text);
    }
    queueRepaint();
}

bool TSafeLabel::isHovered() const {
    std::lock_guard lock(lock_);
    return hovered_;
}

bool TSafeLabel::isHeld() const {
    std::lock_guard lock(lock_);
    return held_;
}

// Any thread: only the user-interface thread touches the widget. Texts that
// come faster than it paints share one repaint.
void TSafeLabel::queueRepaint() {
    if (repaintQueued_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        &repaintRelay_,
        [this] {
            repaintQueued_ = false;
            update();
        },
        Qt::QueuedConnection);
}

void TSafeLabel::setHovered(bool hovered) {
    if (!mouseSensitive_)
        return;
    {
        std::lock_guard lock(lock_);
        hovered_ = hovered;
    }
    update();
}

void TSafeLabel::enterEvent(QEnterEvent* event) {
    setHovered(true);
    TGraphicControlVorn::enterEvent(event);
}

void TSafeLabel::leaveEvent(QEvent* event) {
    setHovered(false);
    TGraphicControlVorn::leaveEvent(event);
}

void TSafeLabel::paintEvent(QPaintEvent*) {
    QString text;
    bool bold = false;
    {
        std::lock_guard lock(lock_);
        text = unshared(text_);
        bold = hovered_ || held_;
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    QFont font = painter.font();
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, text);
}

QSize TSafeLabel::sizeHint() const {
    QFont font = this->font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(MyString()) + 2, metrics.height()};
}
