#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class TDemoSetupForm;
}
class TNumEditVorn;
class TVirtualScopeVornRM;

// The six parameters of the demo waveform as the dialog hands them back.
struct TDemoWaveform {
    int32_t periodA = 0, periodB = 0;
    int32_t amplitudeA = 0, amplitudeB = 0;
    int32_t noiseA = 0, noiseB = 0;
};

// "Demo setup": period (mS), amplitude and noise (mV) of both demo channels.
// Setting the scope shows its current values; OK is taken only when every
// field holds a number (rounded to a whole one that fits 32 bits) and both
// periods are at least 1, else a box says what is wrong and the dialog stays
// open. The dialog changes nothing outside itself: the caller reads Values.
class TDemoSetupForm : public QDialog {
    Q_OBJECT

public:
    explicit TDemoSetupForm(QWidget* parent = nullptr);
    ~TDemoSetupForm() override;

    void SetVirtualScope(TVirtualScopeVornRM& scope);
    // The six values as they stand; valid after the dialog closed with OK.
    TDemoWaveform Values() const;

    void accept() override;

private:
    // The edit's text rounded to a whole number, or nothing when it is not
    // a number or does not fit 32 bits.
    static std::optional<int32_t> wholeValue(const TNumEditVorn& edit);
    // The first field that cannot be taken, after telling the user why.
    TNumEditVorn* refusedField() const;

    std::unique_ptr<Ui::TDemoSetupForm> ui_;
};
