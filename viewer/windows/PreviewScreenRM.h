#pragma once

#include "PreviewEngine.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class TPreviewScreenRM;
}

namespace rm::viewer {

class TDataSourcePelkRMPrv;
class TIndexFileWrapperVornRMPrv;
class TLargeFileWrapper;
class TMainBufferComponentVornPrv;
class TOpenControlVornRMPrv;
class TPreviewScreenPelkRM;
class TSettingsVornRMPrv;
class TWindowProgressDisplay;

// The viewer's main window "Norvak Roll mode viewer" and its composition
// root: it creates the engine and every component in the viewer's
// registration order, lays the controls out on every resize, keeps the title
// and the print item in step with the engine and carries the menu.
//
// Its own listener (group 6) registers last, as a user-interface listener.
class TPreviewScreenRM : public QMainWindow, public IEngineListener {
    Q_OBJECT

public:
    explicit TPreviewScreenRM(QWidget* parent = nullptr);
    ~TPreviewScreenRM() override;

    // The engine's start-up: settings loaded, buffers and worker ready, the
    // window sized from the settings. Once, before the window is shown.
    void Startup();

    // The listener of the window (CallBack).
    void EngineNotify(int code, int senderGroup) override;

    TPreviewEnginePelkRM& PreviewEngine() { return *engine_; }
    TDataSourcePelkRMPrv& DataSource() { return *dataSource_; }
    TPreviewScreenPelkRM& MainDisplay();
    TOpenControlVornRMPrv& OpenControl() { return *openControl_; }
    // The controls of the form, by their design names.
    Ui::TPreviewScreenRM& Form() { return *ui_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    // The components that other parts of the viewer attach to this window
    // (bars, time bar, panels, cursors), in registration order; in its own
    // file.
    void CreateComponents();
    void FormResize();
    void Exit1Click();
    void ActivateGridClick();
    // Applies the stored window size (held to the screen, frame included)
    // and state.
    void applyStoredSize();
    // The engine's shutdown, once (FormClose, or the destructor when no
    // close came).
    void shutdownOnce();

    std::unique_ptr<Ui::TPreviewScreenRM> ui_;
    // Declared in the order they are built; they go in the reverse order,
    // the engine last.
    std::unique_ptr<TPreviewEnginePelkRM> engine_;
    std::unique_ptr<TWindowProgressDisplay> progress_;
    std::unique_ptr<TSettingsVornRMPrv> settings_;
    std::unique_ptr<TMainBufferComponentVornPrv> mainBuffer_;
    std::unique_ptr<TLargeFileWrapper> largeFile_;
    std::unique_ptr<TIndexFileWrapperVornRMPrv> indexFile_;
    std::unique_ptr<TDataSourcePelkRMPrv> dataSource_;
    // Owns the panel binders and the other non-visual components.
    std::unique_ptr<QObject> components_;
    TOpenControlVornRMPrv* openControl_ = nullptr;
    bool linked_ = false;  // the window's listener is registered
    bool shutDown_ = false;
    bool ending_ = false;
    // The window's frame is only known once it is shown: until then the
    // stored size is held to the screen once more when the frame appears.
    bool holdWhenFramed_ = false;
};

} // namespace rm::viewer
