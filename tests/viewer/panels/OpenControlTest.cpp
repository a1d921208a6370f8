#include "../ViewerUiTest.h"

#include "DataSource.h"
#include "ExclusiveFile.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "MainBuffer.h"
#include "MessageBoxes.h"
#include "OnOffButton.h"
#include "OpenControlVornRMPrv.h"
#include "ShellSeams.h"
#include "UnitValueLabel.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <vector>

namespace rm::viewer::test {
namespace {

// The codes the open panel sends, in order.
struct SentCodes : IEngineListener {
    void EngineNotify(int code, int group) override {
        std::lock_guard lock(m);
        if (group == kGroupOpenPanel)
            codes.push_back(code);
    }
    std::vector<int> take() {
        std::lock_guard lock(m);
        return std::exchange(codes, {});
    }
    std::mutex m;
    std::vector<int> codes;
};

void writeFile(const std::string& path, size_t words) {
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < words; ++i) {
        const uint16_t word = 0x8080;
        out.write(reinterpret_cast<const char*>(&word), 2);
    }
}

class OpenControlTest : public ::testing::Test {
protected:
    OpenControlTest() {
        postToUiThread(engine);
        panel.SetOpenFileEdit(&edit);
        panel.SetOpenFileBrowse(&browse);
        panel.SetOpenButton(&open);
        panel.SetMyFileSize(&size);
        panel.SetPreviewEngine(&engine);
        engine.RegisterListener(kGroupAll, &sent);
        engine.Startup();
        sent.take();
    }
    ~OpenControlTest() override {
        engine.Shutdown();
        settle();
    }

    void enter(const QString& text) {
        edit.setText(text);
        QTest::keyClick(&edit, Qt::Key_Return);
    }

    QApplication& app = widgetTestApp();  // before any widget
    ScriptedMessages messages;
    ScriptedShell desktop;
    TempCurrentFolder folder;
    TPreviewEnginePelkRM engine;
    TMainBufferComponentVornPrv buffer{engine};
    TLargeFileWrapper file;
    TIndexFileWrapperVornRMPrv index{engine};
    TDataSourcePelkRMPrv source{engine, buffer, file, index};
    QLineEdit edit;
    QToolButton browse;
    TOnOffButtonVorn open;
    TUnitValueLabel size;
    TOpenControlVornRMPrv panel;
    SentCodes sent;
};

TEST(EnsureExtension, OnlyAFileNameWithoutAnyDotGetsTheDataExtension) {
    EXPECT_EQ(EnsureExtension("run1"), "run1.rmd");
    EXPECT_EQ(EnsureExtension("run1.dat"), "run1.dat");
    EXPECT_EQ(EnsureExtension("run1."), "run1.");
    EXPECT_EQ(EnsureExtension("dot.dir/run1"), "dot.dir/run1.rmd");
    EXPECT_EQ(EnsureExtension("/data/dot.dir/run1.rmd"), "/data/dot.dir/run1.rmd");
}

TEST_F(OpenControlTest, EnterTargetsTheTypedNameAndShowsItsSize) {
    writeFile(folder.file("run1.rmd"), 500);
    enter("run1");
    EXPECT_EQ(sent.take(), (std::vector<int>{enOpenDataFile, enFileTargeted, enFileNameChanged}));
    EXPECT_EQ(engine.OpenFileName(), "run1.rmd");
    EXPECT_EQ(engine.IndexFileName(), "run1.ind");
    EXPECT_TRUE(engine.FileTargeted);
    EXPECT_EQ(edit.text(), "run1.rmd");
    EXPECT_EQ(edit.toolTip(), "run1.rmd");
    EXPECT_DOUBLE_EQ(size.MainValue(), 1000);
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(OpenControlTest, TypingTurnsTheNameBlueUntilEnter) {
    writeFile(folder.file("run1.rmd"), 10);
    const QColor normal = edit.palette().color(QPalette::Text);
    QTest::keyClick(&edit, Qt::Key_R);
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(0, 0, 255));
    enter("run1.rmd");
    EXPECT_EQ(edit.palette().color(QPalette::Text), normal);
}

TEST_F(OpenControlTest, AFileHeldByAnotherProgramIsNotTargeted) {
    writeFile(folder.file("held.rmd"), 10);
    ExclusiveFile holder;
    ASSERT_EQ(holder.open(folder.file("held.rmd"), ExclusiveFile::Mode::ReadOnly), ExclusiveFile::Result::Ok);
    enter("held.rmd");
    EXPECT_EQ(sent.take(), (std::vector<int>{enOpenDataFile, enFileNameChanged}));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"File is used by another process"}));
    EXPECT_FALSE(engine.FileTargeted);
    EXPECT_EQ(engine.IndexFileName(), "ind");
    EXPECT_DOUBLE_EQ(size.MainValue(), 0);
    EXPECT_EQ(edit.text(), "");
}

TEST_F(OpenControlTest, OpenPreparesATargetedFileAndReleasesTheButton) {
    writeFile(folder.file("run1.rmd"), 5000);
    enter("run1");
    sent.take();
    QTest::mouseClick(&open, Qt::LeftButton);
    EXPECT_EQ(sent.take(), (std::vector<int>{enPrepareIndex, enRedraw}));
    EXPECT_FALSE(open.isChecked());
    EXPECT_TRUE(desktop.fileDialogs().empty());
    EXPECT_TRUE(waitUntil([&] { return engine.NewDataReady.load(); }));
}

TEST_F(OpenControlTest, OpenWithoutATargetAsksForAFileAndACancelSendsNothing) {
    QTest::mouseClick(&open, Qt::LeftButton);
    EXPECT_TRUE(sent.take().empty());
    EXPECT_FALSE(open.isChecked());
    ASSERT_EQ(desktop.fileDialogs().size(), 1u);
    EXPECT_EQ(desktop.fileDialogs()[0].filter, "Roll mode files (*.rmd)");
    EXPECT_EQ(desktop.fileDialogs()[0].defaultSuffix, "rmd");

    writeFile(folder.file("chosen.rmd"), 100);
    desktop.queueFileName(QString::fromStdString(folder.file("chosen.rmd")));
    QTest::mouseClick(&open, Qt::LeftButton);
    EXPECT_EQ(sent.take(), (std::vector<int>{enOpenDataFile, enFileTargeted, enFileNameChanged, enPrepareIndex,
                                             enRedraw}));
}

TEST_F(OpenControlTest, BrowsingKeepsTheCurrentFolderAndANameTypedAloneIsLookedForInTheBrowsedFolderFirst) {
    const std::string sub = folder.file("data.v2");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(sub)));
    writeFile(sub + "/run1.rmd", 100);
    writeFile(folder.file("run1.rmd"), 100);  // a namesake in the current folder
    writeFile(sub + "/run2", 100);
    writeFile(folder.file("run2.rmd"), 100);
    const QString before = QDir::currentPath();
    desktop.queueFileName(QString::fromStdString(sub + "/run1.rmd"));
    engine.SetOpenFileName("previous.rmd");
    QTest::mouseClick(&browse, Qt::LeftButton);
    ASSERT_EQ(desktop.fileDialogs().size(), 1u);
    EXPECT_EQ(desktop.fileDialogs()[0].fileName, "previous.rmd");
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(engine.OpenFileName(), sub + "/run1.rmd");
    EXPECT_EQ(edit.text(), "run1.rmd");

    // Enter on the shown name retargets that file, not one in the current folder.
    enter("run1.rmd");
    EXPECT_EQ(engine.OpenFileName(), sub + "/run1.rmd");
    // data.v2 has no run2.rmd (only run2): the current folder's is taken.
    enter("run2");
    EXPECT_TRUE(engine.FileTargeted);
    EXPECT_EQ(engine.OpenFileName(), "run2.rmd");
    EXPECT_TRUE(messages.texts().empty());

    // Neither folder holds run3.rmd: the message names where it was looked
    // for, and the file targeted stays.
    desktop.queueFileName(QString::fromStdString(sub + "/run1.rmd"));
    QTest::mouseClick(&browse, Qt::LeftButton);
    enter("run3");
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"File does not exist\nLooked for:\n" + sub +
                                                          "/run3.rmd\n" + folder.file("run3.rmd")}));
    EXPECT_TRUE(engine.FileTargeted);
    EXPECT_EQ(engine.OpenFileName(), sub + "/run1.rmd");
    EXPECT_EQ(edit.text(), "run1.rmd");
}

TEST_F(OpenControlTest, InitialiseUntargetsAndShowsTheEnginesName) {
    writeFile(folder.file("run1.rmd"), 100);
    enter("run1");
    engine.Notify(enInitialize, kGroupAll);
    EXPECT_FALSE(engine.FileTargeted);
    EXPECT_EQ(edit.text(), "run1.rmd");
}

} // namespace
} // namespace rm::viewer::test
