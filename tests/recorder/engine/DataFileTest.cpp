#include "ExclusiveFile.h"
#include "FakeValueLabel.h"
#include "MessageBoxes.h"
#include "TempFolder.h"
#include "VirtualScopeVornRM.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A file as the recorder leaves it: it begins with a parameter block (here
// the stop block [0, 4, 1, 0]).
const std::string kRecording{"\0\0\4\0\1\0\0\0", 8};
// An index file as the viewer writes it: one record of 88 bytes that begins
// with the magic 0xAA55, then the trailer of 12.
const std::string kIndex = std::string("\x55\xAA", 2) + std::string(98, '\0');

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
    TempFolder::write(data, kRecording);
    TempFolder::write(index, kIndex);
    scope.SetFileName(data);
    scope.SetSavingActivated(true);

    EXPECT_TRUE(scope.IsFileOpen());
    EXPECT_FALSE(fs::exists(index));
    EXPECT_EQ(scope.FileSize(), 8);
    EXPECT_EQ(sizeLabel.mainValue(), 8);

    append({0x8303, 0x8404, 0x0001});
    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0, 4, 1, 0, 0x8303, 0x8404, 0x0001}));
    EXPECT_EQ(scope.FileSize(), 14);
    EXPECT_EQ(sizeLabel.mainValue(), 14);
    EXPECT_TRUE(messages.texts().empty());
}

// A file created anew (or cleared) has no index yet: one left from an
// earlier file of that name would be believed by the viewer.
TEST_F(DataFileTest, MissingFileIsCreatedAndAStaleIndexOfThatNameDeleted) {
    TempFolder::write(index, kIndex);
    scope.SetFileName(data);
    scope.SetSavingActivated(true);

    ASSERT_TRUE(fs::exists(data));
    EXPECT_EQ(fs::file_size(data), 0u);
    EXPECT_FALSE(fs::exists(index));
    append({0, 4, 1, 1});
    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0, 4, 1, 1}));
}

// Only a file that reads as the viewer's index goes (an all-zero first record
// is the index of a file that did not begin with a block); a file of the
// user's that merely carries the index name ("thesis.ind") stays, whether
// the data file is appended to, created or cleared.
TEST_F(DataFileTest, AFileThatOnlySharesTheIndexNameIsNeverDeleted) {
    // The index of a file that begins with samples: an all-zero record, counted by the trailer.
    const std::string zeroRecordIndex = std::string(96, '\0') + std::string("\1\0\0\0", 4);
    for (const std::string& content : {kIndex, zeroRecordIndex, std::string("\\begin{theindex}\n"),
                                       kIndex + "x", std::string("\x55\xAA", 2)}) {
        const bool isIndex = content == kIndex || content == zeroRecordIndex;
        fs::remove(data);
        TempFolder::write(index, content);
        scope.SetFileName(data);
        scope.SetSavingActivated(true);  // created
        EXPECT_EQ(fs::exists(index), !isIndex);
        TempFolder::write(index, content);
        scope.SetSavingActivated(false);
        scope.SetSavingActivated(true);  // appended to
        EXPECT_EQ(fs::exists(index), !isIndex);
        TempFolder::write(index, content);
        scope.ClearFile();
        EXPECT_EQ(fs::exists(index), !isIndex);
        if (!isIndex) {
            EXPECT_EQ(TempFolder::read(index), content);
        }
        scope.SetSavingActivated(false);
    }
    EXPECT_TRUE(messages.texts().empty());
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

    // The box waits for the user-interface thread: the writer's thread is
    // not held while it is open.
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_FALSE(scope.SavingActivated());
    EXPECT_FALSE(scope.IsFileOpen());
    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0x8080}));
    EXPECT_EQ(scope.FileSize(), 0);  // no file is open any more
    EXPECT_EQ(sizeLabel.mainValue(), 0);
    const int other = open(data.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    close(other);

    EXPECT_EQ(settingsChanged, 0);  // queued: it reaches the panels on their own thread
    QCoreApplication::processEvents();
    EXPECT_EQ(settingsChanged, 1);
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Write to file failed."}));
    scope.UnregisterListener(this);
}

TEST_F(DataFileTest, ClearingRecreatesTheFileEmptyDeletesItsIndexAndKeepsItOpenWithSavingOff) {
    TempFolder::write(data, kRecording + "old samples");
    TempFolder::write(index, kIndex);
    scope.SetFileName(data);
    scope.SetFileSize(99);
    scope.ClearFile();

    EXPECT_TRUE(scope.IsFileOpen());
    EXPECT_EQ(fs::file_size(data), 0u);
    EXPECT_FALSE(fs::exists(index));
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
    TempFolder::write(other, kRecording);
    scope.SetFileName(other);
    EXPECT_EQ(scope.GetFileName(), other);
    EXPECT_EQ(scope.FileSize(), 8);
    append({0x8686});
    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0x8080}));
    EXPECT_EQ(TempFolder::readWords(other), (std::vector<uint16_t>{0, 4, 1, 0, 0x8686}));
}

// The label shows the size of the file open now, 0 when none is, at once
// and not only with the next block written.
TEST_F(DataFileTest, SizeLabelFollowsEveryOpenClearSwitchAndClose) {
    const std::string other = folder.file("other.rmd");
    TempFolder::write(data, kRecording + std::string(3000 - kRecording.size(), 'x'));
    TempFolder::write(other, kRecording + std::string(600 - kRecording.size(), 'y'));
    scope.SetFileName(data);
    scope.SetSavingActivated(true);
    EXPECT_EQ(sizeLabel.mainValue(), 3000);
    scope.ClearFile();
    EXPECT_EQ(sizeLabel.mainValue(), 0);
    append({0, 4, 1, 0, 0x8080, 0x8181});
    EXPECT_EQ(sizeLabel.mainValue(), 12);

    // Switched between measurements, and at the stop block of one.
    scope.SetFileName(other);
    EXPECT_EQ(sizeLabel.mainValue(), 600);
    scope.SetMeasurementStarted(true);
    append({0, 4, 1, 1});
    scope.SetFileName(data);
    EXPECT_EQ(sizeLabel.mainValue(), 608);
    scope.SetMeasurementStarted(false);
    append({0, 4, 1, 0});
    EXPECT_EQ(sizeLabel.mainValue(), 12);

    scope.SetFileName(folder.file("missing/folder.rmd"));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Cannot create file " + folder.file("missing/folder.rmd")}));
    EXPECT_FALSE(scope.SavingActivated());
    EXPECT_EQ(sizeLabel.mainValue(), 0);

    scope.SetFileName(other);
    scope.SetSavingActivated(true);
    EXPECT_EQ(sizeLabel.mainValue(), 616);
    scope.SetSavingActivated(false);
    EXPECT_EQ(sizeLabel.mainValue(), 0);
}

TEST_F(DataFileTest, IndexNameRuleAndOnlyAnIndexFileIsDeleted) {
    EXPECT_EQ(scope.IndexFileName("sdata.rmd"), "sdata.ind");
    EXPECT_EQ(scope.IndexFileName("abc"), "ind");

    const std::string selfIndexed = folder.file("odd.ind");
    TempFolder::write(selfIndexed, kRecording);
    scope.SetFileName(selfIndexed);
    scope.SetSavingActivated(true);
    EXPECT_TRUE(fs::exists(selfIndexed));
    append({0x8202});
    EXPECT_EQ(TempFolder::readWords(selfIndexed), (std::vector<uint16_t>{0, 4, 1, 0, 0x8202}));

    // Only an index file goes: a folder that carries the index name stays.
    TempFolder::write(data, kRecording);
    fs::create_directory(index);
    scope.SetFileName(data);
    EXPECT_TRUE(scope.IsFileOpen());
    EXPECT_TRUE(fs::is_directory(index));
}

// A data file whose name ends in "ind" is its own index name; the open file
// is recognised by its identity, so neither it nor another link to it goes.
TEST_F(DataFileTest, ADataFileNamedAsItsOwnIndexIsNeverDeleted) {
    const fs::path previous = fs::current_path();
    fs::current_path(folder.file(""));
    for (const std::string& name : std::vector<std::string>{"wind", "x.ind", folder.file("wind")}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(scope.IndexFileName(name), name);
        TempFolder::write(name, kRecording);
        scope.SetFileName(name);
        scope.SetSavingActivated(true);
        ASSERT_TRUE(scope.IsFileOpen());
        EXPECT_EQ(scope.FileSize(), 8);
        append({0x8202});
        scope.SetSavingActivated(false);
        scope.SetSavingActivated(true);  // opened again for append
        append({0x8303});
        scope.SetSavingActivated(false);
        EXPECT_EQ(TempFolder::readWords(name), (std::vector<uint16_t>{0, 4, 1, 0, 0x8202, 0x8303}));
        fs::remove(name);
    }
    // The index name is another link to the data file: the same file, kept.
    TempFolder::write("run.rmd", kRecording);
    fs::create_hard_link("run.rmd", "run.ind");
    scope.SetFileName("run.rmd");
    scope.SetSavingActivated(true);
    EXPECT_TRUE(fs::exists("run.ind"));
    scope.SetSavingActivated(false);
    fs::current_path(previous);
    EXPECT_TRUE(messages.texts().empty());
}

// A measurement is written whole into one file: a name given while it runs
// is opened right after its stop block, in the middle of the processing
// thread's words if need be; not a word is lost or written twice.
TEST_F(DataFileTest, ANameSetDuringAMeasurementIsOpenedRightAfterItsStopBlock) {
    const std::string first = folder.file("first.rmd");
    const std::string second = folder.file("second.rmd");
    const std::string secondIndex = folder.file("second.ind");
    TempFolder::write(second, kRecording);
    TempFolder::write(secondIndex, kIndex);
    scope.SetFileName(first);
    scope.SetSavingActivated(true);
    scope.SetMeasurementStarted(true);
    append({0, 4, 1, 1, 0x8080});

    scope.SetFileName(second);
    EXPECT_EQ(scope.GetFileName(), second);
    EXPECT_EQ(TempFolder::read(secondIndex), kIndex);
    append({0x8181, 0x0001});
    EXPECT_EQ(scope.FileSize(), 14);
    scope.SetMeasurementStarted(false);
    // The last samples, the stop block and a block of the same take.
    append({0x8282, 0, 4, 1, 0, 0, 4, 4, 2});
    EXPECT_EQ(TempFolder::readWords(first),
              (std::vector<uint16_t>{0, 4, 1, 1, 0x8080, 0x8181, 0x0001, 0x8282, 0, 4, 1, 0}));
    EXPECT_EQ(TempFolder::readWords(second), (std::vector<uint16_t>{0, 4, 1, 0, 0, 4, 4, 2}));
    EXPECT_FALSE(fs::exists(secondIndex));
    EXPECT_EQ(scope.FileSize(), 16);

    scope.SetMeasurementStarted(true);
    append({0, 4, 1, 1, 0x8383});
    scope.SetMeasurementStarted(false);
    append({0, 4, 1, 0});
    EXPECT_EQ(TempFolder::readWords(first).size(), 12u);
    EXPECT_EQ(TempFolder::readWords(second),
              (std::vector<uint16_t>{0, 4, 1, 0, 0, 4, 4, 2, 0, 4, 1, 1, 0x8383, 0, 4, 1, 0}));
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(DataFileTest, TheFileItselfTellsWhetherAMeasurementIsStillBeingWritten) {
    const std::string first = folder.file("first.rmd");
    const std::string second = folder.file("second.rmd");
    scope.SetFileName(first);
    scope.SetSavingActivated(true);

    // The device ended the measurement, its stop block is not written yet.
    scope.SetMeasurementStarted(true);
    append({0, 4, 1, 1, 0x8080});
    scope.SetDataAcquisitionStatus(0);
    scope.SetFileName(second);
    EXPECT_FALSE(fs::exists(second));
    // Two measurements in one run of words: the second goes whole to the new file.
    append({0x8181, 0, 4, 1, 0, 0, 4, 1, 1, 0x8282, 0, 4, 1, 0});
    EXPECT_EQ(TempFolder::readWords(first), (std::vector<uint16_t>{0, 4, 1, 1, 0x8080, 0x8181, 0, 4, 1, 0}));
    EXPECT_EQ(TempFolder::readWords(second), (std::vector<uint16_t>{0, 4, 1, 1, 0x8282, 0, 4, 1, 0}));

    // Started, its start block not written yet; then the open name again:
    // the last wish holds, the file stays.
    scope.SetMeasurementStarted(true);
    scope.SetFileName(first);
    scope.SetFileName(second);
    append({0, 4, 1, 1, 0x8383, 0, 4, 1, 0, 0, 4, 4, 3});
    EXPECT_EQ(TempFolder::readWords(second).size(), 22u);
    EXPECT_EQ(TempFolder::readWords(first).size(), 10u);

    // Switching saving off drops the wait: it is the name saving opens next.
    scope.SetMeasurementStarted(true);
    append({0, 4, 1, 1});
    scope.SetFileName(first);
    scope.SetSavingActivated(false);
    append({0, 4, 1, 0});
    scope.SetMeasurementStarted(false);
    scope.SetSavingActivated(true);
    append({0x8484});
    EXPECT_EQ(TempFolder::readWords(second).size(), 26u);
    EXPECT_EQ(TempFolder::readWords(first).back(), 0x8484);
    EXPECT_TRUE(messages.texts().empty());
}

// The file to switch to is held by another program: the measurement is whole
// in the old file, then saving goes off with the message.
TEST_F(DataFileTest, AFileThatCannotBeSwitchedToStopsSavingAfterTheStopBlock) {
    int settingsChanged = 0;
    scope.RegisterListener(7, this, [&](TScopeNotifyCode code, int&) {
        settingsChanged += code == TScopeNotifyCode::snSettingsChanged;
    });
    const std::string other = folder.file("other.rmd");
    TempFolder::write(other, "viewer's data");
    scope.SetFileName(data);
    scope.SetSavingActivated(true);
    scope.SetMeasurementStarted(true);
    append({0, 4, 1, 1});
    scope.SetFileName(other);
    const int viewer = open(other.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(viewer, 0);
    ASSERT_EQ(flock(viewer, LOCK_EX | LOCK_NB), 0);
    scope.SetMeasurementStarted(false);
    append({0x8080, 0, 4, 1, 0, 0, 4, 4, 2});
    append({0, 4, 4, 1});

    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0, 4, 1, 1, 0x8080, 0, 4, 1, 0}));
    EXPECT_EQ(TempFolder::read(other), "viewer's data");
    EXPECT_FALSE(scope.SavingActivated());
    EXPECT_FALSE(scope.IsFileOpen());
    QCoreApplication::processEvents();
    EXPECT_EQ(settingsChanged, 1);
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Cannot create file " + other}));
    scope.UnregisterListener(this);
    close(viewer);
}

// A named pipe or a folder in the data file's place is refused at once (an
// open of a pipe would wait for its other end for good) and stays as it is.
TEST_F(DataFileTest, APipeOrAFolderIsRefusedAtOnce) {
    ASSERT_EQ(mkfifo(data.c_str(), 0644), 0);
    const std::string folderName = folder.file("folder.rmd");
    fs::create_directory(folderName);
    for (const std::string& name : {data, folderName}) {
        scope.SetFileName(name);
        scope.SetSavingActivated(true);
        EXPECT_FALSE(scope.SavingActivated());
        EXPECT_FALSE(scope.IsFileOpen());
        scope.ClearFile();
        EXPECT_FALSE(scope.IsFileOpen());
    }
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Cannot create file " + data, "Cannot create file " + data,
                                                          "Cannot create file " + folderName,
                                                          "Cannot create file " + folderName}));
    EXPECT_TRUE(fs::is_fifo(data));
    EXPECT_TRUE(fs::is_directory(folderName));
}

// A file cut at an odd byte is continued at the next whole word: the byte
// between is zero, the earlier words stay as they were and the new ones are
// read whole.
TEST_F(DataFileTest, AnOddSizedFileIsContinuedAtTheNextWholeWord) {
    TempFolder::write(data, kRecording + "\x42");
    scope.SetFileName(data);
    scope.SetSavingActivated(true);
    EXPECT_EQ(scope.FileSize(), 10);
    append({0, 4, 1, 1, 0x8080});
    EXPECT_EQ(TempFolder::readWords(data), (std::vector<uint16_t>{0, 4, 1, 0, 0x0042, 0, 4, 1, 1, 0x8080}));
    EXPECT_EQ(fs::file_size(data), 20u);
    EXPECT_EQ(scope.FileSize(), 20);
}

// A name typed by mistake ("notes.txt") names a file that is not a
// recording: nothing is appended to it, saving goes off with the message, and
// the file and a file of its index name stay as they were.
TEST_F(DataFileTest, AFileThatDoesNotBeginAsARecordingIsRefusedAndLeftUntouched) {
    const std::string notes = folder.file("notes.txt");
    const std::string notesIndex = folder.file("notes.ind");
    TempFolder::write(notesIndex, "not an index");
    const std::vector<std::string> contents{"hello\n", std::string(1, '\0'), std::string("\0\0\7\0\1\0\0\0", 8),
                                            std::string("\0\0\5\0\1\0\0\0\0\0", 10)};
    for (const std::string& content : contents) {
        TempFolder::write(notes, content);
        scope.SetFileName(notes);
        scope.SetSavingActivated(true);
        EXPECT_FALSE(scope.SavingActivated());
        EXPECT_FALSE(scope.IsFileOpen());
        append({0, 4, 1, 1});
        EXPECT_EQ(TempFolder::read(notes), content);
    }
    EXPECT_EQ(messages.texts(), std::vector<std::string>(contents.size(), "Cannot create file " + notes));
    EXPECT_EQ(TempFolder::read(notesIndex), "not an index");

    // Nor is it emptied by "Clear file"; an empty file is a recording to be.
    messages.clear();
    for (const std::string& content : contents) {
        TempFolder::write(notes, content);
        scope.ClearFile();
        EXPECT_FALSE(scope.IsFileOpen());
        EXPECT_EQ(TempFolder::read(notes), content);
    }
    EXPECT_EQ(messages.texts(), std::vector<std::string>(contents.size(), "Cannot create file " + notes));
    TempFolder::write(notes, "");
    scope.ClearFile();
    EXPECT_TRUE(scope.IsFileOpen());
    EXPECT_EQ(messages.texts().size(), contents.size());
}

// A recording without a write bit is kept as it is for everybody, the
// superuser included (the tests may run as root): not appended to, not
// emptied, its index left; the message names the file.
TEST_F(DataFileTest, ARecordingWithoutAWriteBitIsNeitherAppendedToNorCleared) {
    for (const fs::perms mode : {fs::perms(0444), fs::perms(0)}) {
        SCOPED_TRACE(static_cast<int>(mode));
        messages.clear();
        TempFolder::write(data, kRecording);
        TempFolder::write(index, kIndex);
        fs::permissions(data, mode);

        scope.SetFileName(data);
        scope.SetSavingActivated(true);
        EXPECT_FALSE(scope.SavingActivated());
        EXPECT_FALSE(scope.IsFileOpen());
        append({0x8080});
        scope.ClearFile();
        EXPECT_FALSE(scope.IsFileOpen());

        EXPECT_EQ(messages.texts(), std::vector<std::string>(2, "Cannot create file " + data));
        fs::permissions(data, fs::perms(0644));
        EXPECT_EQ(TempFolder::read(data), kRecording);
        EXPECT_EQ(TempFolder::read(index), kIndex);
    }
}

} // namespace
