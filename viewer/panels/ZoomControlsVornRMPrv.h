#pragma once

#include "WrapperControlVornRMPrv.h"

class QAbstractButton;
class TOnOffButtonVorn;

namespace rm::viewer {

// The zoom panel: "+" doubles and "-" halves the samples per screen point,
// the on/off button switches zoom; its caption shows the ratio ("4:1").
class TZoomControlsVornRMPrv : public TWrapperControlVornRMPrv {
    Q_OBJECT

public:
    explicit TZoomControlsVornRMPrv(QObject* parent = nullptr);

    void SetIncreaseZoomButton(QAbstractButton* button);
    void SetDecreaseZoomButton(QAbstractButton* button);
    void SetZoomActiveButton(TOnOffButtonVorn* button);

protected:
    void UpdateFromEngine() override;
    void ButtonClick(QObject* sender) override;

private:

    QAbstractButton* increase_ = nullptr;
    QAbstractButton* decrease_ = nullptr;
    TOnOffButtonVorn* active_ = nullptr;
};

} // namespace rm::viewer
