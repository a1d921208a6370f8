#include "DemoSetupForm.h"

#include "MessageBoxes.h"
#include "NumberText.h"
#include "VirtualScopeVornRM.h"
#include "recorder/RecorderStrings.h"
#include "ui_DemoSetupForm.h"

#include <cmath>
#include <limits>
#include <tuple>

TDemoSetupForm::TDemoSetupForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TDemoSetupForm>()) {
    ui_->setupUi(this);
    setFixedSize(size());
    setWindowTitle(RecorderStrings::DemoSetupCaption);

    ui_->AmplitudeLabel->setText(RecorderStrings::DemoAmplitude);
    ui_->PeriodLabel->setText(RecorderStrings::DemoPeriod);
    ui_->NoiseLabel->setText(RecorderStrings::DemoNoise);
    ui_->ChannelALabel->setText(RecorderStrings::DemoChannelA);
    ui_->ChannelBLabel->setText(RecorderStrings::DemoChannelB);
    ui_->AmplitudeUnitLabel->setText(RecorderStrings::DemoMillivolts);
    ui_->PeriodUnitLabel->setText(RecorderStrings::DemoMilliseconds);
    ui_->NoiseUnitLabel->setText(RecorderStrings::DemoMillivolts);
    ui_->Button1->setText(RecorderStrings::DemoOK);
    ui_->Button2->setText(RecorderStrings::DemoCancel);
    // Shown while the program's "Tool tip help" is on.
    ui_->AmplitudeLabel->setToolTip(RecorderStrings::DemoAmplitudeHint);
    ui_->PeriodLabel->setToolTip(RecorderStrings::DemoPeriodHint);
    ui_->NoiseLabel->setToolTip(RecorderStrings::DemoNoiseHint);

    // Each edit is named by its row and its column, as a person reads the
    // grid; the row titles are the first column's buddies.
    const std::tuple<QLabel*, TNumEditVorn*, TNumEditVorn*> rows[] = {
        {ui_->AmplitudeLabel, ui_->AmpChannelA, ui_->AmpChannelB},
        {ui_->PeriodLabel, ui_->PeriodChannelA, ui_->PeriodChannelB},
        {ui_->NoiseLabel, ui_->NoiseChannelA, ui_->NoiseChannelB},
    };
    for (const auto& [row, channelA, channelB] : rows) {
        row->setBuddy(channelA);
        channelA->setAccessibleName(row->text() + ' ' + ui_->ChannelALabel->text());
        channelB->setAccessibleName(row->text() + ' ' + ui_->ChannelBLabel->text());
    }

    // The values the design shows until a scope is set.
    ui_->AmpChannelA->setNumValue(20);
    ui_->AmpChannelB->setNumValue(10);
    ui_->PeriodChannelA->setNumValue(300);
    ui_->PeriodChannelB->setNumValue(100);
    ui_->NoiseChannelA->setNumValue(300);
    ui_->NoiseChannelB->setNumValue(100);

    connect(ui_->Button1, &QPushButton::clicked, this, &TDemoSetupForm::accept);
    connect(ui_->Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TDemoSetupForm::~TDemoSetupForm() = default;

void TDemoSetupForm::SetVirtualScope(TVirtualScopeVornRM& scope) {
    ui_->PeriodChannelA->setNumValue(scope.PeriodA());
    ui_->PeriodChannelB->setNumValue(scope.PeriodB());
    ui_->AmpChannelA->setNumValue(scope.AmplitudeA());
    ui_->AmpChannelB->setNumValue(scope.AmplitudeB());
    ui_->NoiseChannelA->setNumValue(scope.NoiseA());
    ui_->NoiseChannelB->setNumValue(scope.NoiseB());
}

TDemoWaveform TDemoSetupForm::Values() const {
    const auto value = [](const TNumEditVorn* edit) { return wholeValue(*edit).value_or(0); };
    return {value(ui_->PeriodChannelA), value(ui_->PeriodChannelB), value(ui_->AmpChannelA),
            value(ui_->AmpChannelB),    value(ui_->NoiseChannelA),  value(ui_->NoiseChannelB)};
}

void TDemoSetupForm::accept() {
    if (TNumEditVorn* field = refusedField()) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return;
    }
    QDialog::accept();
}

std::optional<int32_t> TDemoSetupForm::wholeValue(const TNumEditVorn& edit) {
    const auto number = rm::StrToFloatAnySeparator(edit.text());
    if (!number)
        return std::nullopt;
    const double whole = std::nearbyint(*number);
    if (whole < std::numeric_limits<int32_t>::min() || whole > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(whole);
}

TNumEditVorn* TDemoSetupForm::refusedField() const {
    for (TNumEditVorn* edit : {ui_->AmpChannelA, ui_->AmpChannelB, ui_->PeriodChannelA, ui_->PeriodChannelB,
                               ui_->NoiseChannelA, ui_->NoiseChannelB}) {
        if (!wholeValue(*edit)) {
            rm::showMessage(RecorderStrings::DemoValueNotNumber, {}, rm::MsgButtons::Ok, rm::MsgIcon::Warning);
            return edit;
        }
    }
    for (TNumEditVorn* edit : {ui_->PeriodChannelA, ui_->PeriodChannelB}) {
        if (*wholeValue(*edit) < 1) {
            rm::showMessage(RecorderStrings::DemoPeriodTooShort, {}, rm::MsgButtons::Ok, rm::MsgIcon::Warning);
            return edit;
        }
    }
    return nullptr;
}
