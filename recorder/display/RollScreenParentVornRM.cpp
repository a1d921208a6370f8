#include "RollScreenParentVornRM.h"

#include "ColumnPainter.h"
#include "VirtualScopeVornRM.h"

#include <QMetaObject>
#include <QPainter>
#include <QThread>

TRollScreenParentVornRM::TRollScreenParentVornRM(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TRollScreenParentVornRM::~TRollScreenParentVornRM() {
    if (virtualScope_)
        virtualScope_->UnregisterListener(this);
}

void TRollScreenParentVornRM::SetVirtualScope(TVirtualScopeVornRM* scope) {
    if (virtualScope_)
        virtualScope_->UnregisterListener(this);
    {
        std::lock_guard lock(lock_);
        virtualScope_ = scope;
    }
    if (scope)
        scope->RegisterListener(controlGroup_, this,
                                [this](TScopeNotifyCode code, int&) { ScopeNotify(code); });
}

void TRollScreenParentVornRM::ScopeNotify(TScopeNotifyCode code) {
    switch (code) {
    case TScopeNotifyCode::snSettingsChanged:
    case TScopeNotifyCode::snMainWindowResized:
    case TScopeNotifyCode::snGridBrightnessChanged:
        if (isVisible())
            redraw();
        break;
    case TScopeNotifyCode::snShutdown:
        SetVirtualScope(nullptr);
        break;
    default:
        break;
    }
}

void TRollScreenParentVornRM::NewData(const uint16_t* words, int64_t count) {
    std::lock_guard lock(lock_);
    if (!virtualScope_ || !virtualScope_->DisplayActive())
        return;
    const DisplaySettings settings = DisplaySettings::read(*virtualScope_);
    const int64_t added = rings_.AddSamples(words, count, settings.samplesPerColumn, backBitmap_.width());
    if (added <= 0 || backBitmap_.isNull())
        return;
    ColumnPainter painter(backBitmap_, rings_, settings);
    appendColumns(painter, added);
    requestRepaint();
}

void TRollScreenParentVornRM::ResizeBuffer() { clear(true); }

void TRollScreenParentVornRM::ClearScreen() { clear(false); }

void TRollScreenParentVornRM::clear(bool resized) {
    std::lock_guard lock(lock_);
    const DisplaySettings settings = virtualScope_ ? DisplaySettings::read(*virtualScope_) : DisplaySettings{};
    fitBitmap();
    rings_.emptyRings();
    if (resized)
        rings_.emptyAccumulator();
    if (backBitmap_.isNull())
        return;
    ColumnPainter painter(backBitmap_, rings_, settings);
    painter.fillBackground(0, painter.width());
    restart(painter, resized);
    requestRepaint();
}

void TRollScreenParentVornRM::redraw() {
    std::lock_guard lock(lock_);
    const DisplaySettings settings = virtualScope_ ? DisplaySettings::read(*virtualScope_) : DisplaySettings{};
    fitBitmap();
    if (!settings.displayActive || backBitmap_.isNull())
        return;
    ColumnPainter painter(backBitmap_, rings_, settings);
    painter.fillBackground(0, painter.width());
    redrawContents(painter);
    // Before the first column only the background and the grid are shown.
    if (rings_.columnsHeld() > 0)
        painter.groundLines();
    requestRepaint();
}

void TRollScreenParentVornRM::fitBitmap() {
    const QSize size = this->size();
    if (backBitmap_.size() == size)
        return;
    QImage fitted(size, QImage::Format_RGB32);
    fitted.fill(Qt::black);
    if (!backBitmap_.isNull() && !fitted.isNull()) {
        QPainter copy(&fitted);
        copy.drawImage(0, 0, backBitmap_);
    }
    backBitmap_ = std::move(fitted);
}

QImage TRollScreenParentVornRM::Picture() const {
    std::lock_guard lock(lock_);
    return backBitmap_.copy();
}

void TRollScreenParentVornRM::requestRepaint() {
    if (QThread::currentThread() == thread()) {
        update();
        return;
    }
    // One queued repaint at a time; the worker never waits for it.
    if (!repaintQueued_.exchange(true))
        QMetaObject::invokeMethod(this, [this] {
            repaintQueued_ = false;
            update();
        }, Qt::QueuedConnection);
}

void TRollScreenParentVornRM::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    std::lock_guard lock(lock_);
    painter.drawImage(0, 0, backBitmap_);
}

void TRollScreenParentVornRM::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible())
        redraw();
}

void TRollScreenParentVornRM::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    redraw();
}
