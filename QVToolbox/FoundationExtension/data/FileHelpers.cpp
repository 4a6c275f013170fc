#include <QVToolbox/FoundationExtension/data/FileHelpers.h>

#include <QVToolbox/FoundationExtension/data/detail/AnyDescription.h>
#include <QVToolbox/FoundationExtension/data/detail/ImageBytes.h>

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/foundation/JSONSerialization.h>
#include <QVPlatform/foundation/PropertyList.h>
#include <QVPlatform/base/Text.h>

#include <array>
#include <cstdio>

namespace QVToolbox {

using platform::Any;

namespace {

platform::FileManager& fm() { return *platform::FileManager::defaultManager(); }

// The path without trailing "/" (a path of only "/" stays "/").
std::string_view trimmed(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return path;
}

std::string lastComponent(std::string_view path) {
    path = trimmed(path);
    if (path == "/") return "/";
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Something exists at the path, a dangling link included (so that it can be removed).
bool itemExists(std::string_view path) { return fm().itemExistsAtPath(path); }

FileResult ok(std::string message = "") { return {true, std::move(message)}; }
FileResult failed(const char* message) { return {false, message}; }

struct TransferMessages {
    const char* sourceMissing;
    const char* folderMissing;
    const char* failed;
};

FileResult transfer(bool copy, MoveOrCopyType type, std::string_view from, std::string_view to, bool isOverwrite) {
    const TransferMessages m = copy ? TransferMessages{FileMessage::copySourceMissing, FileMessage::copyFolderMissing, FileMessage::copyFailed}
                                    : TransferMessages{FileMessage::moveSourceMissing, FileMessage::moveFolderMissing, FileMessage::moveFailed};
    if (!judgeFileOrFolderExists(from)) return failed(m.sourceMissing);
    const std::string folder = directoryAtPath(to);
    if (!judgeFileOrFolderExists(folder)) {
        // A folder's destination gets its parents made; a file's cannot be provided.
        const FileResult provided = type == MoveOrCopyType::directory ? createFolder(folder) : createFile(to);
        if (!provided.isSuccess) return failed(m.folderMissing);
    }
    if (isOverwrite && itemExists(to) && !fm().removeItemAtPath(to)) return failed(m.failed);
    const bool done = copy ? fm().copyItemAtPath(from, to) : fm().moveItemAtPath(from, to);
    return done ? ok(FileMessage::success) : failed(m.failed);
}

}  // namespace

std::shared_ptr<platform::FileManager> fileManager() { return platform::FileManager::defaultManager(); }

std::string homeDirectory() { return platform::Host::homeDirectory().string(); }
std::string DocumnetsDirectory() { return homeDirectory() + "/Documents"; }
std::string LibraryDirectory() { return homeDirectory() + "/Library"; }
std::string CachesDirectory() { return homeDirectory() + "/Library/Caches"; }
std::string PreferencesDirectory() { return homeDirectory() + "/Library/Preferences"; }
std::string TmpDirectory() { return homeDirectory() + "/tmp"; }

bool judgeFileOrFolderExists(std::string_view filePath) { return fm().fileExistsAtPath(filePath); }
bool judegeIsReadableFile(std::string_view path) { return fm().isReadableFileAtPath(path); }
bool judegeIsWritableFile(std::string_view path) { return fm().isWritableFileAtPath(path); }
bool judegeIsExecutableFile(std::string_view path) { return fm().isExecutableFileAtPath(path); }
bool judegeIsDeletableFile(std::string_view path) { return fm().isDeletableFileAtPath(path); }

std::string directoryAtPath(std::string_view path) {
    path = trimmed(path);
    if (path == "/") return "/";
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return "";
    if (slash == 0) return "/";
    return std::string(trimmed(path.substr(0, slash)));
}

std::string fileSuffixAtPath(std::string_view path) {
    const std::string name = lastComponent(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot + 1);
}

std::string fileName(std::string_view path, bool suffix) {
    std::string name = lastComponent(path);
    if (suffix) return name;
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot + 1 < name.size()) name.resize(dot);
    return name;
}

FileResult createFolder(std::string_view folderPath) {
    if (judgeFileOrFolderExists(folderPath)) return ok();
    return fm().createDirectoryAtPath(folderPath, true) ? ok() : failed(FileMessage::createFailed);
}

FileResult createFile(std::string_view filePath) {
    if (judgeFileOrFolderExists(filePath)) return ok();
    return {fm().createFileAtPath(filePath), ""};
}

FileResult removefile(std::string_view filePath) {
    if (!itemExists(filePath)) return ok();
    return fm().removeItemAtPath(filePath) ? ok() : failed(FileMessage::removeFileFailed);
}

FileResult removefolder(std::string_view folderPath) {
    if (!itemExists(folderPath)) return ok();
    return fm().removeItemAtPath(folderPath) ? ok() : failed(FileMessage::removeFolderFailed);
}

std::optional<std::string> readfile(std::string_view filePath) {
    if (!judgeFileOrFolderExists(filePath)) return std::nullopt;
    auto bytes = fm().contentsAtPath(filePath);
    if (!bytes || !platform::isValidUtf8(bytes->view())) return std::nullopt;
    return bytes->toString();
}

FileResult writeToFile(FileWriteType writeType, const Any& content, std::string_view writePath) {
    if (!judgeFileOrFolderExists(directoryAtPath(writePath))) return failed(FileMessage::noSuchPath);
    bool written = false;
    switch (writeType) {
        case FileWriteType::TextType:
            written = fm().writeAtomically(writePath, detail::describe(content));
            break;
        case FileWriteType::ImageType:
            if (const auto* data = content.asData()) written = fm().writeContents(writePath, data->view());
            break;
        case FileWriteType::ArrayType:
        case FileWriteType::DictionaryType: {
            const bool fits = writeType == FileWriteType::ArrayType ? content.isList() : content.isDictionary();
            if (!fits) break;
            if (auto xml = platform::PropertyList::writeXML(content)) written = fm().writeAtomically(writePath, *xml);
            break;
        }
    }
    return written ? ok() : failed(FileMessage::writeFailed);
}

FileReadResult readFromFile(FileWriteType readType, std::string_view readPath) {
    const auto bytes = judgeFileOrFolderExists(readPath) ? fm().contentsAtPath(readPath) : std::nullopt;
    if (!bytes) return {false, std::nullopt, FileMessage::noSuchPath};
    switch (readType) {
        case FileWriteType::TextType:
            if (!platform::isValidUtf8(bytes->view())) return {true, std::nullopt, ""};
            return {true, Any(bytes->toString()), ""};
        case FileWriteType::ImageType:
            return {true, detail::imageFromBytes(*bytes), ""};
        case FileWriteType::ArrayType:
        case FileWriteType::DictionaryType: {
            const std::string_view text = bytes->view();
            if (!platform::isValidUtf8(text)) return {false, std::nullopt, FileMessage::readContentFailed};
            // writeToFile stores property lists; anything else is read as JSON.
            std::optional<Any> value = platform::PropertyList::looksLikeXML(text)
                                           ? platform::PropertyList::readXML(text)
                                           : platform::JSONSerialization::jsonObject(text, {.mutableContainers = true});
            const bool fits = value && (readType == FileWriteType::ArrayType ? value->isList() : value->isDictionary());
            return {true, fits ? std::move(value) : std::nullopt, ""};
        }
    }
    return {false, std::nullopt, FileMessage::noSuchPath};
}

FileResult copyFile(MoveOrCopyType type, std::string_view fromeFilePath, std::string_view toFilePath, bool isOverwrite) {
    return transfer(true, type, fromeFilePath, toFilePath, isOverwrite);
}

FileResult moveFile(MoveOrCopyType type, std::string_view fromeFilePath, std::string_view toFilePath, bool isOverwrite) {
    return transfer(false, type, fromeFilePath, toFilePath, isOverwrite);
}

std::optional<std::vector<std::string>> shallowSearchAllFiles(std::string_view folderPath) {
    return fm().contentsOfDirectoryAtPath(folderPath);
}

std::optional<std::vector<std::string>> getAllFileNames(std::string_view folderPath) {
    if (!judgeFileOrFolderExists(folderPath)) return std::nullopt;
    return fm().subpathsOfDirectoryAtPath(folderPath);
}

std::optional<Any::List> deepSearchAllFiles(std::string_view folderPath) {
    if (!judgeFileOrFolderExists(folderPath)) return std::nullopt;
    Any::List all;
    if (auto enumerator = fm().enumeratorAtPath(folderPath)) {
        while (auto next = enumerator->nextObject()) all.emplace_back(std::move(*next));
    }
    return all;
}

std::uint64_t fileOrDirectorySingleSize(std::string_view filePath) {
    const auto attributes = fm().attributesOfItemAtPath(filePath);
    if (!attributes) return 0;
    const auto it = attributes->find(platform::FileAttributeKey::size);
    if (it == attributes->end() || !it->second.isInteger() || it->second.integerValue() < 0) return 0;
    return static_cast<std::uint64_t>(it->second.integerValue());
}

std::string fileOrDirectorySize(std::string_view path) {
    if (path.empty()) return FileMessage::emptyPathSize;
    bool isDirectory = false;
    if (fm().fileExistsAtPath(path, isDirectory) && isDirectory && fm().isReadableFileAtPath(path)) {
        return covertUInt64ToString(fm().sizeOfFilesBelowPath(path));
    }
    return covertUInt64ToString(fileOrDirectorySingleSize(path));
}

namespace {

constexpr std::array<const char*, 9> kUnits{"bytes", "KB", "MB", "GB", "TB", "PB", "EB", "ZB", "YB"};

std::string formatSize(double v, bool scale) {
    std::size_t unit = 0;
    if (scale) {
        do {
            ++unit;
            v *= 0.0009765625;  // 1 / 1024
        } while (v > 1024 && unit + 1 < kUnits.size());
    }
    char text[64];
    std::snprintf(text, sizeof text, "%4.2f %s", v, kUnits[unit]);
    return text;
}

}  // namespace

std::string covertUInt64ToString(std::uint64_t size) { return formatSize(static_cast<double>(size), size >= 1025); }

std::string covertInt64ToString(std::int64_t size) { return formatSize(static_cast<double>(size), size >= 1025); }

std::optional<Any::Dictionary> fileAttributes(std::string_view path) { return fm().attributesOfItemAtPath(path); }

bool isEqual(std::string_view filePath1, std::string_view filePath2) {
    return judgeFileOrFolderExists(filePath1) && judgeFileOrFolderExists(filePath2) &&
           fm().contentsEqualAtPath(filePath1, filePath2);
}

}  // namespace QVToolbox
