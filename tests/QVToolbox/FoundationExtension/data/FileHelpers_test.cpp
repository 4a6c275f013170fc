#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/foundation/Host.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace QVToolbox;
using platform::Any;
namespace fs = std::filesystem;
using Files = HxPOP<platform::FileManager>;

namespace {

struct TempFolder {
    std::string path;
    TempFolder() {
        char pattern[] = "/tmp/qv-files-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& e : fs::recursive_directory_iterator(path, ignored)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

void write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Runs `checks` where permissions apply: in a child process that gives up root when the tests
// run as root. Answers the child's exit status (0: every check held; 77: could not drop root).
int runWithoutRoot(const std::function<int()>& checks) {
    (void)platform::FileManager::defaultManager();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(77);
        ::_exit(checks());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

}  // namespace

TEST(FileHelpers, SandboxFoldersHangOffTheHomeFolder) {
    const std::string home = platform::Host::homeDirectory().string();
    EXPECT_EQ(Files::homeDirectory(), home);
    EXPECT_EQ(Files::DocumnetsDirectory(), home + "/Documents");
    EXPECT_EQ(Files::CachesDirectory(), home + "/Library/Caches");
    EXPECT_EQ(HxPOP<std::string>::PreferencesDirectory(), home + "/Library/Preferences");
    EXPECT_EQ(HxPOP<platform::NSString>::TmpDirectory(), home + "/tmp");
    EXPECT_EQ(HxPOP<std::string>::LibraryDirectory(), Files::LibraryDirectory());
}

TEST(FileHelpers, PathTexts) {
    EXPECT_EQ(Files::fileName("/a/b.txt", false), "b");
    EXPECT_EQ(Files::fileName("/a/b.txt", true), "b.txt");
    EXPECT_EQ(Files::fileSuffixAtPath("/a/b.txt"), "txt");
    EXPECT_EQ(Files::fileSuffixAtPath("/a/b"), "");
    EXPECT_EQ(Files::fileSuffixAtPath("/a/b.tar.gz/"), "gz");
    EXPECT_EQ(Files::directoryAtPath("/a/b.txt"), "/a");
    EXPECT_EQ(Files::directoryAtPath("/a/b/"), "/a");
    EXPECT_EQ(Files::directoryAtPath("/a"), "/");
    EXPECT_EQ(Files::directoryAtPath("b"), "");
    EXPECT_EQ(Files::fileName("/a/dir/", true), "dir");
}

TEST(FileHelpers, CreateAndRemoveTreatExistenceAsSuccess) {
    TempFolder t;
    EXPECT_EQ(Files::removefile(t / "missing"), (FileResult{true, ""}));
    EXPECT_EQ(Files::removefolder(t / "missing"), (FileResult{true, ""}));
    write(t / "file", "x");
    EXPECT_EQ(Files::createFolder(t / "file"), (FileResult{true, ""}));  // exists as a file: nothing made
    EXPECT_FALSE(fs::is_directory(t / "file"));
    EXPECT_EQ(Files::createFolder(t / "a/b/c"), (FileResult{true, ""}));
    EXPECT_TRUE(fs::is_directory(t / "a/b/c"));
    EXPECT_EQ(Files::createFile(t / "a/new"), (FileResult{true, ""}));
    EXPECT_EQ(fs::file_size(t / "a/new"), 0u);
    EXPECT_EQ(Files::createFile(t / "nofolder/new"), (FileResult{false, ""}));
    EXPECT_EQ(Files::removefolder(t / "a"), (FileResult{true, ""}));
    EXPECT_FALSE(fs::exists(t / "a"));
    fs::create_symlink(t / "gone", t / "dangling");
    EXPECT_EQ(Files::removefile(t / "dangling"), (FileResult{true, ""}));
    EXPECT_FALSE(fs::is_symlink(t / "dangling"));  // the link itself went
}

TEST(FileHelpers, WriteAndReadBackEveryKind) {
    TempFolder t;
    EXPECT_EQ(Files::writeToFile(FileWriteType::TextType, Any("中文 text"), t / "missing/x"),
              (FileResult{false, "不存在的文件路径"}));
    EXPECT_EQ(Files::writeToFile(FileWriteType::TextType, Any("中文 text"), t / "t.txt"), (FileResult{true, ""}));
    EXPECT_EQ(Files::readfile(t / "t.txt"), "中文 text");
    EXPECT_EQ(Files::readFromFile(FileWriteType::TextType, t / "t.txt").content->string(), "中文 text");
    Files::writeToFile(FileWriteType::TextType, Any(Any::List{1, 2.5, "a"}), t / "list.txt");
    EXPECT_EQ(Files::readfile(t / "list.txt"), "[1, 2.5, \"a\"]");

    const Any list = Any::List{1, "two", Any::Dictionary{{"k", true}}};
    EXPECT_EQ(Files::writeToFile(FileWriteType::ArrayType, list, t / "a.plist"), (FileResult{true, ""}));
    EXPECT_TRUE(Files::readfile(t / "a.plist")->starts_with("<?xml"));
    auto back = Files::readFromFile(FileWriteType::ArrayType, t / "a.plist");
    EXPECT_TRUE(back.isSuccess);
    ASSERT_TRUE(back.content);  // the property list written above is read back
    EXPECT_EQ(*back.content, list);
    // The wrong kind for the type reads as success with no content.
    auto asDictionary = Files::readFromFile(FileWriteType::DictionaryType, t / "a.plist");
    EXPECT_TRUE(asDictionary.isSuccess);
    EXPECT_FALSE(asDictionary.content);

    const Any dict = Any::Dictionary{{"name", "QV"}, {"n", 3}};
    EXPECT_EQ(Files::writeToFile(FileWriteType::DictionaryType, dict, t / "d.plist"), (FileResult{true, ""}));
    EXPECT_EQ(*Files::readFromFile(FileWriteType::DictionaryType, t / "d.plist").content, dict);
    EXPECT_EQ(Files::writeToFile(FileWriteType::DictionaryType, list, t / "bad.plist"), (FileResult{false, "写入失败"}));
    EXPECT_EQ(Files::writeToFile(FileWriteType::ArrayType, Any(Any::List{nullptr}), t / "null.plist"),
              (FileResult{false, "写入失败"}));

    write(t / "j.json", R"({"a":[1,2]})");
    EXPECT_EQ(*Files::readFromFile(FileWriteType::DictionaryType, t / "j.json").content,
              Any(Any::Dictionary{{"a", Any::List{1, 2}}}));
    write(t / "bin", std::string("\xff\xfe\x00", 3));
    auto binary = Files::readFromFile(FileWriteType::ArrayType, t / "bin");
    EXPECT_FALSE(binary.isSuccess);
    EXPECT_EQ(binary.error, "读取内容失败");
    EXPECT_FALSE(Files::readFromFile(FileWriteType::TextType, t / "bin").content);
    EXPECT_FALSE(Files::readfile(t / "bin"));
    auto missing = Files::readFromFile(FileWriteType::TextType, t / "nothing");
    EXPECT_EQ(missing.error, "不存在的文件路径");
    EXPECT_FALSE(missing.isSuccess);
    EXPECT_EQ(Files::readFromFile(FileWriteType::TextType, t.path).error, "不存在的文件路径");  // a folder
    EXPECT_FALSE(Files::readfile(t.path));

    const Any bytes = platform::Data::fromString(std::string("\x89PNG\0", 5));
    EXPECT_EQ(Files::writeToFile(FileWriteType::ImageType, bytes, t / "img"), (FileResult{true, ""}));
    EXPECT_EQ(fs::file_size(t / "img"), 5u);
    EXPECT_EQ(Files::writeToFile(FileWriteType::ImageType, Any("not bytes"), t / "img2"), (FileResult{false, "写入失败"}));
}

TEST(FileHelpers, CopyAndMoveFollowTheirSteps) {
    TempFolder t;
    write(t / "src.txt", "data");
    EXPECT_EQ(Files::copyFile(MoveOrCopyType::file, t / "none", t / "x", false),
              (FileResult{false, "被拷贝的(文件夹/文件)路径不存在"}));
    EXPECT_EQ(Files::moveFile(MoveOrCopyType::file, t / "none", t / "x", false),
              (FileResult{false, "被移动的(文件夹/文件)路径不存在"}));
    EXPECT_EQ(Files::copyFile(MoveOrCopyType::file, t / "src.txt", t / "new/dst.txt", false),
              (FileResult{false, "拷贝后路径前一个文件夹不存在"}));
    EXPECT_EQ(Files::moveFile(MoveOrCopyType::file, t / "src.txt", t / "new/dst.txt", false),
              (FileResult{false, "移动后路径前一个文件夹不存在"}));
    EXPECT_EQ(Files::copyFile(MoveOrCopyType::directory, t / "src.txt", t / "new/dst.txt", false),
              (FileResult{true, "success"}));  // a folder's destination gets its parents
    EXPECT_EQ(Files::copyFile(MoveOrCopyType::file, t / "src.txt", t / "new/dst.txt", false),
              (FileResult{false, "拷贝失败"}));
    write(t / "src.txt", "newer");
    EXPECT_EQ(Files::copyFile(MoveOrCopyType::file, t / "src.txt", t / "new/dst.txt", true),
              (FileResult{true, "success"}));
    EXPECT_EQ(Files::readfile(t / "new/dst.txt"), "newer");
    EXPECT_EQ(Files::moveFile(MoveOrCopyType::file, t / "src.txt", t / "new/dst.txt", false),
              (FileResult{false, "移动失败"}));
    EXPECT_EQ(Files::moveFile(MoveOrCopyType::directory, t / "new", t / "moved/here", true),
              (FileResult{true, "success"}));
    EXPECT_TRUE(Files::isEqual(t / "src.txt", t / "moved/here/dst.txt"));
    EXPECT_FALSE(Files::isEqual(t / "src.txt", t / "none"));
}

TEST(FileHelpers, ListingSizesAndAttributes) {
    TempFolder t;
    Files::createFolder(t / "d/sub/deeper");
    write(t / "d/a", std::string(1000, 'a'));
    write(t / "d/sub/b", std::string(2000, 'b'));
    write(t / "d/sub/deeper/c", std::string(3000, 'c'));
    fs::create_symlink(t / "d/sub", t / "d/link");  // not followed
    EXPECT_EQ(Files::shallowSearchAllFiles(t / "d"), (std::vector<std::string>{"a", "link", "sub"}));
    EXPECT_FALSE(Files::shallowSearchAllFiles(t / "none"));
    EXPECT_EQ(Files::getAllFileNames(t / "d"),
              (std::vector<std::string>{"a", "link", "sub", "sub/b", "sub/deeper", "sub/deeper/c"}));
    EXPECT_FALSE(Files::getAllFileNames(t / "none"));
    EXPECT_EQ(Files::deepSearchAllFiles(t / "d")->size(), 6u);
    EXPECT_TRUE(Files::deepSearchAllFiles(t / "d/a")->empty());
    EXPECT_FALSE(Files::deepSearchAllFiles(t / "none"));

    EXPECT_EQ(Files::fileOrDirectorySingleSize(t / "d/a"), 1000u);
    EXPECT_EQ(Files::fileOrDirectorySingleSize(t / "none"), 0u);
    // Every file at any depth counts, plus the link itself (its target path's length).
    const std::uint64_t link = (t / "d/sub").size();
    EXPECT_EQ(Files::fileOrDirectorySize(t / "d"), covertUInt64ToString(6000 + link));
    EXPECT_EQ(Files::fileOrDirectorySize(t / "d/a"), "1000.00 bytes");
    EXPECT_EQ(Files::fileOrDirectorySize(""), "0MB");
    EXPECT_EQ(Files::fileOrDirectorySize(t / "none"), "0.00 bytes");
    EXPECT_EQ(Files::fileAttributes(t / "d/a")->at(platform::FileAttributeKey::size).integerValue(), 1000);
    EXPECT_FALSE(Files::fileAttributes(t / "none"));
}

TEST(FileHelpers, SizeTexts) {
    EXPECT_EQ(Files::covertUInt64ToString(0), "0.00 bytes");
    EXPECT_EQ(Files::covertUInt64ToString(1024), "1024.00 bytes");
    EXPECT_EQ(Files::covertUInt64ToString(1025), "1.00 KB");
    EXPECT_EQ(Files::covertUInt64ToString(1048576), "1024.00 KB");
    EXPECT_EQ(Files::covertUInt64ToString(1572864), "1.50 MB");
    EXPECT_EQ(Files::covertUInt64ToString(UINT64_MAX), "16.00 EB");
    EXPECT_EQ(hx(2048).covertUInt64ToString(), "2.00 KB");
    EXPECT_EQ(hx(-5).covertUInt64ToString(), "-5.00 bytes");
    EXPECT_EQ(hx((std::int64_t{1} << 40) + (std::int64_t{1} << 39)).covertUInt64ToString(), "1.50 TB");
}

TEST(FileHelpers, ReadOnlyFolderFailsWithTheFixedMessages) {
    TempFolder t;
    ::chmod(t.path.c_str(), 0755);
    Files::createFolder(t / "ro/sub");
    write(t / "ro/existing", "keep");
    write(t / "src", "s");
    ::chmod((t / "src").c_str(), 0644);
    ::chmod((t / "ro/sub").c_str(), 0555);
    ::chmod((t / "ro").c_str(), 0555);
    const std::string ro = t / "ro";
    const int status = runWithoutRoot([&] {
        int check = 0;
        const auto expect = [&](bool holds) { ++check; return holds ? 0 : check; };
        if (int f = expect(Files::createFolder(ro + "/new") == FileResult{false, "创建失败"})) return f;
        if (int f = expect(Files::createFile(ro + "/new") == FileResult{false, ""})) return f;
        if (int f = expect(Files::writeToFile(FileWriteType::TextType, Any("x"), ro + "/x") == FileResult{false, "写入失败"})) return f;
        if (int f = expect(Files::removefile(ro + "/existing") == FileResult{false, "移除文件失败"})) return f;
        if (int f = expect(Files::removefolder(ro + "/sub") == FileResult{false, "删除失败"})) return f;
        if (int f = expect(Files::copyFile(MoveOrCopyType::file, t / "src", ro + "/c", false) == FileResult{false, "拷贝失败"})) return f;
        if (int f = expect(Files::copyFile(MoveOrCopyType::file, t / "src", ro + "/existing", true) == FileResult{false, "拷贝失败"})) return f;
        if (int f = expect(!Files::judegeIsWritableFile(ro) && Files::judegeIsReadableFile(ro))) return f;
        if (int f = expect(!Files::judegeIsDeletableFile(ro + "/existing"))) return f;
        if (int f = expect(Files::readfile(ro + "/existing") == std::optional<std::string>("keep"))) return f;
        return 0;
    });
    if (status == 77) GTEST_SKIP() << "cannot give up root here";
    EXPECT_EQ(status, 0) << "the check with this number failed";
    EXPECT_TRUE(fs::exists(t / "ro/existing"));
}
