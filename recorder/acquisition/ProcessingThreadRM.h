#pragma once

#include "WorkerThread.h"

#include <atomic>

class LiveDisplay;
class TDataSourceModuleVornRM;
class TVirtualScopeVornRM;

// The worker thread that takes every block of words from the ring, hands it
// to the visible live display, appends it to the data file while saving is on
// and updates the live voltage. Told to terminate, it first empties the ring:
// the owner stops the acquisition thread before it, so the last words of a
// run (the stop block among them) still reach the file.
class TProcessingThreadRM : public WorkerThread {
public:
    TProcessingThreadRM(TVirtualScopeVornRM& scope, TDataSourceModuleVornRM& ring, LiveDisplay* display);
    ~TProcessingThreadRM() override;

    // The display fed from the next block on (user-interface thread); the
    // previous one stays alive, both live as long as the main window.
    void SetDisplay(LiveDisplay* display) { display_ = display; }
    LiveDisplay* Display() const { return display_; }

protected:
    void Execute() override;

private:
    TVirtualScopeVornRM& scope_;
    TDataSourceModuleVornRM& ring_;
    std::atomic<LiveDisplay*> display_;
};
