#include "SafeLabel.h"

#include "LabelRepaintQueue.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QPainter>

#include <utility>

namespace {

// A copy that shares no characters with `text`. The stored text is only ever
// copied this way, so its characters are made, read and freed under the
// label's lock and never by two threads through a shared string.
QString unshared(const QString& text) {
    return QString(text.constData(), text.size());
}

} // namespace

// The paint covers the whole label, so its parent need not be painted first:
// a new reading repaints the label alone, not the panel around it.
TSafeLabel::TSafeLabel(QWidget* parent)
    : TGraphicControlVorn(parent), repaints_(LabelRepaintQueue::forThisApplication()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TSafeLabel::~TSafeLabel() { repaints_.forget(*this); }

QString TSafeLabel::MyString() const {
    std::lock_guard lock(lock_);
    return unshared(text_);
}

// A text equal to the one shown costs no repaint, unless the label leaves
// the bold of a held reading.
void TSafeLabel::setMyString(const QString& text) {
    {
        std::lock_guard lock(lock_);
        if (hovered_) {
            held_ = true;
            return;
        }
        const bool wasHeld = std::exchange(held_, false);
        if (!wasHeld && text == text_)
            return;
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
    if (!repaintQueued_.exchange(true))
        repaints_.request(*this);
}

// The text painted is the label's accessible name too: screen readers read
// what a person sees, not the title of the group the label sits in.
void TSafeLabel::repaintNow() {
    repaintQueued_ = false;
    const QString text = MyString();
    if (accessibleName() != text)
        setAccessibleName(text);
    update();
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
