#pragma once

#include "DataSourceModuleVornRM.h"
#include "FlowManagerVornRM.h"
#include "HintSwitch.h"
#include "SettingsVornRM.h"
#include "VirtualDriverVornRM.h"
#include "VirtualScopeVornRM.h"
#include "WidgetLinks.h"
#include "WrapperComponentVornRM.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class MainForm;
}

// The recorder's main window and the composition root of the recorder: it
// creates every engine component and panel binder, links them in the fixed
// registration order, lays the panels out on every resize, runs the menu
// commands, answers a later start's restore request, and shuts the scope
// down when it is closed (or destroyed without a close).
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kInitialWidth = 824;
    static constexpr int kInitialHeight = 600;
    static constexpr int kMinimumWidth = 800;
    static constexpr int kMinimumHeight = 600;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    TVirtualScopeVornRM& Scope() { return scope_; }
    TVirtualDriverVornRM& Driver() { return driver_; }
    TFlowManagerVornRM& FlowManager() { return flow_; }
    Ui::MainForm& Controls() { return *ui_; }
    HintSwitch& Hints() { return hints_; }
    QTimer& RepeatTimer() { return repeatTimer_; }

    // The caption for the driver's mode and the device's model number
    // (DeviceID 0..5 names models 1..6; another ID names no model).
    static QString CaptionText(bool demoMode, int32_t deviceId);
    // The DeviceID of the scope's device information record.
    int32_t DeviceId() const;

    // The panel layout for the current client size, then code 5 (nothing while
    // the program is ending).
    void FormResize();
    // The panel layout alone; the start-up runs it once before the window is
    // shown, since a hidden window gets no resize event.
    void LayoutControls();

    // A later start of the program: restore the window and bring it to the
    // front, once the start-up has shown it.
    void RestoreRequest();

    // The user ended the program in a device dialog. Before the message loop
    // runs, the start-up asks TerminationRequested and ends; while it runs,
    // the window is closed.
    bool TerminationRequested() const { return terminationRequested_; }
    void SetMessageLoopRunning(bool running) { messageLoopRunning_ = running; }

    // How often the scope's Shutdown ran (once at most).
    int ShutdownRuns() const { return shutdownRuns_; }

    // Menu commands.
    void Viewer1Click();
    void Exit1Click();
    void Restoredefaults1Click();
    void Loadsettings1Click();
    void Savesettings1Click();
    void DemoSettings1Click();
    void Colorsetup1Click();
    void ToolTipHelp1Click();
    void ThreadpriorityBoosted1Click();
    void Index1Click();
    void NorvakWeb1Click();
    void Support1Click();
    void About1Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateEngine();
    // One binder per panel, linked in registration order.
    void CreatePanelBinders();
    void FormCreate();
    void ConnectMenus();
    void ScopeChanged(TScopeNotifyCode code);
    void RequestTermination();
    // Shutdown once; every way out of the window comes here.
    void FormClose();

    // Adds a binder the window owns; it is linked by the caller.
    template <typename Binder>
    Binder& AddBinder() {
        auto binder = std::make_unique<Binder>();
        Binder& created = *binder;
        binders_.push_back(std::move(binder));
        return created;
    }

    // Declared in the order they are built; destroyed in the reverse order,
    // the scope last. The widgets and the binders go first (destructor).
    TVirtualScopeVornRM scope_;
    TVirtualDriverVornRM driver_;
    TDataSourceModuleVornRM ring_;
    TSettingsVornRM settings_;
    TFlowManagerVornRM flow_;
    HintSwitch hints_;
    QTimer repeatTimer_;
    std::unique_ptr<Ui::MainForm> ui_;
    std::optional<UnitValueLabelLink> fileSizeLink_;
    std::optional<UnitValueLabelLink> voltageALink_;
    std::optional<UnitValueLabelLink> voltageBLink_;
    std::optional<ShapeLamp> armLamp_;
    std::optional<ShapeLamp> triggerLamp_;
    std::optional<LabelDisplayOff> displayOff_;
    std::vector<std::unique_ptr<TWrapperComponentVornRM>> binders_;

    bool linkedToScope_ = false;
    bool ending_ = false;
    bool terminationRequested_ = false;
    bool messageLoopRunning_ = false;
    int shutdownRuns_ = 0;
    int infoPanelWidth_ = 0;  // InfoPanelA's width its controls were placed for
};
