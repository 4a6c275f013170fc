#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/foundation/Host.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace platform;
namespace fs = std::filesystem;

namespace {

fs::path freshFolder(const std::string& name) {
    const fs::path folder = Host::temporaryDirectory() / ("atomic-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::size_t entries(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

TEST(AtomicFile, CreatesAndReplacesFilesLeavingNoTemporaries) {
    const fs::path folder = freshFolder("replace");
    const fs::path target = folder / "a.txt";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(target, "first", &error)) << error;
    EXPECT_EQ(contents(target), "first");
    ASSERT_TRUE(writeFileAtomically(target, std::string("second\0with nul", 15), &error)) << error;
    EXPECT_EQ(contents(target), std::string("second\0with nul", 15));
    ASSERT_TRUE(writeFileAtomically(target, ""));
    EXPECT_EQ(fs::file_size(target), 0u);
    EXPECT_EQ(entries(folder), 1u);
}

TEST(AtomicFile, KeepsThePermissionsOfTheReplacedFileUnlessGivenOthers) {
    const fs::path folder = freshFolder("perms");
    const fs::path secret = folder / "key";
    ASSERT_TRUE(writeFileAtomically(secret, "k1", nullptr, fs::perms::owner_read | fs::perms::owner_write));
    EXPECT_EQ(fs::status(secret).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(writeFileAtomically(secret, "k2"));
    EXPECT_EQ(fs::status(secret).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(contents(secret), "k2");
}

TEST(AtomicFile, FailureLeavesTargetAndFolderUntouched) {
    const fs::path folder = freshFolder("fail");
    std::string error;
    EXPECT_FALSE(writeFileAtomically(folder / "missing" / "x", "data", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(entries(folder), 0u);

    // Renaming a file over a folder fails: the temporary must be cleaned up.
    fs::create_directories(folder / "occupied" / "child");
    error.clear();
    EXPECT_FALSE(writeFileAtomically(folder / "occupied", "data", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(entries(folder), 1u);
    EXPECT_TRUE(fs::is_directory(folder / "occupied" / "child"));

    EXPECT_FALSE(writeFileAtomically(fs::path(), "data"));
}
