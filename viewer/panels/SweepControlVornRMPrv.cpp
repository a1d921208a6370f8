#include "SweepControlVornRMPrv.h"

#include "OnOffButton.h"

namespace rm::viewer {

TSweepControlVornRMPrv::TSweepControlVornRMPrv(QObject* parent)
    : TWrapperControlVornRMPrv(kGroupSweepPanel,
                               {enInitialize, enFileNameChanged, enPrepareIndex, enNormalViewReady, enFileTargeted,
                                enSweepChanged, enOpenDataFile},
                               parent)
{
}

void TSweepControlVornRMPrv::setButton(TOnOffButtonVorn*& field, TOnOffButtonVorn* button)
{
    field = button;
    BindButton(button);
}

void TSweepControlVornRMPrv::ButtonClick(QObject* sender)
{
    TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return;
    if (sender == minimum_) {
        engine->MakeMinimum = !engine->MakeMinimum;
        engine->MakeAvg = false;
    } else if (sender == maximum_) {
        engine->MakeMaximum = !engine->MakeMaximum;
        engine->MakeAvg = false;
    } else if (sender == average_) {
        engine->MakeAvg = true;
        engine->MakeMaximum = false;
        engine->MakeMinimum = false;
    } else if (sender == single_) {
        engine->SingleMode = true;
    } else if (sender == calc_) {
        engine->SingleMode = false;
    }
    if (!engine->MakeAvg && !engine->MakeMaximum && !engine->MakeMinimum)
        engine->MakeAvg = true;
    Broadcast(enSweepChanged);
}

void TSweepControlVornRMPrv::UpdateFromEngine()
{
    const TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return;
    const bool open = engine->NewFileOpened;
    const bool single = engine->SingleMode;
    const auto set = [](TOnOffButtonVorn* button, bool enabled, bool down) {
        if (!button)
            return;
        button->setEnabled(enabled);
        button->setChecked(down);
    };
    set(minimum_, open && !single, engine->MakeMinimum);
    set(maximum_, open && !single, engine->MakeMaximum);
    set(average_, open && !single, engine->MakeAvg);
    set(single_, open, single);
    set(calc_, open, !single);
}

} // namespace rm::viewer
