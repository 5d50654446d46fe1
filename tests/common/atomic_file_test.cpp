#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/test_files.h"

namespace merlop {
namespace {

namespace fs = std::filesystem;
using testing::FileSizeLimit;

class AtomicFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("merlop-atomic-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void write(const fs::path& p, const std::string& s) {
        std::ofstream(p, std::ios::binary) << s;
    }
    int entries() const {
        return static_cast<int>(std::distance(fs::directory_iterator(dir_), {}));
    }

    fs::path dir_;
};

TEST_F(AtomicFile, ReplacesThroughALinkKeepingTheLinkAndThePermissions) {
    const fs::path real = dir_ / "real.cfg";
    const fs::path link = dir_ / "link.cfg";
    write(real, "old");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real.cfg", link);

    ASSERT_EQ(replaceFile(link, "new content"), 0);

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read(real), "new content");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(), 2);
}

TEST_F(AtomicFile, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryBehind) {
    const fs::path file = dir_ / "merlo230.tng";
    write(file, std::string(100, 'a'));
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(replaceFile(file, std::string(10000, 'b')), EFBIG);
        EXPECT_EQ(createFile(dir_ / "new.cfg", std::string(10000, 'b')), EFBIG);
    }
    EXPECT_EQ(read(file), std::string(100, 'a'));
    EXPECT_FALSE(fs::exists(dir_ / "new.cfg"));
    EXPECT_EQ(entries(), 1);
}

TEST_F(AtomicFile, CreateNeverReplacesWhatIsThere) {
    const fs::path file = dir_ / "merlo301.cfg";
    ASSERT_EQ(createFile(file, "first"), 0);
    EXPECT_EQ(createFile(file, "second"), EEXIST);
    EXPECT_EQ(read(file), "first");

    fs::create_directory(dir_ / "folder");
    EXPECT_EQ(createFile(dir_ / "folder", "x"), EEXIST);
    EXPECT_EQ(replaceFile(dir_ / "folder", "x"), EISDIR);
    EXPECT_EQ(entries(), 2);
}

TEST_F(AtomicFile, AReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    const fs::path file = dir_ / "merlo301.cfg";
    write(file, "kept");
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_EQ(replaceFile(file, "lost"), EACCES);
    EXPECT_EQ(read(file), "kept");
}

}  // namespace
}  // namespace merlop
