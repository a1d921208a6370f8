#pragma once

#include <QLineEdit>
#include <QString>

// A single-line edit with right-aligned text that takes only the characters
// of its set when typed (Backspace always); every other typed character,
// control characters and keyboard shortcuts included, is dropped, so copy and
// paste work only through the context menu. Navigation and Delete keys work.
//
// `OnKeyUp` is emitted on every key release but the auto-repeated ones.
class TFilteredEditVorn : public QLineEdit {
    Q_OBJECT

public:
    TFilteredEditVorn(const QString& acceptedCharacters, QWidget* parent);

signals:
    void OnKeyUp(int key, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Runs before `OnKeyUp` on every key release that emits it.
    virtual void keyReleased(QKeyEvent* event);

private:
    bool takesKey(const QKeyEvent* event) const;

    QString accepted_;
};
