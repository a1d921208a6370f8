#include "SweepControlsVornRM.h"

#include "BoundControl.h"
#include "OnOffButton.h"
#include "VirtualScopeVornRM.h"

#include <QPixmap>

// The glyph pictures live in this static library's resources, which the
// linker keeps only when something names them.
static void loadSweepGlyphs()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(SweepGlyphs);
        return true;
    }();
    (void)loaded;
}

TSweepControlsVornRM::TSweepControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::SweepPanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged}, parent)
{
    loadSweepGlyphs();
}

void TSweepControlsVornRM::SetClearScreenButton(TOnOffButtonVorn* button) { bindButton(clearScreenButton_, button); }
void TSweepControlsVornRM::SetMakeMinimumButton(TOnOffButtonVorn* button)
{
    bindButton(makeMinimumButton_, button, ":/recorder/SweepMinimum.png");
}
void TSweepControlsVornRM::SetMakeMaximumButton(TOnOffButtonVorn* button)
{
    bindButton(makeMaximumButton_, button, ":/recorder/SweepMaximum.png");
}
void TSweepControlsVornRM::SetMakeAvgButton(TOnOffButtonVorn* button)
{
    bindButton(makeAvgButton_, button, ":/recorder/SweepAverage.png");
}
void TSweepControlsVornRM::SetSingleButton(TOnOffButtonVorn* button) { bindButton(singleButton_, button); }
void TSweepControlsVornRM::SetCalcButton(TOnOffButtonVorn* button) { bindButton(calcButton_, button); }

void TSweepControlsVornRM::bindButton(QPointer<TOnOffButtonVorn>& slot, TOnOffButtonVorn* button,
                                      const char* glyph)
{
    bindClick(this, slot, button, &TSweepControlsVornRM::ButtonClick);
    if (button && glyph)
        button->setGlyphs(QPixmap(QString::fromLatin1(glyph)));
}

void TSweepControlsVornRM::ButtonClick(TOnOffButtonVorn* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == clearScreenButton_) {
        sender->setChecked(false);
        scope->SetClearScreenRequested(true);
    } else if (sender == makeMinimumButton_) {
        scope->SetMakeMinimum(!scope->MakeMinimum());
        scope->SetMakeAvg(false);
    } else if (sender == makeMaximumButton_) {
        scope->SetMakeMaximum(!scope->MakeMaximum());
        scope->SetMakeAvg(false);
    } else if (sender == makeAvgButton_) {
        scope->SetMakeAvg(true);
        scope->SetMakeMaximum(false);
        scope->SetMakeMinimum(false);
    } else if (sender == singleButton_) {
        scope->SetSingleMode(true);
    } else if (sender == calcButton_) {
        scope->SetSingleMode(false);
    }
    if (!scope->MakeAvg() && !scope->MakeMaximum() && !scope->MakeMinimum())
        scope->SetMakeAvg(true);
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TSweepControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    const bool single = scope->SingleMode();
    panelview::setDown(makeMinimumButton_, scope->MakeMinimum());
    panelview::setDown(makeMaximumButton_, scope->MakeMaximum());
    panelview::setDown(makeAvgButton_, scope->MakeAvg());
    panelview::setDown(singleButton_, single);
    panelview::setDown(calcButton_, !single);
    // A single sample has no minimum, maximum or average to choose from.
    for (TOnOffButtonVorn* button : {makeMinimumButton_.data(), makeMaximumButton_.data(), makeAvgButton_.data()})
        panelview::setEnabled(button, !single);
}
