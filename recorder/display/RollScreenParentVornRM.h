#pragma once

#include "ColumnRings.h"
#include "DisplaySettings.h"
#include "LiveDisplay.h"
#include "ScopeNotify.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <mutex>

class ColumnPainter;
class TVirtualScopeVornRM;

// The common base of the recorder's two live displays. It turns the sample
// words that the processing thread hands over into display columns (one per
// pixel of width, the newest 2048 kept in rings) and owns the off-screen
// bitmap the displays draw in.
//
// Threads: the processing thread calls NewData, which appends the new columns
// to the bitmap under the display lock and asks for a repaint without waiting
// for the user-interface thread. Everything else runs on the user-interface
// thread; its full redraws (settings change, resize, show) wait for the same
// lock and are never skipped. paintEvent only copies the bitmap.
class TRollScreenParentVornRM : public QWidget, public LiveDisplay {
    Q_OBJECT
public:
    explicit TRollScreenParentVornRM(QWidget* parent = nullptr);
    ~TRollScreenParentVornRM() override;

    // Linking a scope registers ScopeNotify under ControlGroup; the old link,
    // if any, is unregistered first.
    TVirtualScopeVornRM* VirtualScope() const { return virtualScope_; }
    void SetVirtualScope(TVirtualScopeVornRM* scope);
    int ControlGroup() const { return controlGroup_; }
    void SetControlGroup(int group) { controlGroup_ = group; }

    // Codes 2, 5 and 14 redraw the visible display; 3 leaves the bus.
    void ScopeNotify(TScopeNotifyCode code);

    // LiveDisplay.
    void NewData(const uint16_t* words, int64_t count) override;
    // Bitmap at control size, rings and the unfinished column emptied.
    void ResizeBuffer() override;
    // Rings emptied, background and grid repainted; the unfinished column stays.
    void ClearScreen() override;
    void setDisplayVisible(bool visible) override { setVisible(visible); }

    // A copy of the off-screen picture.
    QImage Picture() const;

protected:
    // Draws `newColumns` columns that AddSamples just added. Processing thread,
    // display lock held.
    virtual void appendColumns(ColumnPainter& painter, int64_t newColumns) = 0;
    // The full redraw between the background and the ground lines: grid,
    // traces and anything of the display's own; only the grid while the rings
    // hold no column. User-interface thread, lock held.
    virtual void redrawContents(ColumnPainter& painter) = 0;
    // The display's own part of ClearScreen and ResizeBuffer after the rings
    // were emptied and the bitmap fitted and filled. Lock held.
    virtual void restart(ColumnPainter& painter, bool resized) = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

    const ColumnRings& rings() const { return rings_; }
    // For reading a display's drawing state from another thread.
    std::unique_lock<std::mutex> lockDisplay() const { return std::unique_lock(lock_); }

private:
    void redraw();
    void clear(bool resized);
    // Gives the bitmap the control's size, keeping what fits.
    void fitBitmap();
    void requestRepaint();

    mutable std::mutex lock_;  // rings, accumulator, bitmap and the displays' drawing state
    QImage backBitmap_;
    ColumnRings rings_;
    TVirtualScopeVornRM* virtualScope_ = nullptr;
    int controlGroup_ = 0;
    std::atomic<bool> repaintQueued_{false};
};
