#include "ExclusiveFile.h"
#include "FakeValueLabel.h"
#include "MessageBoxes.h"
#include "TempFolder.h"
#include "VirtualScopeVornRM.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "recorder_engine_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        scope.SetFileSizeLabel(&sizeLabel);
        scope.Startup();
    }

    void append(std::vector<uint16_t> words) { scope.AppendToFile(words.data(), words.size()); }

    rm::ScriptedMessages messages;
    TempFolder folder;
    const std::string data = folder.file("sdata.rmd");
    const std::string index = folder.file("sdata.ind");
    FakeValueLabel sizeLabel{-1};
    TVirtualScopeVornRM scope;
};

TEST_F(DataFileTest, ExistingFileIsAppendedToAndItsIndexDeleted) {
    TempFolder::write(data, "\x01\x81\x02\x82");
    TempFolder::write(index, "old index");
    scope.SetFileName(data);
    scope.SetSavingActivated(true);

    EXPECT_TRUE(scope.IsFileOpen());
    EXPECT_FALSE(fs::exists(index));
    EXPECT_EQ(scope.FileSize(), 4);
    EXPECT_EQ(sizeLabel.sets(), 0);  // the label follows with the next block

    append({0x8303, 0x8404, 0x0001});
    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0x8101, 0x8202, 0x8303, 0x8404, 0x0001}));
    EXPECT_EQ(scope.FileSize(), 10);
    EXPECT_EQ(sizeLabel.mainValue(), 10);
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(DataFileTest, MissingFileIsCreatedAndAnIndexOfThatNameKept) {
    TempFolder::write(index, "stays");
    scope.SetFileName(data);
    scope.SetSavingActivated(true);

    ASSERT_TRUE(fs::exists(data));
    EXPECT_EQ(fs::file_size(data), 0u);
    EXPECT_EQ(TempFolder::read(index), "stays");
    append({0, 4, 1, 1});
    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0, 4, 1, 1}));
}

TEST_F(DataFileTest, NoFileIsOpenedBeforeStartupOrWhileSavingIsOff) {
    TVirtualScopeVornRM fresh;
    fresh.SetSavingActivated(true);
    fresh.SetFileName(data);
    EXPECT_FALSE(fs::exists(data));
    EXPECT_EQ(fresh.GetFileName(), data);

    scope.SetFileName(data);
    EXPECT_FALSE(fs::exists(data));
    std::vector<uint16_t> words{0x8080};
    scope.AppendToFile(words.data(), words.size());
    EXPECT_EQ(scope.FileSize(), 0);
}

TEST_F(DataFileTest, FileHeldByAnotherProgramIsNeitherTruncatedNorWritten) {
    TempFolder::write(data, "viewer's data");
    TempFolder::write(index, "viewer's index");
    const int viewer = open(data.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(viewer, 0);
    ASSERT_EQ(flock(viewer, LOCK_EX | LOCK_NB), 0);

    scope.SetFileName(data);
    scope.SetSavingActivated(true);
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Cannot create file " + data}));
    EXPECT_FALSE(scope.SavingActivated());
    EXPECT_FALSE(scope.IsFileOpen());

    append({0x8080});
    scope.ClearFile();
    EXPECT_EQ(messages.texts().size(), 2u);
    EXPECT_EQ(messages.texts().back(), "Cannot create file " + data);
    EXPECT_EQ(TempFolder::read(data), "viewer's data");
    EXPECT_EQ(TempFolder::read(index), "viewer's index");
    close(viewer);
}

// A write that fails half-way (here: the file-size limit of the process) takes
// back the torn part, closes the file so the viewer can open it, switches
// saving off and tells the panels with a queued code 2, with one message.
TEST_F(DataFileTest, FailedWriteClosesTheFileStopsSavingAndTellsThePanels) {
    int settingsChanged = 0;
    scope.RegisterListener(7, this, [&](TScopeNotifyCode code, int&) {
        settingsChanged += code == TScopeNotifyCode::snSettingsChanged;
    });
    scope.SetFileName(data);
    scope.SetSavingActivated(true);
    append({0x8080});

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 6;
    setrlimit(RLIMIT_FSIZE, &small);
    append({0x8181, 0x8282, 0x8383});
    append({0x8484});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Write to file failed."}));
    EXPECT_FALSE(scope.SavingActivated());
    EXPECT_FALSE(scope.IsFileOpen());
    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0x8080}));
    EXPECT_EQ(scope.FileSize(), 2);
    const int other = open(data.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    close(other);

    EXPECT_EQ(settingsChanged, 0);  // queued: it reaches the panels on their own thread
    QCoreApplication::processEvents();
    EXPECT_EQ(settingsChanged, 1);
    scope.UnregisterListener(this);
}

TEST_F(DataFileTest, ClearingRecreatesTheFileEmptyAndKeepsItOpenWithSavingOff) {
    TempFolder::write(data, "old samples");
    TempFolder::write(index, "index");
    scope.SetFileName(data);
    scope.SetFileSize(99);
    scope.ClearFile();

    EXPECT_TRUE(scope.IsFileOpen());
    EXPECT_EQ(fs::file_size(data), 0u);
    EXPECT_EQ(TempFolder::read(index), "index");
    EXPECT_EQ(scope.FileSize(), 0);
    EXPECT_EQ(sizeLabel.mainValue(), 0);
    append({0x8080});  // saving is off: nothing is written
    EXPECT_EQ(fs::file_size(data), 0u);
}

TEST_F(DataFileTest, OpenFileIsHeldExclusivelyUntilSavingGoesOffOrShutdown) {
    scope.SetFileName(data);
    scope.SetSavingActivated(true);
    rm::ExclusiveFile viewer;
    EXPECT_EQ(viewer.open(data, rm::ExclusiveFile::Mode::ReadOnly), rm::ExclusiveFile::Result::SharingViolation);

    scope.SetSavingActivated(false);
    EXPECT_FALSE(scope.IsFileOpen());
    EXPECT_EQ(viewer.open(data, rm::ExclusiveFile::Mode::ReadOnly), rm::ExclusiveFile::Result::Ok);
    viewer.close();

    scope.SetSavingActivated(true);
    scope.Shutdown();
    EXPECT_FALSE(scope.IsFileOpen());
}

TEST_F(DataFileTest, NewNameClosesTheOldFileAndOpensTheNew) {
    scope.SetFileName(data);
    scope.SetSavingActivated(true);
    append({0x8080});
    const std::string other = folder.file("other.rmd");
    TempFolder::write(other, "\x05\x85");
    scope.SetFileName(other);
    EXPECT_EQ(scope.GetFileName(), other);
    EXPECT_EQ(scope.FileSize(), 2);
    append({0x8686});
    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0x8080}));
    EXPECT_EQ(TempFolder::readWords(other), (std::vector<uint16_t>{0x8505, 0x8686}));
}

TEST_F(DataFileTest, IndexNameRuleAndOnlyAnIndexFileIsDeleted) {
    EXPECT_EQ(scope.IndexFileName("sdata.rmd"), "sdata.ind");
    EXPECT_EQ(scope.IndexFileName("abc"), "ind");

    const std::string selfIndexed = folder.file("odd.ind");
    TempFolder::write(selfIndexed, "\x01\x81");
    scope.SetFileName(selfIndexed);
    scope.SetSavingActivated(true);
    EXPECT_TRUE(fs::exists(selfIndexed));
    append({0x8202});
    EXPECT_EQ(TempFolder::readWords(selfIndexed), (std::vector<uint16_t>{0x8101, 0x8202}));

    // Only an index file goes: a folder that carries the index name stays.
    TempFolder::write(data, "\x01\x81");
    fs::create_directory(index);
    scope.SetFileName(data);
    EXPECT_TRUE(scope.IsFileOpen());
    EXPECT_TRUE(fs::is_directory(index));
}

} // namespace
