#pragma once

#include "WinColor.h"

// A status lamp of the trigger or arm panel. Called on the user-interface
// thread only: the acquisition thread queues its colour changes there.
class StatusLamp {
public:
    virtual ~StatusLamp() = default;
    virtual void SetLampColor(rm::WinColor color) = 0;
};
