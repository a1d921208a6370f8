#include "ReplaceFile.h"

#include "FolderTest.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

class ReplaceFileTest : public FolderTest {
protected:
    static rm::ReplaceResult replace(const std::string& file, const std::string& text,
                                     const std::function<bool(int)>& mayReplace = {}) {
        return rm::replaceFile(
            file, [&](int fd) { return rm::writeWhole(fd, text.data(), text.size()); }, mayReplace);
    }
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
