#include "CommitEdit.h"

#include <QApplication>
#include <QKeyEvent>

TCommitEditVorn::TCommitEditVorn(const QString& acceptedCharacters, QWidget* parent)
    : TFilteredEditVorn(acceptedCharacters, parent) {}

void TCommitEditVorn::keyReleased(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        setUncommitted(true);
    else if (CommitText())
        setUncommitted(false);
}

void TCommitEditVorn::setUncommitted(bool uncommitted) {
    uncommitted_ = uncommitted;
    const QColor color = uncommitted ? QColor(Qt::blue) : QApplication::palette(this).color(QPalette::Text);
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::Text, color);
    p.setColor(QPalette::Inactive, QPalette::Text, color);
    setPalette(p);
}
