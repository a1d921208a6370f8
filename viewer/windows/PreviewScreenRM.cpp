#include "PreviewScreenRM.h"

#include "DataSource.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "MainBuffer.h"
#include "MessageBoxes.h"
#include "OpenControlVornRMPrv.h"
#include "PreviewScreenPelkRM.h"
#include "SettingsVornRMPrv.h"
#include "WindowOnScreen.h"
#include "WindowProgressDisplay.h"
#include "viewer/ViewerStrings.h"

#include "ui_PreviewScreenRM.h"

#include <QCloseEvent>
#include <QMetaObject>

#include <algorithm>

namespace rm::viewer {

namespace {

constexpr int kBarHeight = 50;

QString text(const char* entry) { return QString::fromUtf8(entry); }

} // namespace

TPreviewScreenRM::TPreviewScreenRM(QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TPreviewScreenRM>()) {
    ui_->setupUi(this);
    engine_ = std::make_unique<TPreviewEnginePelkRM>();
    // Worker broadcasts reach the window's components on this thread; a call
    // still queued when the window goes is dropped with it.
    engine_->SetUiPoster([this](std::function<void()> work) {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    });
    progress_ = std::make_unique<TWindowProgressDisplay>(ui_->ProgressLabel, ui_->Gauge1);

    // The viewer's registration order: settings, main buffer, file access,
    // index, data source, display, the attached components, the window.
    settings_ = std::make_unique<TSettingsVornRMPrv>();
    settings_->SetPreviewEngine(engine_.get());
    mainBuffer_ = std::make_unique<TMainBufferComponentVornPrv>(*engine_);
    largeFile_ = std::make_unique<TLargeFileWrapper>();
    indexFile_ = std::make_unique<TIndexFileWrapperVornRMPrv>(*engine_);
    dataSource_ = std::make_unique<TDataSourcePelkRMPrv>(*engine_, *mainBuffer_, *largeFile_, *indexFile_,
                                                         progress_.get());
    ui_->PreviewScreenVornRM->SetDataModule(dataSource_.get());
    ui_->PreviewScreenVornRM->SetPreviewEngine(engine_.get());
    components_ = std::make_unique<QObject>();
    CreateComponents();
    FormCreate();
}

TPreviewScreenRM::~TPreviewScreenRM() {
    shutdownOnce();
    // The components that work on the controls go first, then the controls,
    // then the engine objects (members, in the reverse order of building);
    // the window's own children (the bars' timers) go with the window.
    components_.reset();
    delete takeCentralWidget();
}

TPreviewScreenPelkRM& TPreviewScreenRM::MainDisplay() { return *ui_->PreviewScreenVornRM; }

void TPreviewScreenRM::FormCreate() {
    Ui::TPreviewScreenRM& f = *ui_;
    setWindowTitle(text(ViewerStrings::MainCaption));
    f.ChannelsPanel->setTitle(text(ViewerStrings::ChannelsPanelCaption));
    f.BufferingPanel->setTitle(text(ViewerStrings::BufferingPanelCaption));
    f.OpenFilePanel->setTitle(text(ViewerStrings::OpenFilePanelCaption));
    f.VoltagesPanel->setTitle(text(ViewerStrings::VoltagesPanelCaption));
    f.SweepPanel->setTitle(text(ViewerStrings::SweepPanelCaption));
    f.ZoomPanel->setTitle(text(ViewerStrings::ZoomPanelCaption));
    f.FileSizeLabel->setText(text(ViewerStrings::FileSizeLabelCaption));
    f.BufferView->setToolTip(text(ViewerStrings::BufferViewHint));
    f.QuickView->setToolTip(text(ViewerStrings::QuickViewHint));
    f.SweepMinus->setToolTip(text(ViewerStrings::SweepMinusHint));
    f.SweepPlus->setToolTip(text(ViewerStrings::SweepPlusHint));
    f.SweepOnOff->setToolTip(text(ViewerStrings::SweepOnOffHint));
    f.SaveFileBrowseButton->setToolTip(text(ViewerStrings::SaveFileBrowseButtonHint));
    f.OpenButton->setToolTip(text(ViewerStrings::OpenButtonHint));
    for (QWidget* button : {f.ChannelButtonA, f.ChannelButtonB, f.ChannelButtonC, f.ChannelButtonD})
        button->setToolTip(text(ViewerStrings::ChannelButtonHint));
    f.SweepSingleButton->setToolTip(text(ViewerStrings::SweepSingleButtonHint));
    f.SweepCalcButton->setToolTip(text(ViewerStrings::SweepCalcButtonHint));
    for (QWidget* button : {f.SweepMaximum, f.SweepMinimum, f.SweepAverage})
        button->setToolTip(text(ViewerStrings::SweepAggregationHint));
    f.OnOffVoltages->setToolTip(text(ViewerStrings::OnOffVoltagesHint));

    f.File1->setTitle(text(ViewerStrings::MenuFile));
    f.Print1->setText(text(ViewerStrings::MenuPrint));
    f.Exit1->setText(text(ViewerStrings::MenuExit));
    f.Settings1->setTitle(text(ViewerStrings::MenuSettings));
    f.ColorSettings1->setText(text(ViewerStrings::MenuColorSettings));
    f.ActivateGrid->setText(text(ViewerStrings::MenuShowGrid));
    f.Help1->setTitle(text(ViewerStrings::MenuHelp));
    f.IndexMenuItem->setText(text(ViewerStrings::MenuIndex));
    f.norvakwebmenuitem->setText(text(ViewerStrings::MenuNorvakWeb));
    f.supportmenuitem->setText(text(ViewerStrings::MenuSupport));
    f.About1->setText(text(ViewerStrings::MenuAbout));
    f.Print1->setEnabled(false);

    connect(f.Exit1, &QAction::triggered, this, &TPreviewScreenRM::Exit1Click);
    connect(f.ActivateGrid, &QAction::triggered, this, &TPreviewScreenRM::ActivateGridClick);
    f.centralwidget->installEventFilter(this);

    engine_->RegisterListener(kGroupMainWindow, this, TListenerThread::UserInterface);
    linked_ = true;
}

void TPreviewScreenRM::Startup() { engine_->Startup(); }

void TPreviewScreenRM::EngineNotify(int code, int) {
    if (!linked_)
        return;
    ui_->Print1->setEnabled(engine_->NewFileOpened);
    switch (code) {
    case enInitialize:
        applyStoredSize();
        ui_->ActivateGrid->setChecked(engine_->GridActive);
        break;
    case enShutdown:
        engine_->UnregisterListener(kGroupMainWindow, this);
        linked_ = false;
        break;
    case enOpenDataFile:
        if (!engine_->FileTargeted)  // the open failed: no file, as at start
            setWindowTitle(text(ViewerStrings::MainCaption));
        break;
    case enFileTargeted:
        setWindowTitle(text(ViewerStrings::MainCaption) + text(ViewerStrings::CaptionBeforeFileName) +
                       QString::fromStdString(engine_->OpenFileName()));
        break;
    default:
        break;
    }
}

void TPreviewScreenRM::applyStoredSize() {
    holdToScreen(*this, QSize(static_cast<int>(engine_->MainWindowWidth), static_cast<int>(engine_->MainWindowHeight)));
    holdWhenFramed_ = windowFrame(*this).isNull();
    if (engine_->Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

bool TPreviewScreenRM::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    const QEvent::Type type = event->type();
    if (holdWhenFramed_ && (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) && isVisible() &&
        !isMaximized() && !windowFrame(*this).isNull()) {
        holdWhenFramed_ = false;
        holdToScreen(*this, size());
    }
    return handled;
}

bool TPreviewScreenRM::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->centralwidget && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void TPreviewScreenRM::FormResize() {
    if (ending_)
        return;
    TPreviewEnginePelkRM& engine = *engine_;
    Ui::TPreviewScreenRM& f = *ui_;
    engine.Maximized = isMaximized();
    if (!engine.Maximized) {
        engine.MainWindowWidth = static_cast<uint32_t>(width());
        engine.MainWindowHeight = static_cast<uint32_t>(height());
    }
    const int clientWidth = f.centralwidget->width();
    const int clientHeight = f.centralwidget->height();

    f.VoltagesPanel->move((clientWidth - f.VoltagesPanel->width()) / 2, 0);
    f.QuickView->resize(f.QuickView->width(), kBarHeight);
    f.BufferView->resize(f.BufferView->width(), kBarHeight);
    const int displayTop = f.VoltagesPanel->height() + 1;
    const int displayHeight =
        std::max(255, clientHeight - f.VoltagesPanel->height() - f.BufferView->height() - f.TimeBar->height() -
                          f.ChannelsPanel->height() - f.QuickView->height() - 4);
    f.PreviewScreenVornRM->setGeometry(0, displayTop, clientWidth, displayHeight);
    engine.SetActualPointsCount(static_cast<uint32_t>(clientWidth));
    engine.MainScreenWidth = static_cast<uint32_t>(clientWidth);
    engine.MainScreenHeight = static_cast<uint32_t>(displayHeight);

    int top = displayTop + displayHeight + 1;
    for (QWidget* bar : std::initializer_list<QWidget*>{f.TimeBar, f.BufferView, f.QuickView}) {
        bar->setGeometry(0, top, clientWidth, bar->height());
        top += bar->height() + 1;
    }

    const int rowTop = clientHeight - f.ChannelsPanel->height();
    QWidget* const row[] = {f.OpenFilePanel, f.ChannelsPanel, f.SweepPanel, f.ZoomPanel, f.BufferingPanel};
    int rowWidth = 0;
    for (const QWidget* panel : row)
        rowWidth += panel->width();
    int left = (clientWidth - rowWidth) / 2;
    for (QWidget* panel : row) {
        panel->move(left, rowTop);
        left += panel->width();
    }
    engine.Notify(enFormResized, kGroupAll);
}

void TPreviewScreenRM::closeEvent(QCloseEvent* event) {
    shutdownOnce();
    event->accept();
}

void TPreviewScreenRM::shutdownOnce() {
    if (shutDown_)
        return;
    shutDown_ = true;
    ending_ = true;
    engine_->Shutdown();
}

void TPreviewScreenRM::Exit1Click() {
    if (showMessage(ViewerStrings::ExitQuestion, {}, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes)
        close();
}

void TPreviewScreenRM::ActivateGridClick() {
    engine_->GridActive = !engine_->GridActive;
    ui_->ActivateGrid->setChecked(engine_->GridActive);
    engine_->Notify(enNormalViewReady, kGroupAll);
}

} // namespace rm::viewer
