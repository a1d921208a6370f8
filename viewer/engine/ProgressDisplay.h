#pragma once

#include <cstdint>
#include <string>

namespace rm::viewer {

// The progress label and gauge of the main window as the data engine sees
// them. Called from the worker thread as well as from the user-interface
// thread: an implementation hands any widget work to the user-interface thread.
class IProgressDisplay {
public:
    virtual void SetProgressText(const std::string& text) = 0;
    virtual void SetProgressPercent(int percent) = 0;

protected:
    ~IProgressDisplay() = default;
};

// Publishes the progress of one pass at most once per percent.
class ProgressGauge {
public:
    explicit ProgressGauge(IProgressDisplay* display) : display_(display) {}

    void Start() { Publish(0); }
    void Update(int64_t done, int64_t total);
    void Finish() { Publish(100); }

private:
    void Publish(int percent);

    IProgressDisplay* display_;
    int last_ = -1;
};

} // namespace rm::viewer
