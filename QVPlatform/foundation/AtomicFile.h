// AtomicFile: replace a file's contents so that readers (and a crash) see either the old
// file or the new one, never a mix.
//
//   std::string error;
//   writeFileAtomically(dir / "settings.plist", xml, &error);   // true, or false with a reason
//   // a process killed at any point leaves the old file or the whole new one
//
// The bytes go to a temporary file in the target's folder (same file system, so the rename
// is atomic), which is flushed to disk, renamed over the target, and then the folder itself
// is flushed so that the rename survives a power loss. On any failure the temporary file is
// removed and the target is left as it was. The temporary file is named
// ".NAME.tmp-<writer pid>-<counter>-<salt>"; a writer killed mid-write leaves it behind, and
// removeAbandonedTemporaryFiles() clears those of writers no longer alive.
// Thread rule: callable from any thread; two concurrent writers of one path each produce a
// whole file (the last rename wins).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Writes `bytes` to `path` atomically. The folder must exist. The new file takes
// `permissions` when given; otherwise the permissions of the file it replaces, or, for a new
// file, 0666 less the process umask. Returns false (and a reason in `error` when given) if
// anything fails; the target is then unchanged.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* error = nullptr,
                         std::optional<std::filesystem::perms> permissions = std::nullopt);

// Removes the temporary files that writers of `path` left when they were killed mid-write:
// those whose writer pid names no live process (kill(pid, 0) fails with ESRCH). The files of
// this process and of any live process are kept, so a write in progress is never disturbed.
// Limits: a leftover whose pid has since been taken by another live process stays until that
// process ends; a writer in another pid namespace sharing the folder cannot be seen and looks
// dead. Returns how many files were removed.
int removeAbandonedTemporaryFiles(const std::filesystem::path& path);

}  // namespace platform
