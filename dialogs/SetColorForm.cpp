#include "SetColorForm.h"

#include "ShellSeams.h"
#include "dialogs/DialogStrings.h"
#include "ui_SetColorForm.h"

#include <utility>

TSetColorForm::TSetColorForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TSetColorForm>()) {
    ui_->setupUi(this);
    setWindowTitle(DialogStrings::ColorSettingsCaption);
    setFixedSize(size());

    ui_->LabelChannelA->setText(QString(DialogStrings::ColorChannel) + DialogStrings::ColorChannelSuffixA);
    ui_->LabelChannelB->setText(QString(DialogStrings::ColorChannel) + DialogStrings::ColorChannelSuffixB);
    ui_->LabelGrid->setText(DialogStrings::ColorGrid);
    ui_->LabelBackground->setText(DialogStrings::ColorBackground);
    ui_->fButtonOK->setText(DialogStrings::ColorOK);
    ui_->fButtonCancel->setText(DialogStrings::ColorCancel);

    // Each "Set" button is named after the label beside it, so a screen
    // reader tells the four apart.
    const std::pair<TChannelIndicationButtonVorn*, QLabel*> rows[] = {
        {ui_->fButtonSetColorA, ui_->LabelChannelA},
        {ui_->fButtonSetColorB, ui_->LabelChannelB},
        {ui_->fButtonSetColorGrid, ui_->LabelGrid},
        {ui_->fButtonSetColorBackground, ui_->LabelBackground},
    };
    for (const auto& [button, label] : rows) {
        button->setText(DialogStrings::ColorSetButton);
        button->setAccessibleName(button->text().trimmed() + ' ' + label->text().simplified());
        connect(button, &TChannelIndicationButtonVorn::OnClick, this, [this, button] { pickColorFor(button); });
    }
    connect(ui_->fButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->fButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TSetColorForm::~TSetColorForm() = default;

void TSetColorForm::SetColors(const TDisplayColors& colors) {
    ui_->fButtonSetColorA->setChannelColor(rm::toQColor(colors.channelA));
    ui_->fButtonSetColorB->setChannelColor(rm::toQColor(colors.channelB));
    ui_->fButtonSetColorGrid->setChannelColor(rm::toQColor(colors.grid));
    ui_->fButtonSetColorBackground->setChannelColor(rm::toQColor(colors.background));
}

TDisplayColors TSetColorForm::Colors() const {
    return {rm::toWinColor(ui_->fButtonSetColorA->ChannelColor()),
            rm::toWinColor(ui_->fButtonSetColorB->ChannelColor()),
            rm::toWinColor(ui_->fButtonSetColorGrid->ChannelColor()),
            rm::toWinColor(ui_->fButtonSetColorBackground->ChannelColor())};
}

void TSetColorForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The toolkit hands the first focus to the default button (Cancel).
    ui_->fButtonOK->setFocus(Qt::OtherFocusReason);
}

void TSetColorForm::pickColorFor(TChannelIndicationButtonVorn* button) {
    const auto picked = rm::shell().pickColor(this, lastConfirmed_);
    if (!picked || !picked->isValid())
        return;
    lastConfirmed_ = *picked;
    button->setChannelColor(*picked);
}
