// NSUserDefaults: the application's persistent settings, a dictionary of property-list values.
//
//   auto& defaults = NSUserDefaults::standardUserDefaults();
//   defaults.setObject(Any("zh-Hans"), "QVSCurrentLanguageKey");
//   defaults.stringForKey("QVSCurrentLanguageKey");      // "zh-Hans"
//
// Storage: an XML property list at Host::preferencesDirectory() / "<bundle id>.plist", where
// the identifier is the main bundle's CFBundleIdentifier ("com.qvtoolbox.app" when it has
// none). The file is read on first use. A file that does not parse (or holds no dictionary)
// is renamed aside to "<bundle id>.plist.corrupt-<unix seconds>", never deleted, and the
// defaults start empty. Loading also removes the temporary files that writers killed
// mid-write left in the folder (see removeAbandonedTemporaryFiles in AtomicFile.h).
//
// Writing: changes apply in memory at once and mark the defaults dirty; `synchronize()`
// writes the whole dictionary atomically (a crash leaves the old or the new file, never a mix).
// A change also schedules a synchronize on the global utility queue 0.1 s later (one at a
// time), and the first load registers an exit handler that writes pending changes, so
// nothing is lost when the host never calls synchronize. Under the manual clock the scheduled
// write runs when a test advances the clock.
//
// Thread rule: every member may be called from any thread (a mutex guards the dictionary;
// file writes happen outside it, one at a time).
#pragma once

#include <QVPlatform/base/Any.h>

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class NSUserDefaults {
public:
    static NSUserDefaults& standardUserDefaults();
    // Tests: writes nothing, drops the in-memory copy (pending changes included) so that the
    // next use reloads from disk, at the path the host configuration gives then.
    static void resetStandardUserDefaults();

    NSUserDefaults(const NSUserDefaults&) = delete;
    NSUserDefaults& operator=(const NSUserDefaults&) = delete;

    // The stored value, or null.
    Any objectForKey(std::string_view key) const;
    // A text, or the text form of a number ("42", "1.5"; true gives "1"); absent otherwise.
    std::optional<std::string> stringForKey(std::string_view key) const;
    // A number (doubles truncate toward zero, true is 1) or a text read as the platform reads
    // numeric text (leading space, sign and digits: "42abc" gives 42); 0 otherwise.
    std::int64_t integerForKey(std::string_view key) const;
    // A number or the numeric prefix of a text ("3.5kg" gives 3.5); 0 otherwise.
    double doubleForKey(std::string_view key) const;
    // A number other than 0, or a text that is "YES" or "true" (any case) or a non-zero
    // integer ("1", "42"); false otherwise ("NO", "false", "0", other texts, other kinds).
    bool boolForKey(std::string_view key) const;
    std::optional<Any::List> arrayForKey(std::string_view key) const;
    std::optional<Any::Dictionary> dictionaryForKey(std::string_view key) const;
    std::optional<Data> dataForKey(std::string_view key) const;

    // Stores `value` under `key`; a null value removes the key. A value a property list cannot
    // hold (a platform object, a null inside a container, text XML cannot carry) is refused:
    // nothing changes, a message goes to the debug channel and the result is false.
    bool setObject(const Any& value, std::string_view key);
    void setInteger(std::int64_t value, std::string_view key) { setObject(Any(value), key); }
    void setBool(bool value, std::string_view key) { setObject(Any(value), key); }
    void setDouble(double value, std::string_view key) { setObject(Any(value), key); }
    void removeObjectForKey(std::string_view key);

    // Writes pending changes now. True when there was nothing to write or the write succeeded;
    // false when the file could not be written (the changes stay pending).
    bool synchronize();

    // Every stored key and value.
    Any::Dictionary dictionaryRepresentation() const;
    // Where the defaults are stored.
    std::filesystem::path filePath() const;

private:
    NSUserDefaults() = default;
    // Requires mutex_.
    void ensureLoaded() const;
    // Requires mutex_; true when the caller must schedule the background synchronize.
    bool markDirty();
    void scheduleSynchronize();

    std::mutex writeMutex_;  // serialises file writes (taken before mutex_)
    mutable std::mutex mutex_;  // guards every member below
    mutable bool loaded_ = false;
    mutable std::filesystem::path path_;
    mutable Any::Dictionary values_;
    bool dirty_ = false;
    std::uint64_t generation_ = 0;  // counts changes, so a write knows what it saved
    bool synchronizeScheduled_ = false;
};

}  // namespace platform
