#pragma once

// The "Display off" label that stands in for the live display while the
// display is switched off. User-interface thread only.
class DisplayOffLabel {
public:
    virtual ~DisplayOffLabel() = default;
    virtual void SetLabelVisible(bool visible) = 0;
};
