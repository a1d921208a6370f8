#include "DataSource.h"

#include "IndexBuilder.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "MainBuffer.h"
#include "MessageBoxes.h"
#include "ReplaceFile.h"
#include "Rounding.h"
#include "UiCall.h"
#include "viewer/ViewerStrings.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

namespace rm::viewer {

namespace {

// The system's words for an error number (safe on any thread).
std::string reasonOf(int error) { return std::error_code(error, std::generic_category()).message(); }

std::string openErrorText(int result) {
    using namespace ViewerStrings;
    switch (result) {
    case kOpenSharingViolation: return OpenErrorSharingViolation;
    case kOpenFileNotFound:
    case kOpenPathNotFound: return OpenErrorFileNotFound;
    case kOpenFileEmpty: return OpenErrorFileEmpty;
    default: break;
    }
    // The number as the user has always seen it, and what it means.
    const std::string code = OpenErrorPrefix + std::to_string(result);
    if (result == EISDIR)
        return code + OpenErrorIsFolder;
    if (result == EINVAL)
        return code + OpenErrorNotRegular;
    return code + OpenErrorReasonSeparator + reasonOf(result);
}

// The parts that are not empty, one after the other.
std::string joinNotes(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts)
        if (!part.empty())
            joined += (joined.empty() ? "" : ViewerStrings::ProgressNotesSeparator) + part;
    return joined;
}

// What the index build had to pass over in a damaged file; empty for a sound one.
std::string damageNote(const TIndexContent& content) {
    using namespace ViewerStrings;
    const std::string skipped = std::to_string(content.DamagedWords) + DamageSkippedBlocks;
    const std::string damage = joinNotes({content.DamagedWords > 0 ? skipped : "",
                                          content.EndsInsideBlock ? DamageEndsInsideBlock : "",
                                          content.OddSize ? DamageOddSize : ""});
    return damage.empty() ? damage : DamageNotePrefix + damage;
}

// Why a built index was not written beside its data file; empty when it was.
std::string indexNote(const TIndexSaveOutcome& saved, const std::string& indexName) {
    using namespace ViewerStrings;
    const std::string name = std::filesystem::path(indexName).filename().string();
    std::string why;
    switch (saved.Outcome) {
    case TIndexSaveOutcome::Written: return {};
    case TIndexSaveOutcome::IsDataFile: why = name + IndexNotSavedIsDataFile; break;
    case TIndexSaveOutcome::LargerThanDataFile: why = IndexNotSavedTooLarge; break;
    case TIndexSaveOutcome::NotAnIndex: why = name + IndexNotSavedNotAnIndex; break;
    case TIndexSaveOutcome::CannotWrite: why = name + IndexNotSavedCannotWrite; break;
    case TIndexSaveOutcome::WriteFailed:
        why = IndexNotSavedWriteFailed + name + IndexNotSavedWriteFailedAfter + reasonOf(saved.Error);
        break;
    }
    return IndexNotSavedPrefix + why;
}

// "Ready", followed by the notes that are not empty.
std::string readyWithNotes(const std::vector<std::string>& notes) {
    using namespace ViewerStrings;
    const std::string joined = joinNotes(notes);
    return joined.empty() ? ProgressReady : ProgressReady + (ProgressNotesOpen + joined) + ProgressNotesClose;
}

} // namespace

TDataSourcePelkRMPrv::TDataSourcePelkRMPrv(TPreviewEnginePelkRM& engine, TMainBufferComponentVornPrv& mainBuffer,
                                           TLargeFileWrapper& file, TIndexFileWrapperVornRMPrv& index,
                                           IProgressDisplay* progress, int controlGroup)
    : engine_(engine), mainBuffer_(mainBuffer), file_(file), index_(index), progress_(progress),
      controlGroup_(controlGroup), cursors_(engine, index) {
    engine.RegisterListener(controlGroup_, this);
}

TDataSourcePelkRMPrv::~TDataSourcePelkRMPrv() {
    StopWorker();
    if (linked_)
        engine_.UnregisterListener(controlGroup_, this);
}

TDataSourcePelkRMPrv::PublishedView& TDataSourcePelkRMPrv::view(TViewKind kind) {
    switch (kind) {
    case TViewKind::Quick: return quick_;
    case TViewKind::Buffer: return buffer_;
    case TViewKind::Normal: break;
    }
    return normal_;
}

void TDataSourcePelkRMPrv::EngineNotify(int code, int) {
    switch (code) {
    case enInitialize: Initialise(); break;
    case enShutdown: ShutDown(); break;
    case enOpenDataFile: OpenDataFile(); break;
    case enPrepareIndex: PrepareIndex(); break;
    case enFormResized:
    case enZoomChanged:
    case enScreenMoved:
    case enBufferMoved:
        if (engine_.NewFileOpened)
            ViewRequest(code);
        break;
    default: break;
    }
}

// --- the road of one file --------------------------------------------------------

void TDataSourcePelkRMPrv::Initialise() {
    ClearViews();
    StopWorker();
    worker_ = std::make_unique<TGeneralHandlingThread>();
    cursors_.Clear();
    setText(ViewerStrings::ProgressReady);
}

void TDataSourcePelkRMPrv::ShutDown() {
    StopWorker();
    cursors_.CloseCursorTimes();
    engine_.UnregisterListener(controlGroup_, this);
    linked_ = false;
}

void TDataSourcePelkRMPrv::StopWorker() {
    if (!worker_)
        return;
    worker_->Terminate();
    // Serving the user-interface calls a job may wait for. The thread object
    // goes only once its loop has ended: a job still uses it to the end.
    UiCall::waitServing([this] { return worker_->WaitFor(std::chrono::milliseconds(0)); });
    worker_.reset();
}

void TDataSourcePelkRMPrv::AbandonJobs() {
    ++generation_;
    UiCall::waitServing([this] { return runningJobs_ == 0; });
}

void TDataSourcePelkRMPrv::ClearViews() {
    engine_.NewDataReady = false;
    engine_.PreviewValidSamplesCount = 0;
    for (PublishedView* v : {&quick_, &buffer_, &normal_}) {
        std::lock_guard lock(v->lock);
        v->points.Points = 0;
    }
}

void TDataSourcePelkRMPrv::OpenDataFile() {
    AbandonJobs();
    index_.CloseIndexFile();
    engine_.NewFileOpened = false;
    ClearViews();
    // What the last index build said belonged to the file closed now.
    {
        std::lock_guard lock(readyTextLock_);
        readyText_ = ViewerStrings::ProgressReady;
    }
    setText(ViewerStrings::ProgressReady);
    // The gauge belongs to the file opened now, even when it does not open.
    if (progress_)
        progress_->SetProgressPercent(0);
    const int result = file_.OpenFile(engine_.OpenFileName());
    if (result == kOpenOk) {
        engine_.OpenFileSize = file_.OpenFileSize();
        return;
    }
    showMessage(openErrorText(result), {}, MsgButtons::Cancel, MsgIcon::Error);
    engine_.FileTargeted = false;
    engine_.SetOpenFileName({});
    engine_.OpenFileSize = 0;
}

void TDataSourcePelkRMPrv::PrepareIndex() {
    if (!file_.FileOpened())
        return;
    AbandonJobs();
    engine_.NewFileOpened = false;
    ProgressGauge gauge(progress_);
    gauge.Start();
    const std::string indexName = engine_.IndexFileName();
    const uint64_t generation = generation_;
    removeLeftoverTemporaries(indexName);  // of a viewer that ended while writing the index
    if (index_.LoadIndex(indexName, file_)) {
        gauge.Finish();
        StartViews(generation);
        return;
    }
    queue(jkIndexBuild, generation, [this, indexName, generation](const StopCheck& stop) {
        BuildIndexJob(indexName, generation, stop);
    });
}

void TDataSourcePelkRMPrv::BuildIndexJob(const std::string& indexName, uint64_t generation,
                                         const StopCheck& stop) {
    setText(ViewerStrings::ProgressCreatingIndex);
    ProgressGauge gauge(progress_);
    TIndexContent content;
    if (!BuildIndex(file_, content, gauge, stop))
        return;
    const std::string damage = damageNote(content);
    const TIndexSaveOutcome saved = index_.SaveIndex(indexName, std::move(content), file_);
    const std::string ready = readyWithNotes({damage, indexNote(saved, indexName)});
    {
        std::lock_guard lock(readyTextLock_);
        readyText_ = ready;
    }
    setText(ready);
    if (!stop())
        StartViews(generation);
}

void TDataSourcePelkRMPrv::StartViews(uint64_t generation) {
    const int64_t total = index_.TotalSamples();
    engine_.FileRealSamplesCount = total;
    engine_.SetScreenPosition(0);
    engine_.SetMainBufferPosition(0);
    bufferViewStart_ = engine_.BufferViewValid() ? 0 : kNoBufferView;
    engine_.NewFileOpened = true;
    {
        std::lock_guard lock(descriptorLock_);
        quick_.next = {kQuickViewPoints, 0, 0, total, 1, kQuickViewPoints, ViewerStrings::ProgressCreatingQuickView};
        buffer_.next = {kBufferViewPoints, 0, 0, std::min<int64_t>(total, engine_.MainBufferSize), 1,
                        kBufferViewPoints, ViewerStrings::ProgressCreatingBufferView};
    }
    queue(jkQuickView, generation, [this](const StopCheck& stop) { QuickViewJob(stop); });
    queue(jkBufferView, generation, [this](const StopCheck& stop) { BufferViewJob(stop); });
    NormalRequest(0, generation);
}

void TDataSourcePelkRMPrv::queue(TJobKey key, uint64_t generation, std::function<void(const StopCheck&)> job) {
    TGeneralHandlingThread* const worker = worker_.get();
    if (!worker)
        return;
    worker->AddJob(key, [this, worker, generation, job = std::move(job)] {
        ++runningJobs_;
        const StopCheck stop = [this, worker, generation] {
            return worker->Terminated() || generation_ != generation;
        };
        if (!stop())
            job(stop);
        --runningJobs_;
    });
}

void TDataSourcePelkRMPrv::setText(const std::string& text) {
    if (progress_)
        progress_->SetProgressText(text);
}

std::string TDataSourcePelkRMPrv::readyText() {
    std::lock_guard lock(readyTextLock_);
    return readyText_;
}

// --- view jobs --------------------------------------------------------------------

bool TDataSourcePelkRMPrv::runView(TViewKind kind, const StopCheck& stop, TViewDataBuffer& descriptor,
                                   TViewPoints& points) {
    {
        std::lock_guard lock(descriptorLock_);
        descriptor = view(kind).next;
    }
    if (kind != TViewKind::Normal)
        descriptor.SamplesPerPoint =
            std::max(static_cast<double>(descriptor.SampleCount) / descriptor.MaxPoints, 1.0);
    setText(descriptor.Caption);
    const std::shared_ptr<uint16_t[]> words = mainBuffer_.Memory();
    ProgressGauge gauge(progress_);
    // The quick view's pass over the whole file only borrows the main buffer.
    const bool scratch = kind == TViewKind::Quick;
    if (!words || !DecimateView(descriptor, points, mainBuffer_, words.get(), index_, file_, gauge, stop, scratch))
        return false;
    points.StartSample = descriptor.StartSample;
    PublishedView& target = view(kind);
    std::lock_guard lock(target.lock);
    target.points = points;
    return true;
}

void TDataSourcePelkRMPrv::QuickViewJob(const StopCheck& stop) {
    TViewDataBuffer descriptor;
    TViewPoints points(kQuickViewPoints);
    if (!runView(TViewKind::Quick, stop, descriptor, points))
        return;
    broadcast(enQuickViewReady, stop);
    mainBuffer_.SetBufferInvalid(true);  // the pass over the file replaced the buffer's content
    setText(readyText());
}

void TDataSourcePelkRMPrv::BufferViewJob(const StopCheck& stop) {
    mainBuffer_.SetBufferInvalid(true);  // the buffer is read anew from the view's start
    if (!engine_.BufferViewValid())
        return;
    TViewDataBuffer descriptor;
    TViewPoints points(kBufferViewPoints);
    if (!runView(TViewKind::Buffer, stop, descriptor, points))
        return;
    broadcast(enBufferViewReady, stop);
    setText(readyText());
}

void TDataSourcePelkRMPrv::NormalViewJob(const StopCheck& stop) {
    TViewDataBuffer descriptor;
    TViewPoints points(kNormalViewPoints);
    if (!runView(TViewKind::Normal, stop, descriptor, points))
        return;
    engine_.PreviewValidSamplesCount =
        roundHalfEven(static_cast<double>(points.Points) * descriptor.SamplesPerPoint);
    engine_.NewDataReady = true;
    setText(readyText());
    broadcast(enNormalViewReady, stop);
}

void TDataSourcePelkRMPrv::broadcast(int code, const StopCheck& stop) { engine_.Notify(code, controlGroup_, stop); }

// --- view requests (user-interface thread) -------------------------------------------

void TDataSourcePelkRMPrv::BufferRequest(int64_t start) {
    bufferViewStart_ = engine_.BufferViewValid() ? std::max<int64_t>(start, 0) : kNoBufferView;
    {
        std::lock_guard lock(descriptorLock_);
        buffer_.next.MaxPoints = kBufferViewPoints;
        buffer_.next.StartSample = std::max<int64_t>(start, 0);
        buffer_.next.SampleCount = std::min<int64_t>(engine_.FileRealSamplesCount, engine_.MainBufferSize);
        buffer_.next.Caption = ViewerStrings::ProgressCreatingBufferView;
    }
    queue(jkBufferView, generation_, [this](const StopCheck& stop) { BufferViewJob(stop); });
}

void TDataSourcePelkRMPrv::NormalRequest(int64_t start) { NormalRequest(start, generation_); }

void TDataSourcePelkRMPrv::NormalRequest(int64_t start, uint64_t generation) {
    {
        std::lock_guard lock(descriptorLock_);
        TViewDataBuffer& next = normal_.next;
        next.StartSample = std::max<int64_t>(start, 0);
        next.MaxPoints = kNormalViewPoints;
        next.SamplesPerPoint = engine_.SamplesPerPoint();
        next.Points = static_cast<int>(std::min<uint32_t>(engine_.MainScreenWidth, kNormalViewPoints));
        next.SampleCount = roundHalfEven(next.SamplesPerPoint * next.Points);
        next.Caption = ViewerStrings::ProgressCreatingNormalView;
    }
    queue(jkNormalView, generation, [this](const StopCheck& stop) { NormalViewJob(stop); });
}

void TDataSourcePelkRMPrv::ViewRequest(int code) {
    // The engine keeps the screen's first sample through zooms and resizes,
    // moving the main buffer when it no longer holds the screen; the buffer
    // view follows the buffer, and the normal view always starts at the
    // screen's first sample.
    const bool valid = engine_.BufferViewValid();
    if (code == enBufferMoved) {
        mainBuffer_.SetBufferInvalid(true);
        BufferRequest(valid ? engine_.MainBufferPosition() : engine_.ScreenPosition());
    } else if (valid && bufferViewStart_ != engine_.MainBufferPosition()) {
        BufferRequest(engine_.MainBufferPosition());
    } else if (!valid) {
        bufferViewStart_ = kNoBufferView;
    }
    NormalRequest(engine_.ScreenBeginning());
}

} // namespace rm::viewer
