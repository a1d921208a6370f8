#pragma once

// The scope's link to a value label of the main window (the file size and the
// two live voltages). The main window adapts its labels to it. Both calls are
// made from worker threads as well as from the user-interface thread.
class ValueLabelLink {
public:
    virtual ~ValueLabelLink() = default;
    virtual void setMainValue(double value) = 0;
    virtual double mainValue() const = 0;
};
