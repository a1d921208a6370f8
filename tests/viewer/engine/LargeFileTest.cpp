#include "ExclusiveFile.h"
#include "LargeFileWrapper.h"
#include "ViewerTestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>

namespace rm::viewer {
namespace {

TEST(LargeFileWrapper, OpenResultsAndLocks) {
    test::TempDir dir;
    TLargeFileWrapper file;
    EXPECT_EQ(file.OpenFile(dir.file("missing.rmd")), kOpenFileNotFound);
    EXPECT_EQ(file.OpenFile(dir.file("missing/x.rmd")), kOpenFileNotFound);
    EXPECT_FALSE(file.FileOpened());
    EXPECT_EQ(file.OpenFile(dir.path()), EISDIR);  // a folder is no data file
    EXPECT_FALSE(file.FileOpened());
    // Nor is a named pipe or a device; the open of a pipe does not wait.
    ASSERT_EQ(mkfifo(dir.file("x.rmd").c_str(), 0644), 0);
    EXPECT_EQ(file.OpenFile(dir.file("x.rmd")), EINVAL);
    EXPECT_EQ(file.OpenFile("/dev/zero"), EINVAL);
    EXPECT_FALSE(file.FileOpened());

    test::writeBytes(dir.file("empty.rmd"), {});
    EXPECT_EQ(file.OpenFile(dir.file("empty.rmd")), kOpenFileEmpty);
    EXPECT_FALSE(file.FileOpened());
    ExclusiveFile other;
    EXPECT_EQ(other.open(dir.file("empty.rmd"), ExclusiveFile::Mode::ReadWrite), ExclusiveFile::Result::Ok)
        << "an empty file is released at once";

    test::writeBytes(dir.file("held.rmd"), {1, 2});
    ExclusiveFile recorder;
    ASSERT_EQ(recorder.open(dir.file("held.rmd"), ExclusiveFile::Mode::ReadWrite), ExclusiveFile::Result::Ok);
    EXPECT_EQ(file.OpenFile(dir.file("held.rmd")), kOpenSharingViolation);
    recorder.close();

    test::writeBytes(dir.file("a.rmd"), std::vector<uint8_t>(100, 7));
    ASSERT_EQ(file.OpenFile(dir.file("a.rmd")), kOpenOk);
    EXPECT_TRUE(file.FileOpened());
    EXPECT_EQ(file.OpenFileSize(), 100);
    EXPECT_EQ(other.open(dir.file("a.rmd"), ExclusiveFile::Mode::ReadWrite), ExclusiveFile::Result::SharingViolation);
    ASSERT_EQ(file.OpenFile(dir.file("held.rmd")), kOpenOk);  // opening a second file closes the first
    EXPECT_EQ(other.open(dir.file("a.rmd"), ExclusiveFile::Mode::ReadWrite), ExclusiveFile::Result::Ok);
}

TEST(LargeFileWrapper, ReadAtStopsAtTheEndAndCarries64BitPositions) {
    test::TempDir dir;
    std::vector<uint8_t> bytes(100);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i);
    test::writeBytes(dir.file("a.rmd"), bytes);
    TLargeFileWrapper file;
    ASSERT_EQ(file.OpenFile(dir.file("a.rmd")), kOpenOk);
    std::vector<uint8_t> buffer(1000);
    EXPECT_EQ(file.ReadAt(buffer.data(), 1000, 10), 90);
    EXPECT_EQ(buffer[0], 10);
    EXPECT_EQ(file.ReadAt(buffer.data(), 10, int64_t{5} << 32), 0);
}

TEST(LargeFileWrapper, PositionsAboveFourGibibytesAreReadWithoutLoss) {
    test::TempDir dir;
    const std::string name = dir.file("sparse.rmd");
    {
        ExclusiveFile f;
        ASSERT_EQ(f.open(name, ExclusiveFile::Mode::Create), ExclusiveFile::Result::Ok);
        const uint16_t word = 0xBEEF;
        ASSERT_EQ(f.writeAt((int64_t{5} << 32) + 6, &word, 2), 2);  // a sparse file: no real disk use
    }
    TLargeFileWrapper file;
    ASSERT_EQ(file.OpenFile(name), kOpenOk);
    EXPECT_EQ(file.OpenFileSize(), (int64_t{5} << 32) + 8);
    uint16_t word = 0;
    EXPECT_EQ(file.ReadAt(&word, 2, (int64_t{5} << 32) + 6), 2);
    EXPECT_EQ(word, 0xBEEF);
}

} // namespace
} // namespace rm::viewer
