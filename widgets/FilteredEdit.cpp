#include "FilteredEdit.h"

#include <QKeyEvent>

TFilteredEditVorn::TFilteredEditVorn(const QString& acceptedCharacters, QWidget* parent)
    : QLineEdit(parent), accepted_(acceptedCharacters) {
    setAlignment(Qt::AlignRight);
}

bool TFilteredEditVorn::takesKey(const QKeyEvent* event) const {
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (event->key()) {
    case Qt::Key_Backspace:
        return !shortcut;
    // Keys that type no character: moving, selecting, deleting forward, and
    // the dialog keys.
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    if (shortcut || event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Copy) ||
        event->matches(QKeySequence::Cut))
        return false;
    const QString text = event->text();
    return text.isEmpty() || (text.size() == 1 && accepted_.contains(text.front()));
}

void TFilteredEditVorn::keyPressEvent(QKeyEvent* event) {
    if (takesKey(event))
        QLineEdit::keyPressEvent(event);
    else
        event->accept();  // dropped
}

void TFilteredEditVorn::keyReleaseEvent(QKeyEvent* event) {
    // A held key repeats its press but is released once.
    if (!event->isAutoRepeat()) {
        keyReleased(event);
        emit OnKeyUp(event->key(), event->modifiers());
    }
    QLineEdit::keyReleaseEvent(event);
}

void TFilteredEditVorn::keyReleased(QKeyEvent*) {}
