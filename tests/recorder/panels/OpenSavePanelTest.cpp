#include "MessageBoxes.h"
#include "OpenSaveControlsVornRM.h"
#include "ScopeUnderTest.h"
#include "ShellSeams.h"
#include "TempFolder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A save dialog that moves the process's current folder, as a desktop's
// dialog may, before it answers.
class FolderMovingShell : public rm::ScriptedShell {
public:
    explicit FolderMovingShell(QString folder) : folder_(std::move(folder)) {}
    std::optional<QString> saveFileName(QWidget* parent, const rm::FileDialogRequest& request) override {
        QDir::setCurrent(folder_);
        return ScriptedShell::saveFileName(parent, request);
    }

private:
    QString folder_;
};

class FilePanel : public WidgetTest {
protected:
    FilePanel() {
        QDir::setCurrent(QString::fromStdString(work.file("")));
        bus.scope.SetFileName("sdata.rmd");
        panel.SetSaveFileEdit(&edit);
        panel.SetSaveFileBrowse(&browse);
        panel.SetSaveButton(&save);
        panel.SetCLFButton(&clear);
        panel.SetVirtualScope(&bus.scope);
        bus.settingsChanged();
        bus.takeHeard();
    }
    ~FilePanel() override { QDir::setCurrent(startFolder); }

    const QString startFolder = QDir::currentPath();
    TempFolder work;
    rm::ScriptedMessages messages;
    ScopeUnderTest bus;
    QLineEdit edit;
    QToolButton browse;
    TOnOffButtonVorn save, clear;
    TOpenSaveControlsVornRM panel;
};

TEST_F(FilePanel, BrowseAsksForARollModeFileWithoutTheOverwriteQuestion) {
    rm::ScriptedShell shell;
    const QString chosen = QString::fromStdString(work.file("chosen.rmd"));
    shell.queueFileName(chosen);
    browse.click();

    ASSERT_EQ(shell.fileDialogs().size(), 1u);
    const rm::FileDialogRequest request = shell.fileDialogs()[0];
    EXPECT_EQ(request.fileName, "sdata.rmd");
    EXPECT_EQ(request.filter, "Roll mode files (*.rmd)");
    EXPECT_EQ(request.defaultSuffix, "rmd");
    EXPECT_FALSE(request.confirmOverwrite);

    EXPECT_EQ(bus.scope.GetFileName(), chosen.toStdString());
    EXPECT_EQ(edit.text(), chosen);
    EXPECT_EQ(edit.toolTip(), chosen);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::FilePanel, 2));
}

TEST_F(FilePanel, DialogKeepsTheCurrentFolderWhetherCancelledOrNot) {
    TempFolder elsewhere;
    FolderMovingShell shell(QString::fromStdString(elsewhere.file("")));
    const QString before = QDir::currentPath();

    browse.click();  // cancelled
    EXPECT_EQ(bus.scope.GetFileName(), "sdata.rmd");
    EXPECT_EQ(edit.text(), "sdata.rmd");
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::FilePanel, 2));

    shell.queueFileName("other.rmd");
    browse.click();
    EXPECT_EQ(bus.scope.GetFileName(), "other.rmd");
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(FilePanel, SaveSwitchesSavingWhichOpensAndClosesTheFile) {
    save.click();
    EXPECT_TRUE(bus.scope.SavingActivated());
    EXPECT_TRUE(save.isChecked());
    EXPECT_TRUE(bus.scope.IsFileOpen());
    EXPECT_TRUE(std::filesystem::exists(work.file("sdata.rmd")));
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::FilePanel, 2));

    save.click();
    EXPECT_FALSE(bus.scope.SavingActivated());
    EXPECT_FALSE(save.isChecked());
    EXPECT_FALSE(bus.scope.IsFileOpen());
}

TEST_F(FilePanel, ClearFileEmptiesOnlyOnYes) {
    const std::string recording("\0\0\4\0\1\0\0\0", 8);  // a stop block: only a recording is cleared
    TempFolder::write(work.file("sdata.rmd"), recording);
    for (rm::MsgResult answer : {rm::MsgResult::No, rm::MsgResult::Cancel}) {
        messages.queueAnswer(answer);
        clear.click();
        EXPECT_EQ(TempFolder::read(work.file("sdata.rmd")), recording);
        EXPECT_FALSE(clear.isChecked());
    }
    messages.queueAnswer(rm::MsgResult::Yes);
    clear.click();
    EXPECT_EQ(std::filesystem::file_size(work.file("sdata.rmd")), 0u);
    EXPECT_FALSE(clear.isChecked());

    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "Clear the file?");
    EXPECT_EQ(shown[0].buttons, rm::MsgButtons::YesNoCancel);
    EXPECT_EQ(shown[0].icon, rm::MsgIcon::Question);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::FilePanel, 6));
}

// The second broadcast gets through where the first is dropped: a click
// handled inside another delivery still refreshes every listener.
TEST_F(FilePanel, SecondBroadcastGetsThroughInsideADelivery) {
    const int tag = 0;
    bus.scope.RegisterListener(98, &tag, [&](TScopeNotifyCode code, int&) {
        if (code == TScopeNotifyCode::snLoadUserSettings)
            save.click();
    });
    bus.scope.Notify(TScopeNotifyCode::snLoadUserSettings, ScopeGroup::MainWindow);
    EXPECT_EQ(bus.takeHeard(), (Heard{{TScopeNotifyCode::snLoadUserSettings, ScopeGroup::MainWindow},
                                      {TScopeNotifyCode::snSettingsChanged, ScopeGroup::FilePanel}}));
    EXPECT_TRUE(save.isChecked());
    bus.scope.UnregisterListener(&tag);
}

TEST_F(FilePanel, TypedNameIsTakenOnEnter) {
    typeInto(edit, "typed.rmd", Qt::Key_Tab);
    EXPECT_EQ(bus.scope.GetFileName(), "sdata.rmd");
    EXPECT_EQ(textColor(edit), QColor(Qt::blue));
    EXPECT_TRUE(bus.takeHeard().empty());

    QTest::keyClick(&edit, Qt::Key_Enter);
    EXPECT_EQ(bus.scope.GetFileName(), "typed.rmd");
    EXPECT_EQ(edit.toolTip(), "typed.rmd");
    EXPECT_EQ(textColor(edit), QApplication::palette(&edit).color(QPalette::Text));
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::FilePanel));
}

// During a measurement only the name can change: it is shown and taken at
// once (the writer opens it after the measurement's stop block).
TEST_F(FilePanel, OnlyTheFileNameCanChangeDuringAMeasurement) {
    bus.scope.SetMeasurementStarted(true);
    bus.settingsChanged(ScopeGroup::RecordPanel);
    EXPECT_TRUE(edit.isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{&browse, &save, &clear})
        EXPECT_FALSE(control->isEnabled());
    typeInto(edit, "during.rmd");
    EXPECT_EQ(bus.scope.GetFileName(), "during.rmd");
    EXPECT_EQ(edit.text(), "during.rmd");

    bus.scope.SetMeasurementStarted(false);
    bus.settingsChanged(ScopeGroup::FlowManager);
    for (QWidget* control : std::initializer_list<QWidget*>{&edit, &browse, &save, &clear})
        EXPECT_TRUE(control->isEnabled());
}

TEST_F(FilePanel, RefreshShowsTheScopesFileName) {
    bus.scope.SetFileName("loaded.rmd");
    bus.scope.Notify(TScopeNotifyCode::snRefreshFilePanel, ScopeGroup::All);
    EXPECT_EQ(edit.text(), "loaded.rmd");
}

} // namespace
