#pragma once

#include "CursorTable.h"
#include "DecimateView.h"
#include "GeneralHandlingThread.h"
#include "PreviewEngine.h"
#include "ProgressDisplay.h"
#include "viewer/ViewerStrings.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace rm::viewer {

class TIndexFileWrapperVornRMPrv;
class TLargeFileWrapper;
class TMainBufferComponentVornPrv;

enum class TViewKind { Quick, Buffer, Normal };

inline constexpr int kQuickViewPoints = 10000;
inline constexpr int kBufferViewPoints = 10000;
inline constexpr int kNormalViewPoints = 8192;  // wider displays show the first 8192 columns

// The viewer's data engine: opens the data file, loads or builds its index,
// runs the worker thread, keeps the main buffer filled and publishes the
// quick, buffer and normal views, and keeps the cursor table.
//
// What the windows (display, bars, time bar, cursor dialogs) reach through it:
// - Index(): every index lookup (sample positions, calibration, record
//   ranges, times between samples, time per division). From any thread; a
//   lookup sees one whole index (none while a file is being opened or built).
// - MainBuffer(): the main buffer's state (BufferSize, ValidSamplesCount,
//   BufferInvalid, BufferStart), readable from any thread; its memory belongs
//   to the worker's jobs.
// - ViewLock(kind) / View(kind): a published view. Hold the lock while
//   reading the point count and the arrays (the bars take it after their
//   canvas). The view jobs announce a new view with enQuickViewReady,
//   enBufferViewReady and enNormalViewReady from the worker thread. Opening
//   another file sets every point count to 0 and clears the engine's
//   NewDataReady, so a redraw finds no data.
// - Cursors(): the cursor table, user-interface thread only.
class TDataSourcePelkRMPrv : public IEngineListener {
public:
    TDataSourcePelkRMPrv(TPreviewEnginePelkRM& engine, TMainBufferComponentVornPrv& mainBuffer,
                         TLargeFileWrapper& file, TIndexFileWrapperVornRMPrv& index,
                         IProgressDisplay* progress = nullptr, int controlGroup = kGroupDataSource);
    ~TDataSourcePelkRMPrv();

    void EngineNotify(int code, int senderGroup) override;

    const TIndexFileWrapperVornRMPrv& Index() const { return index_; }
    const TMainBufferComponentVornPrv& MainBuffer() const { return mainBuffer_; }
    std::mutex& ViewLock(TViewKind kind) { return view(kind).lock; }
    const TViewPoints& View(TViewKind kind) const { return const_cast<TDataSourcePelkRMPrv*>(this)->view(kind).points; }
    TCursorObjectTable& Cursors() { return cursors_; }
    const TCursorObjectTable& Cursors() const { return cursors_; }
    int ControlGroup() const { return controlGroup_; }
    // The worker has no job queued or running.
    bool WorkerIdle() const { return !worker_ || worker_->Idle(); }

private:
    struct PublishedView {
        explicit PublishedView(int capacity) : points(capacity) {}
        std::mutex lock;
        TViewPoints points;
        TViewDataBuffer next;  // guarded by descriptorLock_
    };
    using StopCheck = std::function<bool()>;

    PublishedView& view(TViewKind kind);

    void Initialise();
    void ShutDown();
    void OpenDataFile();
    // No view is published and none is announced as ready.
    void ClearViews();
    void PrepareIndex();
    // Ends the worker thread; a running job finishes first.
    void StopWorker();
    // Stops the job that runs for the previous file and waits until it ended.
    void AbandonJobs();
    void BuildIndexJob(const std::string& indexName, uint64_t generation, const StopCheck& stop);
    void StartViews(uint64_t generation);
    // Queues a job for the file of `generation` (a count of file opens): it
    // stops once the worker is told to terminate or a newer file is opened.
    // Jobs that a job queues carry that job's generation, so a job that ends
    // just as a new file opens cannot start work on the new one.
    void queue(TJobKey key, uint64_t generation, std::function<void(const StopCheck&)> job);

    void QuickViewJob(const StopCheck& stop);
    void BufferViewJob(const StopCheck& stop);
    void NormalViewJob(const StopCheck& stop);
    // Builds the view from its descriptor and publishes it; false when stopped.
    bool runView(TViewKind kind, const StopCheck& stop, TViewDataBuffer& descriptor, TViewPoints& points);
    void broadcast(int code, const StopCheck& stop);

    // The views a notification about zoom, screen, buffer or size asks for.
    void ViewRequest(int code);
    // Queues the buffer view from `start` (the engine's MainBufferPosition
    // while the buffer view is valid; the job does nothing otherwise).
    void BufferRequest(int64_t start);
    // From the user-interface thread, for the file open now.
    void NormalRequest(int64_t start);
    void NormalRequest(int64_t start, uint64_t generation);

    void setText(const std::string& text);
    std::string readyText();

    TPreviewEnginePelkRM& engine_;
    TMainBufferComponentVornPrv& mainBuffer_;
    TLargeFileWrapper& file_;
    TIndexFileWrapperVornRMPrv& index_;
    IProgressDisplay* progress_;
    const int controlGroup_;
    bool linked_ = true;

    std::unique_ptr<TGeneralHandlingThread> worker_;
    std::atomic<uint64_t> generation_{0};  // counts file opens; a job of an older one stops
    std::atomic<int> runningJobs_{0};
    // Where the buffer view was last asked for while valid.
    static constexpr int64_t kNoBufferView = -1;
    std::atomic<int64_t> bufferViewStart_{kNoBufferView};
    std::mutex descriptorLock_;
    PublishedView quick_{kQuickViewPoints};
    PublishedView buffer_{kBufferViewPoints};
    PublishedView normal_{kNormalViewPoints};
    std::mutex readyTextLock_;
    std::string readyText_ = ViewerStrings::ProgressReady;  // and what the index build had to say

    TCursorObjectTable cursors_;
};

} // namespace rm::viewer
