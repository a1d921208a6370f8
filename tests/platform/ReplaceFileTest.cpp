#include "ReplaceFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

class ReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "rmreplace-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }
    static void write(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static rm::ReplaceResult replace(const std::string& file, const std::string& text,
                                     const std::function<bool(int)>& mayReplace = {}) {
        return rm::replaceFile(
            file, [&](int fd) { return rm::writeWhole(fd, text.data(), text.size()); }, mayReplace);
    }

    std::filesystem::path dir_;
};

// A superuser's run replacing a user's file leaves it the user's.
TEST_F(ReplaceFileTest, AReplacedFileKeepsItsOwnerGroupAndPermissions) {
    if (geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs the superuser";
    const std::string file = path("RadaDazi.ini");
    write(file, "old");
    ASSERT_EQ(chown(file.c_str(), 4321, 8765), 0);
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    ASSERT_EQ(replace(file, "new"), rm::ReplaceResult::Written);
    EXPECT_EQ(read(file), "new");
    struct stat status {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 8765u);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
}

TEST_F(ReplaceFileTest, AFileTheCallerDoesNotRecogniseStays) {
    const std::string file = path("thesis.ind");
    write(file, "\\begin{theindex}");
    const auto isOurs = [](int fd) {
        char first = 0;
        return ::pread(fd, &first, 1, 0) == 1 && first == 'R';
    };
    EXPECT_EQ(rm::testExistingFile(file, isOurs), false);
    EXPECT_EQ(replace(file, "R new", isOurs), rm::ReplaceResult::CannotCreate);
    EXPECT_EQ(read(file), "\\begin{theindex}");
    write(file, "R old");
    EXPECT_EQ(rm::testExistingFile(file, isOurs), true);
    EXPECT_EQ(replace(file, "R new", isOurs), rm::ReplaceResult::Written);
    EXPECT_EQ(read(file), "R new");
    EXPECT_EQ(rm::testExistingFile(path("missing"), isOurs), std::nullopt);
    // A pipe is not opened (which would wait for a writer) and is no file of the caller's.
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0644), 0);
    EXPECT_EQ(rm::testExistingFile(path("pipe"), isOurs), false);
}

} // namespace
