#pragma once

#include "WinColor.h"

#include <QColor>
#include <QDialog>

#include <memory>

namespace Ui {
class TSetColorForm;
}
class TChannelIndicationButtonVorn;

// "Color settings": four "Set" buttons, each showing its colour, that open
// one colour dialog; OK keeps the picks, Cancel (the default button, also
// Escape and closing the window) drops them. The caller fills it with
// SetColors, runs it and reads Colors after OK; the dialog changes nothing
// outside itself. OK has the focus when it opens.
class TSetColorForm : public QDialog {
    Q_OBJECT

public:
    explicit TSetColorForm(QWidget* parent = nullptr);
    ~TSetColorForm() override;

    void SetColors(const TDisplayColors& colors);
    TDisplayColors Colors() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Runs the colour dialog for `button`; a confirmed colour becomes the
    // button's and the one the dialog opens with next time.
    void pickColorFor(TChannelIndicationButtonVorn* button);

    std::unique_ptr<Ui::TSetColorForm> ui_;
    // The colour last confirmed in the colour dialog (black at first); a
    // cancelled pick leaves it as it is.
    QColor lastConfirmed_ = Qt::black;
};
