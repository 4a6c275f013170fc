// The file helpers as members of the wrappers (FileHelpers.h holds the contracts):
//
//   HxPOP<platform::FileManager>::createFolder("/tmp/a");   // static members of the manager
//   HxPOP<std::string>::DocumnetsDirectory();                // sandbox folders on every text base
//   hx(2048).covertUInt64ToString();                         // "2.00 KB"
//
// Thread rule: members are calls on the file system; any thread.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/data/FileHelpers.h>

#include <QVPlatform/foundation/FileManager.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace QVToolbox {

// The file helpers of FileHelpers.h as members.
template <class W, class Base>
struct FileMembers {};

// Sandbox folders, static members of every text base.
template <class W>
struct FileMembers<W, StringFamily> {
    static std::string homeDirectory() { return QVToolbox::homeDirectory(); }
    static std::string DocumnetsDirectory() { return QVToolbox::DocumnetsDirectory(); }
    static std::string LibraryDirectory() { return QVToolbox::LibraryDirectory(); }
    static std::string CachesDirectory() { return QVToolbox::CachesDirectory(); }
    static std::string PreferencesDirectory() { return QVToolbox::PreferencesDirectory(); }
    static std::string TmpDirectory() { return QVToolbox::TmpDirectory(); }
};

// File helpers: static members of the file manager's wrapper.
template <class W>
struct FileMembers<W, platform::FileManager> {
    using FileWriteType = QVToolbox::FileWriteType;
    using MoveOrCopyType = QVToolbox::MoveOrCopyType;

    static std::shared_ptr<platform::FileManager> fileManager() { return QVToolbox::fileManager(); }
    static std::string homeDirectory() { return QVToolbox::homeDirectory(); }
    static std::string DocumnetsDirectory() { return QVToolbox::DocumnetsDirectory(); }
    static std::string LibraryDirectory() { return QVToolbox::LibraryDirectory(); }
    static std::string CachesDirectory() { return QVToolbox::CachesDirectory(); }
    static std::string PreferencesDirectory() { return QVToolbox::PreferencesDirectory(); }
    static std::string TmpDirectory() { return QVToolbox::TmpDirectory(); }

    static bool judgeFileOrFolderExists(std::string_view filePath) { return QVToolbox::judgeFileOrFolderExists(filePath); }
    static bool judegeIsReadableFile(std::string_view path) { return QVToolbox::judegeIsReadableFile(path); }
    static bool judegeIsWritableFile(std::string_view path) { return QVToolbox::judegeIsWritableFile(path); }
    static bool judegeIsExecutableFile(std::string_view path) { return QVToolbox::judegeIsExecutableFile(path); }
    static bool judegeIsDeletableFile(std::string_view path) { return QVToolbox::judegeIsDeletableFile(path); }

    static std::string directoryAtPath(std::string_view path) { return QVToolbox::directoryAtPath(path); }
    static std::string fileSuffixAtPath(std::string_view path) { return QVToolbox::fileSuffixAtPath(path); }
    static std::string fileName(std::string_view path, bool suffix) { return QVToolbox::fileName(path, suffix); }

    static FileResult createFolder(std::string_view folderPath) { return QVToolbox::createFolder(folderPath); }
    static FileResult createFile(std::string_view filePath) { return QVToolbox::createFile(filePath); }
    static FileResult removefile(std::string_view filePath) { return QVToolbox::removefile(filePath); }
    static FileResult removefolder(std::string_view folderPath) { return QVToolbox::removefolder(folderPath); }

    static std::optional<std::string> readfile(std::string_view filePath) { return QVToolbox::readfile(filePath); }
    static FileResult writeToFile(FileWriteType writeType, const platform::Any& content, std::string_view writePath) {
        return QVToolbox::writeToFile(writeType, content, writePath);
    }
    static FileReadResult readFromFile(FileWriteType readType, std::string_view readPath) {
        return QVToolbox::readFromFile(readType, readPath);
    }
    static FileResult copyFile(MoveOrCopyType type, std::string_view fromeFilePath, std::string_view toFilePath,
                               bool isOverwrite) {
        return QVToolbox::copyFile(type, fromeFilePath, toFilePath, isOverwrite);
    }
    static FileResult moveFile(MoveOrCopyType type, std::string_view fromeFilePath, std::string_view toFilePath,
                               bool isOverwrite) {
        return QVToolbox::moveFile(type, fromeFilePath, toFilePath, isOverwrite);
    }

    static std::optional<std::vector<std::string>> shallowSearchAllFiles(std::string_view folderPath) {
        return QVToolbox::shallowSearchAllFiles(folderPath);
    }
    static std::optional<std::vector<std::string>> getAllFileNames(std::string_view folderPath) {
        return QVToolbox::getAllFileNames(folderPath);
    }
    static std::optional<platform::Any::List> deepSearchAllFiles(std::string_view folderPath) {
        return QVToolbox::deepSearchAllFiles(folderPath);
    }

    static std::uint64_t fileOrDirectorySingleSize(std::string_view filePath) {
        return QVToolbox::fileOrDirectorySingleSize(filePath);
    }
    static std::string fileOrDirectorySize(std::string_view path) { return QVToolbox::fileOrDirectorySize(path); }
    static std::string covertUInt64ToString(std::uint64_t size) { return QVToolbox::covertUInt64ToString(size); }
    static std::optional<platform::Any::Dictionary> fileAttributes(std::string_view path) {
        return QVToolbox::fileAttributes(path);
    }
    static bool isEqual(std::string_view filePath1, std::string_view filePath2) {
        return QVToolbox::isEqual(filePath1, filePath2);
    }
};

// Size text of a signed or unsigned count: hx(2048).covertUInt64ToString() is "2.00 KB".
template <class W, class B>
    requires(std::is_integral_v<B> && !std::is_same_v<B, bool> && sizeof(B) >= sizeof(int))
struct FileMembers<W, B> {
    std::string covertUInt64ToString() const {
        const B v = static_cast<const W&>(*this).base;
        if constexpr (std::is_signed_v<B>) return covertInt64ToString(static_cast<std::int64_t>(v));
        else return QVToolbox::covertUInt64ToString(static_cast<std::uint64_t>(v));
    }
};

}  // namespace QVToolbox
