#include "GraphicControl.h"

#include <QEvent>

TGraphicControlVorn::TGraphicControlVorn(QWidget* parent) : QWidget(parent) {}

void TGraphicControlVorn::setShowHint(bool show) {
    showHint_ = show;
    parentShowHint_ = false;
}

bool TGraphicControlVorn::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !parentShowHint_ && !showHint_) {
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}
