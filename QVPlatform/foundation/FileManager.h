// FileManager: the platform's file manager — existence and permission tests, attributes,
// creating, removing, copying, moving, listing and comparing items by path.
//
//   auto fm = FileManager::defaultManager();
//   fm->createDirectoryAtPath("/tmp/a/b", true);          // true: made with its parents
//   fm->attributesOfItemAtPath("/tmp/a")->at(FileAttributeKey::type).string();  // "NSFileTypeDirectory"
//
// Paths are absolute UTF-8 texts. Failures answer false / absent and, when asked, describe
// the cause in `error` (the system's message). Symbolic links: existence and permission tests
// follow them, attributes describe the link itself, listings and removal never descend into
// a linked folder. Atomic writes go to a temporary file in the same folder, are flushed to
// disk and renamed into place, so a reader sees the old or the new content, never a part.
//
// Thread rule: the manager has no mutable state; every member may be called from any thread.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Data.h>
#include <QVPlatform/runtime/NSObject.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Keys and type values of the attribute dictionary.
namespace FileAttributeKey {
inline constexpr const char* size = "NSFileSize";                        // integer, bytes
inline constexpr const char* type = "NSFileType";                        // one of FileAttributeType
inline constexpr const char* modificationDate = "NSFileModificationDate";  // Date
inline constexpr const char* creationDate = "NSFileCreationDate";        // Date (birth time, else change time)
inline constexpr const char* posixPermissions = "NSFilePosixPermissions";  // integer, e.g. 0644
inline constexpr const char* referenceCount = "NSFileReferenceCount";    // integer, hard links
inline constexpr const char* ownerAccountID = "NSFileOwnerAccountID";    // integer
inline constexpr const char* groupOwnerAccountID = "NSFileGroupOwnerAccountID";  // integer
inline constexpr const char* ownerAccountName = "NSFileOwnerAccountName";  // text, when known
inline constexpr const char* groupOwnerAccountName = "NSFileGroupOwnerAccountName";  // text, when known
inline constexpr const char* systemNumber = "NSFileSystemNumber";        // integer, device
inline constexpr const char* systemFileNumber = "NSFileSystemFileNumber";  // integer, inode
}  // namespace FileAttributeKey

namespace FileAttributeType {
inline constexpr const char* regular = "NSFileTypeRegular";
inline constexpr const char* directory = "NSFileTypeDirectory";
inline constexpr const char* symbolicLink = "NSFileTypeSymbolicLink";
inline constexpr const char* characterSpecial = "NSFileTypeCharacterSpecial";
inline constexpr const char* blockSpecial = "NSFileTypeBlockSpecial";
inline constexpr const char* socket = "NSFileTypeSocket";
inline constexpr const char* unknown = "NSFileTypeUnknown";
}  // namespace FileAttributeType

// Walks a folder's tree depth first, parents before their contents, each folder's entries in
// name order. Entries are paths relative to the root. Linked folders are listed, not entered.
class DirectoryEnumerator {
public:
    explicit DirectoryEnumerator(std::string root);
    // The next relative path, or absent at the end.
    std::optional<std::string> nextObject();
    // The entries not yet returned, in order.
    std::vector<std::string> allObjects();
    // Do not descend into the folder returned last.
    void skipDescendants() { skipLast_ = true; }
    // Depth of the entry returned last: 1 for the root's own entries.
    std::size_t level() const { return lastLevel_; }

private:
    struct Frame {
        std::string relative;  // folder relative to the root ("" for the root)
        std::vector<std::string> names;
        std::size_t next = 0;
    };
    std::string root_;
    std::vector<Frame> frames_;
    std::optional<std::string> pendingFolder_;  // last entry, if it is a folder to enter
    std::size_t lastLevel_ = 0;
    bool skipLast_ = false;
};

class FileManager : public NSObjectSubclass<FileManager, NSObject, "NSFileManager"> {
public:
    // The shared manager.
    static std::shared_ptr<FileManager> defaultManager();

    // True when something exists at the path (links followed). `isDirectory` receives
    // whether it is a folder.
    bool fileExistsAtPath(std::string_view path) const;
    bool fileExistsAtPath(std::string_view path, bool& isDirectory) const;
    // True when an item exists at the path itself, a dangling link included (so that it can
    // be removed); links are not followed.
    bool itemExistsAtPath(std::string_view path) const;
    // Whether the calling process may read / write / execute the item (links followed).
    bool isReadableFileAtPath(std::string_view path) const;
    bool isWritableFileAtPath(std::string_view path) const;
    bool isExecutableFileAtPath(std::string_view path) const;
    // Whether the item may be removed: its folder is writable and searchable (and, in a
    // sticky folder, the caller owns the item or the folder).
    bool isDeletableFileAtPath(std::string_view path) const;

    // The item's attributes (the link itself for a link; see FileAttributeKey), or absent.
    std::optional<Any::Dictionary> attributesOfItemAtPath(std::string_view path, std::string* error = nullptr) const;

    // Makes a folder; with `intermediates`, also its missing parents, and an existing folder
    // is success. Without, the parent must exist and the path must not.
    bool createDirectoryAtPath(std::string_view path, bool intermediates, std::string* error = nullptr) const;
    // Writes `contents` (empty when null) to a new or existing file, atomically. False when
    // the folder is missing or the write fails.
    bool createFileAtPath(std::string_view path, const Data* contents = nullptr) const;
    // Removes a file, a link or a folder with everything below it.
    bool removeItemAtPath(std::string_view path, std::string* error = nullptr) const;
    // Copies a file or a folder tree (links copied as links). Fails when `to` exists.
    bool copyItemAtPath(std::string_view from, std::string_view to, std::string* error = nullptr) const;
    // Moves an item (a rename, or a copy and removal across file systems). Fails when `to`
    // exists.
    bool moveItemAtPath(std::string_view from, std::string_view to, std::string* error = nullptr) const;

    // Names of the folder's direct entries in name order, or absent.
    std::optional<std::vector<std::string>> contentsOfDirectoryAtPath(std::string_view path,
                                                                      std::string* error = nullptr) const;
    // Every entry below the folder as a path relative to it, in enumerator order, or absent.
    std::optional<std::vector<std::string>> subpathsOfDirectoryAtPath(std::string_view path,
                                                                      std::string* error = nullptr) const;
    // An enumerator over the folder's tree, or null when the path is not a folder.
    std::unique_ptr<DirectoryEnumerator> enumeratorAtPath(std::string_view path) const;

    // The sum of the sizes of every non-folder entry at any depth below `folder` (links
    // counted as links, never followed; unreadable subfolders count nothing; 0 when the
    // folder cannot be read).
    std::uint64_t sizeOfFilesBelowPath(std::string_view folder) const;

    // True when both exist and hold the same: files byte for byte, links the same target,
    // folders the same names with equal contents, recursively.
    bool contentsEqualAtPath(std::string_view path1, std::string_view path2) const;

    // The file's bytes, or absent when it cannot be read.
    std::optional<Data> contentsAtPath(std::string_view path) const;
    // Replaces the file's content atomically (temporary file, flush, rename).
    bool writeAtomically(std::string_view path, std::string_view bytes, std::string* error = nullptr) const;
    // Writes the bytes in place (truncating), not atomically.
    bool writeContents(std::string_view path, std::string_view bytes, std::string* error = nullptr) const;
};

using FileManagerPtr = std::shared_ptr<FileManager>;

}  // namespace platform
