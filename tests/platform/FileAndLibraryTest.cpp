#include "ExclusiveFile.h"
#include "ProgramFolder.h"
#include "SharedLibrary.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <fstream>

namespace {

class ExclusiveFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("rm_platform_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

TEST_F(ExclusiveFileTest, SecondHolderGetsSharingViolationAndNothingIsTruncated) {
    const auto file = path("held.rmd");
    std::ofstream(file) << "0123456789";
    rm::ExclusiveFile first;
    ASSERT_EQ(first.open(file, rm::ExclusiveFile::Mode::ReadOnly), rm::ExclusiveFile::Result::Ok);

    rm::ExclusiveFile second;
    EXPECT_EQ(second.open(file, rm::ExclusiveFile::Mode::Create, true),
              rm::ExclusiveFile::Result::SharingViolation);
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(std::filesystem::file_size(file), 10u);

    first.close();
    EXPECT_EQ(second.open(file, rm::ExclusiveFile::Mode::Create, true), rm::ExclusiveFile::Result::Ok);
    EXPECT_EQ(second.size(), 0);
}

TEST_F(ExclusiveFileTest, PositionedReadsAndWritesBeyondFourGigabytes) {
    const auto file = path("big.bin");
    rm::ExclusiveFile f;
    ASSERT_EQ(f.open(file, rm::ExclusiveFile::Mode::Create), rm::ExclusiveFile::Result::Ok);
    const int64_t far = (int64_t{5} << 30) + 3;  // sparse file
    const char data[] = "abc";
    ASSERT_EQ(f.writeAt(far, data, 3), 3);
    EXPECT_EQ(f.size(), far + 3);
    char back[8] = {};
    EXPECT_EQ(f.readAt(far - 1, back, 8), 4);  // short only at the end
    EXPECT_EQ(std::string(back + 1, 3), "abc");
    EXPECT_EQ(f.append("de", 2), 2);
    EXPECT_EQ(f.size(), far + 5);
}

TEST_F(ExclusiveFileTest, MissingFileAndFailedAppend) {
    rm::ExclusiveFile f;
    EXPECT_EQ(f.open(path("none.rmd"), rm::ExclusiveFile::Mode::ReadOnly), rm::ExclusiveFile::Result::NotFound);
    std::ofstream(path("read.rmd")) << "r";
    ASSERT_EQ(f.open(path("read.rmd"), rm::ExclusiveFile::Mode::ReadOnly), rm::ExclusiveFile::Result::Ok);
    EXPECT_EQ(f.append("xy", 2), 0);
    EXPECT_NE(f.lastErrno(), 0);
}

// Nothing but a regular file is taken, in any mode, and the open never waits:
// a named pipe without its other end would block an open for good.
TEST_F(ExclusiveFileTest, PipesDevicesSocketsAndFoldersAreRefusedAtOnceAndLinksFollowed) {
    ASSERT_EQ(mkfifo(path("pipe.rmd").c_str(), 0644), 0);
    std::filesystem::create_directory(path("folder.rmd"));
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketName = path("socket.rmd");
    ASSERT_LT(socketName.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketName.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::filesystem::create_symlink("/dev/zero", path("zero.rmd"));
    std::filesystem::create_symlink(path("pipe.rmd"), path("pipe-link.rmd"));

    for (const char* name : {"pipe.rmd", "folder.rmd", "socket.rmd", "zero.rmd", "pipe-link.rmd"})
        for (const auto mode : {rm::ExclusiveFile::Mode::ReadOnly, rm::ExclusiveFile::Mode::ReadWrite,
                                rm::ExclusiveFile::Mode::Create}) {
            rm::ExclusiveFile f;
            EXPECT_EQ(f.open(path(name), mode, true), rm::ExclusiveFile::Result::NotRegular) << name;
            EXPECT_FALSE(f.isOpen());
            EXPECT_EQ(f.lastErrno(), std::string(name) == "folder.rmd" ? EISDIR : EINVAL) << name;
        }
    close(listener);

    std::ofstream(path("data.rmd")) << "0123";
    std::filesystem::create_symlink("data.rmd", path("link.rmd"));
    rm::ExclusiveFile linked;
    ASSERT_EQ(linked.open(path("link.rmd"), rm::ExclusiveFile::Mode::ReadWrite), rm::ExclusiveFile::Result::Ok);
    EXPECT_EQ(linked.size(), 4);
    EXPECT_TRUE(linked.isFile(path("data.rmd")));
    EXPECT_FALSE(fcntl(linked.fd(), F_GETFL) & O_NONBLOCK);
}

// No write bit: no writing open for anybody, the superuser included (the
// tests may run as root); reading stays possible; nothing is truncated.
TEST_F(ExclusiveFileTest, AFileWithoutAWriteBitIsOpenedForReadingOnly) {
    const auto file = path("kept.rmd");
    for (const auto mode : {std::filesystem::perms(0444), std::filesystem::perms(0)}) {
        std::ofstream(file) << "0123";
        std::filesystem::permissions(file, mode);
        for (const auto writing : {rm::ExclusiveFile::Mode::ReadWrite, rm::ExclusiveFile::Mode::Create}) {
            rm::ExclusiveFile f;
            EXPECT_EQ(f.open(file, writing, true), rm::ExclusiveFile::Result::Failed);
            EXPECT_FALSE(f.isOpen());
            EXPECT_EQ(f.lastErrno(), EACCES);
        }
        rm::ExclusiveFile reader;
        EXPECT_EQ(reader.open(file, rm::ExclusiveFile::Mode::ReadOnly),
                  geteuid() == 0 || mode != std::filesystem::perms(0) ? rm::ExclusiveFile::Result::Ok
                                                                       : rm::ExclusiveFile::Result::Failed);
        std::filesystem::permissions(file, std::filesystem::perms(0644));
        EXPECT_EQ(std::filesystem::file_size(file), 4u);
        std::filesystem::remove(file);
    }
}

TEST_F(ExclusiveFileTest, DescriptorIsCloseOnExec) {
    const auto file = path("cloexec.bin");
    rm::ExclusiveFile f;
    ASSERT_EQ(f.open(file, rm::ExclusiveFile::Mode::Create), rm::ExclusiveFile::Result::Ok);
    EXPECT_TRUE(fcntl(f.fd(), F_GETFD) & FD_CLOEXEC);
}

// The open file is known by its identity, not by the name it was opened with.
TEST_F(ExclusiveFileTest, KnowsTheOpenFileUnderEveryNameOfIt) {
    const auto file = path("data.rmd");
    rm::ExclusiveFile f;
    EXPECT_FALSE(f.isFile(file));
    ASSERT_EQ(f.open(file, rm::ExclusiveFile::Mode::Create), rm::ExclusiveFile::Result::Ok);
    std::ofstream(path("other.rmd")) << "x";
    std::filesystem::create_hard_link(file, path("data.ind"));
    std::filesystem::create_symlink(file, path("link.rmd"));
    EXPECT_TRUE(f.isFile(file));
    EXPECT_TRUE(f.isFile((dir_ / "." / "data.rmd").string()));
    EXPECT_TRUE(f.isFile(path("data.ind")));
    EXPECT_TRUE(f.isFile(path("link.rmd")));
    EXPECT_FALSE(f.isFile(path("other.rmd")));
    EXPECT_FALSE(f.isFile(path("none.rmd")));
    f.close();
    EXPECT_FALSE(f.isFile(file));
}

TEST(SharedLibrary, ModuleNamesAndLoading) {
    EXPECT_EQ(rm::SharedLibrary::moduleFileName("QuorvRMDrv.dll"), "libquorvrmdrv.so");
    EXPECT_EQ(rm::SharedLibrary::moduleFileName("ulmex.dll"), "libulmex.so");
    EXPECT_EQ(rm::SharedLibrary::moduleFileName("printdll.DLL"), "libprintdll.so");

    rm::SharedLibrary missing;
    EXPECT_FALSE(missing.openModule("NoSuchModule.dll"));
    EXPECT_FALSE(missing.lastError().empty());
    EXPECT_EQ(missing.symbol("anything"), nullptr);

    rm::SharedLibrary libc;
    ASSERT_TRUE(libc.open("libc.so.6"));
    EXPECT_NE(libc.symbol("strlen"), nullptr);
    rm::SharedLibrary moved(std::move(libc));
    EXPECT_FALSE(libc.isOpen());
    EXPECT_TRUE(moved.isOpen());
    EXPECT_TRUE(std::filesystem::exists(rm::programFolder() + "/platform_tests"));
}

} // namespace
