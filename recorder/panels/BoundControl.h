#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

#include <initializer_list>
#include <utility>

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

// Stores `button` in `slot` and hands its clicks (our buttons' OnClick, a
// Qt button's clicked) to the binder's `onClick` with the button as the
// sender, for a binder that tells its buttons apart in one click handler.
template <typename Binder, typename Button, typename Sender>
void bindClick(Binder* binder, QPointer<Button>& slot, Button* button, void (Binder::*onClick)(Sender*))
{
    auto handler = [binder, button, onClick] { (binder->*onClick)(button); };
    if constexpr (requires { &Button::OnClick; })
        bindControl(binder, slot, button, &Button::OnClick, std::move(handler));
    else
        bindControl(binder, slot, button, &Button::clicked, std::move(handler));
}

// Enter on either keyboard: Return on the main block, Enter on the keypad.
inline bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Stores `edit` in `slot` and runs `handler` when Enter is released in it;
// the edit has committed the typed text by then.
template <typename Edit, typename Handler>
void bindEnter(QObject* binder, QPointer<Edit>& slot, Edit* edit, Handler handler)
{
    bindControl(binder, slot, edit, &Edit::OnKeyUp,
                [handler = std::move(handler)](int key, Qt::KeyboardModifiers) {
                    if (isEnterKey(key))
                        handler();
                });
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

// Paints the channel mark of every button that is set with `color`.
template <typename Button>
void setChannelColor(std::initializer_list<Button*> buttons, const QColor& color)
{
    for (Button* button : buttons)
        if (button)
            button->setChannelColor(color);
}

} // namespace panelview
