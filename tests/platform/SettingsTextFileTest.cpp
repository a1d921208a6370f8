#include "ExclusiveFile.h"
#include "SettingsTextFile.h"

#include "FolderTest.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

namespace {

const std::string kHeader =
    "Inproper modification of this file may lead to SW malfunction\r\n"
    "-------------------------------------------------------------\r\n";

class SettingsTextFileTest : public FolderTest {
protected:
    std::vector<std::string> texts(const std::string& bytes) const {
        write(path("s.ini"), bytes);
        std::vector<std::string> out;
        for (const auto& line : rm::readSettingsFile(path("s.ini")).lines)
            out.push_back(line.text);
        return out;
    }
    size_t filesInFolder() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
    }
};

TEST_F(SettingsTextFileTest, WritesHeaderLinesAndKeyLinesEachEndedWithCrLf) {
    rm::SettingsTextWriter writer;
    writer.addBoolean("Grid", true);
    writer.addBoolean("MakeAvg", false);
    writer.addInteger("MeasurementLength", -1294967296);
    writer.addReal("TriggerLevelA", 1.5E-7);
    writer.addReal("TriggerLevelB", 200);
    writer.addReal("ARMLevelA", -0.25);
    ASSERT_EQ(rm::writeSettingsFile(path("s.ini"), writer.entries()), rm::SettingsWriteResult::Written);

    EXPECT_EQ(read(path("s.ini")), kHeader +
                                       "Grid: true\r\n"
                                       "MakeAvg: false\r\n"
                                       "MeasurementLength: -1294967296\r\n"
                                       "TriggerLevelA: 1.5E-7\r\n"
                                       "TriggerLevelB: 200\r\n"
                                       "ARMLevelA: -0.25\r\n");
    EXPECT_EQ(filesInFolder(), 1u);  // no temporary file left behind
}

TEST_F(SettingsTextFileTest, ReplacingKeepsThePermissionsOfTheOldFile) {
    write(path("s.ini"), "old");
    std::filesystem::permissions(path("s.ini"), std::filesystem::perms(0640));
    ASSERT_EQ(rm::writeSettingsFile(path("s.ini"), {}), rm::SettingsWriteResult::Written);
    EXPECT_EQ(read(path("s.ini")), kHeader);
    EXPECT_EQ(std::filesystem::status(path("s.ini")).permissions(), std::filesystem::perms(0640));
}

TEST_F(SettingsTextFileTest, ALineIsSplitAtTheFirstColonAndTheCharacterAfterItIsSkipped) {
    write(path("s.ini"), "Grid: true\r\nGrid:true\r\nGrid: true \r\nGrid:\r\nGrid: \r\nA: b: c\r\nno colon\r\n");
    const auto lines = rm::readSettingsFile(path("s.ini")).lines;
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0].key, "Grid");
    EXPECT_EQ(lines[0].value, "true");
    EXPECT_EQ(lines[1].value, "rue");
    EXPECT_EQ(lines[2].value, "true ");
    EXPECT_EQ(lines[3].value, "");
    EXPECT_EQ(lines[4].value, "");
    EXPECT_TRUE(lines[4].hasColon);
    EXPECT_EQ(lines[5].key, "A");
    EXPECT_EQ(lines[5].value, "b: c");
    EXPECT_FALSE(lines[6].hasColon);
    EXPECT_EQ(lines[6].key, "");
    EXPECT_EQ(lines[6].text, "no colon");
}

TEST_F(SettingsTextFileTest, CrLfAndCrLfLineEndsAndBlankLinesReadAlike) {
    const std::vector<std::string> expected{"a: 1", "b: 2", "c: 3"};
    EXPECT_EQ(texts("a: 1\r\nb: 2\r\nc: 3\r\n"), expected);
    EXPECT_EQ(texts("a: 1\nb: 2\nc: 3\n"), expected);
    EXPECT_EQ(texts("a: 1\rb: 2\rc: 3\r"), expected);
    EXPECT_EQ(texts("\r\n\r\na: 1\n\n\rb: 2\r\r\r\nc: 3\n\r\n"), expected);
    // A last line without an end is read when it has more than one character.
    EXPECT_EQ(texts("a: 1\r\nb: 2\r\nc: 3"), expected);
    // Lines longer than one read block keep every byte, binary ones included.
    const std::string longLine = "k: " + std::string(100, 'x') + std::string("\x01\xff\t", 3);
    EXPECT_EQ(texts(longLine + "\r\n"), (std::vector<std::string>{longLine}));
}

TEST_F(SettingsTextFileTest, OneUnreadByteEndsTheReading) {
    EXPECT_TRUE(texts("").empty());
    EXPECT_TRUE(texts("x").empty());
    EXPECT_EQ(texts("a: 1\nx"), (std::vector<std::string>{"a: 1"}));
    EXPECT_EQ(texts("a: 1\r\nxy"), (std::vector<std::string>{"a: 1", "xy"}));
    EXPECT_EQ(texts(kHeader).size(), 2u);
}

TEST_F(SettingsTextFileTest, MissingOrHeldFileIsNotOpenedAndAReadFileIsClosed) {
    EXPECT_FALSE(rm::readSettingsFile(path("none.ini")).opened);

    write(path("s.ini"), kHeader);
    {
        rm::ExclusiveFile holder;
        ASSERT_EQ(holder.open(path("s.ini"), rm::ExclusiveFile::Mode::ReadOnly), rm::ExclusiveFile::Result::Ok);
        EXPECT_FALSE(rm::readSettingsFile(path("s.ini")).opened);
    }
    EXPECT_TRUE(rm::readSettingsFile(path("s.ini")).opened);
    rm::ExclusiveFile after;
    EXPECT_EQ(after.open(path("s.ini"), rm::ExclusiveFile::Mode::ReadOnly), rm::ExclusiveFile::Result::Ok);
}

// A folder, a named pipe (which would block the open for good) or a device
// is no settings file: a read error with no lines, at once.
TEST_F(SettingsTextFileTest, AnythingButARegularFileIsAReadError) {
    std::filesystem::create_directory(path("folder.ini"));
    ASSERT_EQ(mkfifo(path("pipe.ini").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", path("zero.ini"));
    for (const char* name : {"folder.ini", "pipe.ini", "zero.ini"}) {
        const auto result = rm::readSettingsFile(path(name));
        EXPECT_TRUE(result.opened) << name;
        EXPECT_TRUE(result.readError) << name;
        EXPECT_TRUE(result.lines.empty()) << name;
    }
}

// Nothing beyond the bound is read, however large the file (a sparse
// gigabyte here); the line the bound cuts is dropped as a bad line would be.
TEST_F(SettingsTextFileTest, ReadingStopsAtTheBound) {
    const std::string first = kHeader + "a: 1\r\n";
    const std::string filler = "f: " + std::string(rm::kSettingsFileBound - first.size() - 8, 'x') + "\r\n";
    write(path("s.ini"), first + filler + "cut: 12345678\r\nbeyond: 2\r\n");
    const auto lines = rm::readSettingsFile(path("s.ini")).lines;
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2].text, "a: 1");
    EXPECT_EQ(lines[3].key, "f");

    write(path("big.ini"), first);
    std::filesystem::resize_file(path("big.ini"), uintmax_t{1} << 30);
    const auto big = rm::readSettingsFile(path("big.ini"));
    EXPECT_FALSE(big.readError);
    ASSERT_EQ(big.lines.size(), 3u);
    EXPECT_EQ(big.lines[2].text, "a: 1");
}

// A read-only file, a folder, a pipe or a device in the file's place is
// neither replaced nor written: CannotCreate, and everything stays as it was.
TEST_F(SettingsTextFileTest, WhatMayNotBeReplacedStaysAsItIs) {
    write(path("readonly.ini"), "kept\r\n");
    std::filesystem::permissions(path("readonly.ini"), std::filesystem::perms(0444));
    std::filesystem::create_directory(path("folder.ini"));
    ASSERT_EQ(mkfifo(path("pipe.ini").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", path("zero.ini"));
    std::filesystem::create_symlink("loop.ini", path("loop.ini"));
    const size_t files = filesInFolder();
    for (const char* name : {"readonly.ini", "folder.ini", "pipe.ini", "zero.ini", "loop.ini"})
        EXPECT_EQ(rm::writeSettingsFile(path(name), {}), rm::SettingsWriteResult::CannotCreate) << name;
    EXPECT_EQ(filesInFolder(), files);
    EXPECT_EQ(read(path("readonly.ini")), "kept\r\n");
    EXPECT_EQ(std::filesystem::status(path("readonly.ini")).permissions(), std::filesystem::perms(0444));
    EXPECT_TRUE(std::filesystem::is_directory(path("folder.ini")));
    EXPECT_TRUE(std::filesystem::is_fifo(path("pipe.ini")));
    EXPECT_EQ(std::filesystem::read_symlink(path("zero.ini")), "/dev/zero");
}

// A link is written through: the file it points to gets the new text (with
// its own permissions) and the link stays; a dangling link gets its file,
// with the process's default permissions.
TEST_F(SettingsTextFileTest, ALinkIsWrittenThrough) {
    std::filesystem::create_directory(path("real"));
    write(path("real/s.ini"), "old");
    std::filesystem::permissions(path("real/s.ini"), std::filesystem::perms(0640));
    std::filesystem::create_symlink("real/s.ini", path("s.ini"));
    std::filesystem::create_symlink("s.ini", path("chain.ini"));
    ASSERT_EQ(rm::writeSettingsFile(path("chain.ini"), {}), rm::SettingsWriteResult::Written);
    EXPECT_TRUE(std::filesystem::is_symlink(path("chain.ini")));
    EXPECT_TRUE(std::filesystem::is_symlink(path("s.ini")));
    EXPECT_EQ(read(path("real/s.ini")), kHeader);
    EXPECT_EQ(std::filesystem::status(path("real/s.ini")).permissions(), std::filesystem::perms(0640));

    std::filesystem::create_symlink("real/new.ini", path("dangling.ini"));
    const mode_t previous = umask(027);
    const auto result = rm::writeSettingsFile(path("dangling.ini"), {});
    umask(previous);
    ASSERT_EQ(result, rm::SettingsWriteResult::Written);
    EXPECT_TRUE(std::filesystem::is_symlink(path("dangling.ini")));
    EXPECT_EQ(read(path("real/new.ini")), kHeader);
    EXPECT_EQ(std::filesystem::status(path("real/new.ini")).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path("real")), {})), 2u);
}

TEST_F(SettingsTextFileTest, FailedWritesKeepThePreviousFileWhole) {
    write(path("s.ini"), "previous settings\r\n");
    rm::SettingsTextWriter writer;
    for (int i = 0; i < 100; ++i)
        writer.addInteger("Key" + std::to_string(i), i);

    // A file-size limit makes the write fail part-way.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = 300;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto result = rm::writeSettingsFile(path("s.ini"), writer.entries());
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, rm::SettingsWriteResult::WriteFailed);
    EXPECT_EQ(read(path("s.ini")), "previous settings\r\n");
    EXPECT_EQ(filesInFolder(), 1u);

    EXPECT_EQ(rm::writeSettingsFile(path("no-folder/s.ini"), writer.entries()),
              rm::SettingsWriteResult::CannotCreate);
}

TEST_F(SettingsTextFileTest, ValueConversions) {
    EXPECT_TRUE(rm::settingsBoolean("true"));
    for (const char* text : {"True", "TRUE", "true ", " true", "1", ""})
        EXPECT_FALSE(rm::settingsBoolean(text)) << text;

    EXPECT_EQ(rm::settingsInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(rm::settingsInteger("2147483647"), INT32_MAX);
    for (const char* text : {"2147483648", "99999999999999999999", "1.5", "12abc", "", "-", "0x10"})
        EXPECT_FALSE(rm::settingsInteger(text)) << text;

    EXPECT_EQ(rm::settingsReal("1.5E-7"), 1.5E-7);
    EXPECT_EQ(rm::settingsReal("-2500.25"), -2500.25);
    for (const char* text : {"1,5", "1e400", "abc", "", "NAN", "INF"})
        EXPECT_FALSE(rm::settingsReal(text)) << text;
}

} // namespace
