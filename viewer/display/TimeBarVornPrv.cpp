#include "TimeBarVornPrv.h"

#include "DataSource.h"
#include "IndexFileWrapper.h"
#include "WinColor.h"
#include "WinLine.h"
#include "viewer/ViewerStrings.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace rm::viewer {

namespace {

constexpr TColor clBlue = 0xFF0000;
constexpr TColor clRed = 0x0000FF;

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

} // namespace

TTimeBarVornPrv::TTimeBarVornPrv(QWidget* parent) : TGraphicControlVorn(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

TTimeBarVornPrv::~TTimeBarVornPrv() { leaveEngine(); }

void TTimeBarVornPrv::SetPreviewEngine(TPreviewEnginePelkRM* engine)
{
    leaveEngine();
    engine_ = engine;
    if (engine_)
        engine_->RegisterListener(kControlGroup, this, TListenerThread::UserInterface);
}

void TTimeBarVornPrv::leaveEngine()
{
    if (engine_)
        engine_->UnregisterListener(kControlGroup, this);
    engine_ = nullptr;
}

void TTimeBarVornPrv::EngineNotify(int code, int)
{
    switch (code) {
    case enInitialize:
        cursorsBefore_.clear();
        cursorsAfter_.clear();
        break;
    case enShutdown: leaveEngine(); break;
    case enFormResized:
    case enOpenDataFile:
    case enNormalViewReady:
    case enCursorDragged:
    case enVoltageCursorMoved:
    case enVoltageCursorsToggled:
    case enCursorsChanged: Redraw(); break;
    default: break;
    }
}

// --- drawing -----------------------------------------------------------------------

void TTimeBarVornPrv::Redraw()
{
    if (!engine_)
        return;
    if (picture_.size() != size())
        picture_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    picture_.fill(Qt::black);
    QPainter painter(&picture_);
    painter.setPen(toQColor(clYellow));
    drawWinLine(painter, 10, 0, 0, 0);
    drawWinLine(painter, 0, 0, 0, 11);
    drawWinLine(painter, 0, 0, 15, 15);
    drawTexts(painter);
    drawArrows(painter);
    update();
}

void TTimeBarVornPrv::drawTexts(QPainter& painter)
{
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    const auto text = [&](int x, TColor color, const QString& s) {
        painter.setPen(toQColor(color));
        painter.drawText(QRect(x, 3, std::max(width() - x, 0), height()), Qt::AlignLeft | Qt::AlignTop, s);
    };
    const TIndexFileWrapperVornRMPrv* index = dataSource_ ? &dataSource_->Index() : nullptr;
    bool exact = true;
    const QString start = index ? fromStd(index->TimeBetweenSamples(engine_->TimeOriginSample,
                                                                     engine_->ScreenBeginning(), true, exact))
                                : QStringLiteral("?");
    const TColor startColor = exact ? clBlue : clRed;
    text(20, startColor, start);
    const QString division =
        QString(ViewerStrings::TimePerDivisionPrefix) + (index ? fromStd(index->TimePerDivisionText()) : "?");
    text(220, startColor, division);

    QString crosses = ViewerStrings::CrossesTimeOff;
    TColor crossesColor = clBlue;
    if (engine_->VoltageCursorsActive) {
        bool crossesExact = true;
        const std::string time = index ? dataSource_->Cursors().TimeBetween(engine_->AbsoluteScreenCursor,
                                                                            engine_->RelativeScreenCursor, false,
                                                                            crossesExact)
                                       : "?";
        crosses = ViewerStrings::CrossesTimePrefix + fromStd(time);
        crossesColor = crossesExact ? clBlue : clRed;
    }
    text(410, crossesColor, crosses);
    const int h = height();
    painter.setPen(toQColor(crossesColor));
    painter.setBrush(toQColor(crossesColor));
    painter.drawPolygon(QPolygon({QPoint(400, h - 8), QPoint(408, h - 8), QPoint(404, h - 13)}));
    setAccessibleName(start + "   " + division + "   " + crosses);
}

void TTimeBarVornPrv::drawArrows(QPainter& painter)
{
    cursorsBefore_.clear();
    cursorsAfter_.clear();
    if (!engine_->NewFileOpened || !dataSource_)
        return;
    const TCursorObjectTable& cursors = dataSource_->Cursors();
    const int64_t screenStart = engine_->ScreenBeginning();
    cursorsBefore_ = cursors.CursorsBefore(screenStart);
    cursorsAfter_ = cursors.CursorsAfter(screenStart + engine_->SamplesPerScreen());
    const int w = width(), h = height();
    const auto arrow = [&](int cursor, const QPolygon& shape) {
        const QColor color = toQColor(cursors.Cursor(cursor).CursorColor);
        painter.setPen(color);
        painter.setBrush(color);
        painter.drawPolygon(shape);
    };
    for (size_t i = 0; i < cursorsBefore_.size(); ++i) {
        const int left = kFirstLeftArrow + kArrowSlot * static_cast<int>(i);
        arrow(cursorsBefore_[i], QPolygon({QPoint(left, h / 2), QPoint(left + 18, 0), QPoint(left + 18, h)}));
    }
    const int count = static_cast<int>(cursorsAfter_.size());
    for (int i = 0; i < count; ++i) {
        const int left = w - kArrowSlot * (count - i);
        arrow(cursorsAfter_[static_cast<size_t>(i)],
              QPolygon({QPoint(left, 0), QPoint(left + 18, h / 2), QPoint(left, h)}));
    }
}

void TTimeBarVornPrv::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (picture_.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(0, 0, picture_);
}

void TTimeBarVornPrv::resizeEvent(QResizeEvent*) { Redraw(); }

// --- arrows under the mouse ------------------------------------------------------------

std::optional<int> TTimeBarVornPrv::leftSlot(int x) const
{
    const int slot = (x - kFirstLeftArrow) / kArrowSlot;  // toward zero: 531..549 is slot 0
    if (slot < 0 || slot >= static_cast<int>(cursorsBefore_.size()))
        return std::nullopt;
    return slot;
}

std::optional<int> TTimeBarVornPrv::rightSlot(int x) const
{
    const int count = static_cast<int>(cursorsAfter_.size());
    const int slot = (count - 1) - (width() - x) / kArrowSlot;
    if (slot < 0 || slot >= count)
        return std::nullopt;
    return slot;
}

std::optional<int> TTimeBarVornPrv::ArrowCursorAt(int x) const
{
    if (const auto right = rightSlot(x))
        return cursorsAfter_[static_cast<size_t>(*right)];
    if (const auto left = leftSlot(x))
        return cursorsBefore_[static_cast<size_t>(*left)];
    return std::nullopt;
}

QString TTimeBarVornPrv::HintAt(int x) const
{
    const auto cursorIndex = ArrowCursorAt(x);
    if (!cursorIndex || !engine_ || !dataSource_)
        return {};
    const TCursorObjectTable& cursors = dataSource_->Cursors();
    const TGeneralCursorObject& c = cursors.Cursor(*cursorIndex);
    const auto marked = [&cursors](int64_t a, int64_t b, bool addOrigin) {
        return fromStd(cursors.MarkedTimeBetween(a, b, addOrigin));
    };
    QString hint = fromStd(c.CursorName) + "\n" + ViewerStrings::CursorHintTimePrefix;
    if (c.CursorType == ctTimeSynchro)
        hint += fromStd(TPreviewEnginePelkRM::MillisecondsToText(engine_->TimeOriginUserValue));
    else
        hint += marked(engine_->TimeOriginSample, c.SamplePosition, true);
    if (engine_->VoltageCursorsActive)
        hint += QString("\n") + ViewerStrings::CursorHintDeltaPrefix +
                marked(c.SamplePosition, engine_->AbsoluteScreenCursor, false);
    return hint;
}

void TTimeBarVornPrv::CentreCursor(int cursorIndex)
{
    if (!engine_ || !dataSource_)
        return;
    const int64_t p = dataSource_->Cursors().Cursor(cursorIndex).SamplePosition;
    const int64_t half = engine_->SamplesPerScreen() / 2;
    const int64_t screenStart = std::max<int64_t>(p - half, 0);
    if (engine_->BufferViewValid()) {
        const int64_t bufferStart = engine_->SetMainBufferPosition(screenStart);
        engine_->SetScreenPosition(screenStart - bufferStart);
    } else {
        engine_->SetScreenPosition(screenStart);
    }
    engine_->Notify(enBufferMoved, kControlGroup);
}

void TTimeBarVornPrv::mousePressEvent(QMouseEvent* event)
{
    if (const auto cursor = ArrowCursorAt(static_cast<int>(event->position().x())))
        CentreCursor(*cursor);
}

void TTimeBarVornPrv::mouseMoveEvent(QMouseEvent* event)
{
    setHint(HintAt(static_cast<int>(event->position().x())), event->globalPosition().toPoint());
}

void TTimeBarVornPrv::leaveEvent(QEvent*) { setHint({}, {}); }

void TTimeBarVornPrv::setHint(const QString& hint, const QPoint& globalPos)
{
    if (hint == toolTip())
        return;
    setToolTip(hint);
    if (hint.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, hint, this);
}

} // namespace rm::viewer
