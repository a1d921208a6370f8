#include "HintSwitch.h"

#include <QCoreApplication>
#include <QEvent>

HintSwitch::HintSwitch(QObject* parent) : QObject(parent) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

HintSwitch::~HintSwitch() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool HintSwitch::eventFilter(QObject* watched, QEvent* event) {
    if (!shown_ && event->type() == QEvent::ToolTip)
        return true;
    return QObject::eventFilter(watched, event);
}
