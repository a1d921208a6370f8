#pragma once

#include <QObject>

// The application's tool-tip switch ("Tool tip help"): while off, no tool tip
// of the program shows. Installed on the application object.
class HintSwitch : public QObject {
    Q_OBJECT

public:
    explicit HintSwitch(QObject* parent = nullptr);
    ~HintSwitch() override;

    bool HintsShown() const { return shown_; }
    void SetHintsShown(bool shown) { shown_ = shown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool shown_ = true;
};
