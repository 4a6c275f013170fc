#include <QVPlatform/foundation/FileManager.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

struct TempFolder {
    std::string path;
    TempFolder() {
        char pattern[] = "/tmp/qv-fm-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

void write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

}  // namespace

TEST(FileManager, CreatesListsAndRemovesTrees) {
    TempFolder t;
    auto fm = FileManager::defaultManager();
    EXPECT_TRUE(fm->createDirectoryAtPath(t / "a/b/c", true));
    EXPECT_TRUE(fm->createDirectoryAtPath(t / "a/b/c", true));  // existing folder: fine
    std::string error;
    EXPECT_FALSE(fm->createDirectoryAtPath(t / "x/y", false, &error));  // parent missing
    EXPECT_FALSE(error.empty());
    write(t / "a/file.txt", "hello");
    EXPECT_FALSE(fm->createDirectoryAtPath(t / "a/file.txt", true));  // a file is in the way

    bool isDirectory = true;
    EXPECT_TRUE(fm->fileExistsAtPath(t / "a/file.txt", isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_FALSE(fm->fileExistsAtPath(""));

    EXPECT_EQ(fm->contentsOfDirectoryAtPath(t / "a"), (std::vector<std::string>{"b", "file.txt"}));
    EXPECT_EQ(fm->subpathsOfDirectoryAtPath(t / "a"), (std::vector<std::string>{"b", "b/c", "file.txt"}));
    EXPECT_FALSE(fm->subpathsOfDirectoryAtPath(t / "missing"));
    EXPECT_EQ(fm->enumeratorAtPath(t / "a/file.txt"), nullptr);

    auto e = fm->enumeratorAtPath(t / "a");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->nextObject(), "b");
    e->skipDescendants();
    EXPECT_EQ(e->nextObject(), "file.txt");
    EXPECT_EQ(e->level(), 1u);
    EXPECT_EQ(e->nextObject(), std::nullopt);

    EXPECT_TRUE(fm->removeItemAtPath(t / "a"));
    EXPECT_FALSE(fm->fileExistsAtPath(t / "a"));
    EXPECT_FALSE(fm->removeItemAtPath(t / "a"));  // nothing there
}

TEST(FileManager, AttributesDescribeTheItemAndLinksThemselves) {
    TempFolder t;
    auto fm = FileManager::defaultManager();
    write(t / "f", "12345");
    ::chmod((t / "f").c_str(), 0640);
    fs::create_symlink(t / "f", t / "link");
    auto a = fm->attributesOfItemAtPath(t / "f");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->at(FileAttributeKey::size).integerValue(), 5);
    EXPECT_EQ(a->at(FileAttributeKey::type).string(), FileAttributeType::regular);
    EXPECT_EQ(a->at(FileAttributeKey::posixPermissions).integerValue(), 0640);
    EXPECT_TRUE(a->at(FileAttributeKey::modificationDate).isDate());
    EXPECT_EQ(fm->attributesOfItemAtPath(t / "link")->at(FileAttributeKey::type).string(), FileAttributeType::symbolicLink);
    EXPECT_EQ(fm->attributesOfItemAtPath(t.path)->at(FileAttributeKey::type).string(), FileAttributeType::directory);
    EXPECT_FALSE(fm->attributesOfItemAtPath(t / "missing"));
}

TEST(FileManager, CopyAndMoveRefuseAnExistingDestinationAndKeepTrees) {
    TempFolder t;
    auto fm = FileManager::defaultManager();
    fm->createDirectoryAtPath(t / "src/sub", true);
    write(t / "src/sub/x", "x");
    fs::create_symlink("sub/x", t / "src/rel");
    EXPECT_TRUE(fm->copyItemAtPath(t / "src", t / "copy"));
    EXPECT_TRUE(fm->contentsEqualAtPath(t / "src", t / "copy"));
    EXPECT_TRUE(fs::is_symlink(t / "copy/rel"));  // links copied as links
    EXPECT_FALSE(fm->copyItemAtPath(t / "src", t / "copy"));
    write(t / "other", "y");
    EXPECT_FALSE(fm->moveItemAtPath(t / "other", t / "copy/sub/x"));  // never replaces silently
    EXPECT_EQ(fm->contentsAtPath(t / "copy/sub/x")->toString(), "x");
    EXPECT_TRUE(fm->moveItemAtPath(t / "copy", t / "moved"));
    EXPECT_FALSE(fm->fileExistsAtPath(t / "copy"));
    EXPECT_TRUE(fm->contentsEqualAtPath(t / "src", t / "moved"));
}

TEST(FileManager, ContentsEqualComparesBytesAndTrees) {
    TempFolder t;
    auto fm = FileManager::defaultManager();
    write(t / "a", std::string(200000, 'q'));
    write(t / "b", std::string(200000, 'q'));
    std::string changed(200000, 'q');
    changed[150000] = 'r';
    write(t / "c", changed);
    EXPECT_TRUE(fm->contentsEqualAtPath(t / "a", t / "b"));
    EXPECT_FALSE(fm->contentsEqualAtPath(t / "a", t / "c"));
    EXPECT_FALSE(fm->contentsEqualAtPath(t / "a", t / "missing"));
    fm->createDirectoryAtPath(t / "d1/in", true);
    fm->createDirectoryAtPath(t / "d2/in", true);
    write(t / "d1/in/f", "1");
    write(t / "d2/in/f", "1");
    EXPECT_TRUE(fm->contentsEqualAtPath(t / "d1", t / "d2"));
    write(t / "d2/in/g", "");
    EXPECT_FALSE(fm->contentsEqualAtPath(t / "d1", t / "d2"));
    EXPECT_FALSE(fm->contentsEqualAtPath(t / "a", t / "d1"));
}

TEST(FileManager, WritesAtomicallyAndReadsBack) {
    TempFolder t;
    auto fm = FileManager::defaultManager();
    EXPECT_TRUE(fm->writeAtomically(t / "f", "one"));
    EXPECT_TRUE(fm->writeAtomically(t / "f", "two"));
    EXPECT_EQ(fm->contentsAtPath(t / "f")->toString(), "two");
    EXPECT_EQ(fm->contentsOfDirectoryAtPath(t.path)->size(), 1u);  // no temporary left behind
    EXPECT_FALSE(fm->writeAtomically(t / "missing/f", "x"));
    Data bytes = Data::fromString("abc");
    EXPECT_TRUE(fm->createFileAtPath(t / "g", &bytes));
    EXPECT_EQ(fm->contentsAtPath(t / "g")->toString(), "abc");
    EXPECT_FALSE(fm->contentsAtPath(t.path));  // a folder has no contents
}

TEST(FileManager, PermissionPredicatesFollowTheModeBits) {
    TempFolder t;
    auto fm = FileManager::defaultManager();
    write(t / "script", "#!/bin/sh\n");
    ::chmod((t / "script").c_str(), 0755);
    EXPECT_TRUE(fm->isReadableFileAtPath(t / "script"));
    EXPECT_TRUE(fm->isExecutableFileAtPath(t / "script"));
    EXPECT_TRUE(fm->isWritableFileAtPath(t / "script"));
    EXPECT_TRUE(fm->isDeletableFileAtPath(t / "script"));
    EXPECT_FALSE(fm->isReadableFileAtPath(t / "missing"));
    EXPECT_FALSE(fm->isDeletableFileAtPath(t / "missing"));
    if (::geteuid() != 0) {
        ::chmod((t / "script").c_str(), 0444);
        EXPECT_FALSE(fm->isWritableFileAtPath(t / "script"));
        EXPECT_FALSE(fm->isExecutableFileAtPath(t / "script"));
    }
}
