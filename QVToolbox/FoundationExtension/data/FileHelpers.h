// File helpers: create, remove, read, write, copy, move, list, measure and compare files and
// folders by path, the sandbox folders, and a size formatter. Reached through the file
// manager wrapper: HxPOP<platform::FileManager>::createFolder("/tmp/a/b").
//
//   createFolder("/tmp/a/b");                 // {true, ""}: made with its parents
//   removefile("/tmp/missing");               // {true, ""}: nothing there is success
//   covertUInt64ToString(1572864);            // "1.50 MB"
//
// Operations answer a result pair (success flag, fixed message); the messages are the fixed
// Chinese texts below, never the system's error. Every helper works through the default file
// manager, holds no lock of its own and may be called from any thread.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/foundation/FileManager.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

// The encoding of writeToFile / readFromFile.
enum class FileWriteType { TextType, ImageType, ArrayType, DictionaryType };
// Whether copyFile / moveFile move a file or a folder.
enum class MoveOrCopyType { file, directory };
// The sandbox folders, for the host's own use.
enum class BasePath { Directory, Documnets, Library, Caches, Preferences, Tmp };

struct FileResult {
    bool isSuccess = false;
    std::string error;
    friend bool operator==(const FileResult&, const FileResult&) = default;
};

struct FileReadResult {
    bool isSuccess = false;
    std::optional<platform::Any> content;
    std::string error;
};

namespace FileMessage {
inline constexpr const char* removeFileFailed = "移除文件失败";
inline constexpr const char* createFailed = "创建失败";
inline constexpr const char* removeFolderFailed = "删除失败";
inline constexpr const char* noSuchPath = "不存在的文件路径";
inline constexpr const char* writeFailed = "写入失败";
inline constexpr const char* readContentFailed = "读取内容失败";
inline constexpr const char* copySourceMissing = "被拷贝的(文件夹/文件)路径不存在";
inline constexpr const char* copyFolderMissing = "拷贝后路径前一个文件夹不存在";
inline constexpr const char* copyFailed = "拷贝失败";
inline constexpr const char* moveSourceMissing = "被移动的(文件夹/文件)路径不存在";
inline constexpr const char* moveFolderMissing = "移动后路径前一个文件夹不存在";
inline constexpr const char* moveFailed = "移动失败";
inline constexpr const char* success = "success";
inline constexpr const char* emptyPathSize = "0MB";
}  // namespace FileMessage

std::shared_ptr<platform::FileManager> fileManager();

// H, H/Documents, H/Library, H/Library/Caches, H/Library/Preferences, H/tmp, where H is the
// host's home folder. Texts only: nothing is created.
std::string homeDirectory();
std::string DocumnetsDirectory();
std::string LibraryDirectory();
std::string CachesDirectory();
std::string PreferencesDirectory();
std::string TmpDirectory();

bool judgeFileOrFolderExists(std::string_view filePath);
bool judegeIsReadableFile(std::string_view path);
bool judegeIsWritableFile(std::string_view path);
bool judegeIsExecutableFile(std::string_view path);
bool judegeIsDeletableFile(std::string_view path);

// Path texts (trailing "/" ignored): the containing folder ("/a/b.txt" -> "/a"), the
// extension of the last component ("txt", empty if none) and the last component, with or
// without its extension.
std::string directoryAtPath(std::string_view path);
std::string fileSuffixAtPath(std::string_view path);
std::string fileName(std::string_view path, bool suffix);

// Existing path: success, nothing made. Else the folder with its parents / an empty file.
FileResult createFolder(std::string_view folderPath);
FileResult createFile(std::string_view filePath);
// Missing path: success. Else removes it (a folder with its contents).
FileResult removefile(std::string_view filePath);
FileResult removefolder(std::string_view folderPath);

// The file as UTF-8 text; absent when missing, unreadable, a folder or not UTF-8.
std::optional<std::string> readfile(std::string_view filePath);
// TextType: the value's text form, atomically. ImageType: the bytes of a Data value as they
// are. ArrayType / DictionaryType: a list / dictionary as an XML property list, atomically.
// A missing folder gives "不存在的文件路径"; content of the wrong kind or a failed write "写入失败".
FileResult writeToFile(FileWriteType writeType, const platform::Any& content, std::string_view writePath);
// Reads back what writeToFile wrote: text, an image (UIImage object), or a list / dictionary
// from an XML property list or, failing that, JSON text. A content of the wrong kind is
// absent with success.
FileReadResult readFromFile(FileWriteType readType, std::string_view readPath);

// Copies / moves a file or folder; messages as in FileMessage; success answers "success".
FileResult copyFile(MoveOrCopyType type, std::string_view fromeFilePath, std::string_view toFilePath, bool isOverwrite);
FileResult moveFile(MoveOrCopyType type, std::string_view fromeFilePath, std::string_view toFilePath, bool isOverwrite);

// The folder's direct entry names; absent when it cannot be listed.
std::optional<std::vector<std::string>> shallowSearchAllFiles(std::string_view folderPath);
// Every entry below the folder as a path relative to it; absent when the folder is missing.
std::optional<std::vector<std::string>> getAllFileNames(std::string_view folderPath);
// The same listing as texts in a list (empty for a file); absent when the path is missing.
std::optional<platform::Any::List> deepSearchAllFiles(std::string_view folderPath);

// The item's size attribute in bytes; 0 when missing.
std::uint64_t fileOrDirectorySingleSize(std::string_view filePath);
// "0MB" for the empty path; else the size of a file, or of every file at any depth below a
// folder (links counted as links, never followed), formatted by covertUInt64ToString.
std::string fileOrDirectorySize(std::string_view path);
// "%4.2f %s" of the size in the largest unit that keeps it at most 1024 ("1024.00 bytes",
// "1.00 KB"); units bytes, KB, MB, GB, TB, PB, EB, ZB, YB.
std::string covertUInt64ToString(std::uint64_t size);
// The same for a signed count; negative values stay in bytes.
std::string covertInt64ToString(std::int64_t size);

std::optional<platform::Any::Dictionary> fileAttributes(std::string_view path);
// Both exist and hold the same (files byte for byte, folders recursively).
bool isEqual(std::string_view filePath1, std::string_view filePath2);

}  // namespace QVToolbox
