#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QPointer>
#include <QString>

// What the panel binders share for the controls they drive: storing a control
// with its user-action hook, and null-safe refresh steps (a binder may be
// refreshed before every control is set, or after the window dropped one).

// Stores `control` in `slot` and routes its user-action `signal` to `handler`,
// run with `binder` as context; a control stored there before no longer
// reaches the binder.
template <typename Control, typename Signal, typename Handler>
void bindControl(QObject* binder, QPointer<Control>& slot, Control* control, Signal signal, Handler handler)
{
    if (slot)
        QObject::disconnect(slot.data(), nullptr, binder, nullptr);
    slot = control;
    if (control)
        QObject::connect(control, signal, binder, std::move(handler));
}

namespace panelview {

inline void setDown(QAbstractButton* button, bool down)
{
    if (button)
        button->setChecked(down);
}

inline void setCaption(QAbstractButton* button, const QString& caption)
{
    if (button)
        button->setText(caption);
}

inline void setEnabled(QWidget* widget, bool enabled)
{
    if (widget)
        widget->setEnabled(enabled);
}

} // namespace panelview
