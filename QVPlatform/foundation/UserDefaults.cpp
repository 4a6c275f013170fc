#include <QVPlatform/foundation/UserDefaults.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/base/Debug.h>
#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/foundation/PropertyList.h>
#include <QVPlatform/foundation/detail/PropertyListValue.h>
#include <QVPlatform/foundation/detail/ReadFile.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFallbackIdentifier = "com.qvtoolbox.app";
constexpr double kSynchronizeDelaySeconds = 0.1;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view skipSpace(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    return text;
}

// The platform's integer reading of a text: leading space, an optional sign, then digits up
// to the first other character; saturates at the 64-bit limits; 0 when there are no digits.
std::int64_t integerOfText(std::string_view text) {
    text = skipSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    std::uint64_t magnitude = 0;
    bool saturated = false;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (static_cast<std::uint64_t>(max) + 1 - digit) / 10) {
            saturated = true;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (saturated) return negative ? std::numeric_limits<std::int64_t>::min() : max;
    if (negative) return magnitude > static_cast<std::uint64_t>(max) ? std::numeric_limits<std::int64_t>::min()
                                                                     : -static_cast<std::int64_t>(magnitude);
    return magnitude > static_cast<std::uint64_t>(max) ? max : static_cast<std::int64_t>(magnitude);
}

// The numeric prefix of a text ("3.5kg" gives 3.5); 0 without one.
double doubleOfText(std::string_view text) {
    text = skipSpace(text);
    if (text.starts_with('+')) text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0.0;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i]) return false;
    }
    return true;
}

std::string textOfNumber(const Any& number) {
    if (number.isBool()) return number.boolValue() ? "1" : "0";
    if (number.isInteger()) return std::to_string(number.integerValue());
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number.doubleValue());
    return std::string(buffer, result.ptr);
}

// A file name for the defaults of `identifier` (a "/" would leave the folder).
std::string fileNameFor(std::string identifier) {
    for (char& c : identifier) {
        if (c == '/') c = '_';
    }
    if (identifier.empty() || identifier == "." || identifier == "..") identifier = kFallbackIdentifier;
    return identifier + ".plist";
}

// Renames an unreadable defaults file to "NAME.corrupt-<unix seconds>[-N]"; false when it
// cannot be moved.
bool moveAside(const fs::path& path) {
    const auto seconds = static_cast<long long>(std::floor(Date::now().timeIntervalSince1970()));
    const std::string base = path.filename().string() + ".corrupt-" + std::to_string(seconds);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const fs::path target = path.parent_path() / (attempt == 0 ? base : base + "-" + std::to_string(attempt));
        std::error_code error;
        if (fs::exists(target, error)) continue;
        fs::rename(path, target, error);
        if (!error) {
            debugPrint("NSUserDefaults: " + path.string() + " did not parse; moved to " + target.string());
            return true;
        }
        break;
    }
    return false;
}

}  // namespace

NSUserDefaults& NSUserDefaults::standardUserDefaults() {
    // Never destroyed: the exit handler and late background writes may still use it.
    static NSUserDefaults* const instance = new NSUserDefaults();
    return *instance;
}

void NSUserDefaults::resetStandardUserDefaults() {
    NSUserDefaults& defaults = standardUserDefaults();
    std::lock_guard write(defaults.writeMutex_);
    std::lock_guard lock(defaults.mutex_);
    defaults.loaded_ = false;
    defaults.values_.clear();
    defaults.dirty_ = false;
    defaults.path_.clear();
    ++defaults.generation_;
}

void NSUserDefaults::ensureLoaded() const {
    if (loaded_) return;
    loaded_ = true;
    static std::once_flag exitHandler;
    std::call_once(exitHandler, [] { std::atexit([] { standardUserDefaults().synchronize(); }); });

    const std::string identifier = Bundle::main()->bundleIdentifier().value_or(kFallbackIdentifier);
    path_ = Host::preferencesDirectory() / fileNameFor(identifier);
    values_.clear();
    // Temporary files of writers killed mid-write would otherwise stay for ever.
    removeAbandonedTemporaryFiles(path_);
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path_, error))) return;
    const auto bytes = detail::readFile(path_);
    auto parsed = bytes ? PropertyList::readXML(bytes->view()) : std::nullopt;
    if (parsed && parsed->isDictionary()) {
        values_ = std::move(*parsed->asDictionary());
        return;
    }
    if (!moveAside(path_)) {
        // The file stays where it is and must not be overwritten: write nowhere.
        debugPrint("NSUserDefaults: " + path_.string() + " did not parse and could not be moved aside");
        path_.clear();
    }
}

Any NSUserDefaults::objectForKey(std::string_view key) const {
    std::lock_guard lock(mutex_);
    ensureLoaded();
    const auto it = values_.find(key);
    return it == values_.end() ? Any() : it->second;
}

std::optional<std::string> NSUserDefaults::stringForKey(std::string_view key) const {
    const Any value = objectForKey(key);
    if (value.isString()) return value.string();
    if (value.isNumber()) return textOfNumber(value);
    return std::nullopt;
}

std::int64_t NSUserDefaults::integerForKey(std::string_view key) const {
    const Any value = objectForKey(key);
    if (value.isNumber()) return value.integerValue();
    if (value.isString()) return integerOfText(value.string());
    return 0;
}

double NSUserDefaults::doubleForKey(std::string_view key) const {
    const Any value = objectForKey(key);
    if (value.isNumber()) return value.doubleValue();
    if (value.isString()) return doubleOfText(value.string());
    return 0;
}

bool NSUserDefaults::boolForKey(std::string_view key) const {
    const Any value = objectForKey(key);
    if (value.isNumber()) return value.boolValue();
    if (!value.isString()) return false;
    const std::string_view text = value.string();
    if (equalsIgnoringCase(text, "yes") || equalsIgnoringCase(text, "true")) return true;
    if (equalsIgnoringCase(text, "no") || equalsIgnoringCase(text, "false")) return false;
    return integerOfText(text) != 0;
}

std::optional<Any::List> NSUserDefaults::arrayForKey(std::string_view key) const {
    const Any value = objectForKey(key);
    if (const auto* list = value.asList()) return *list;
    return std::nullopt;
}

std::optional<Any::Dictionary> NSUserDefaults::dictionaryForKey(std::string_view key) const {
    const Any value = objectForKey(key);
    if (const auto* dictionary = value.asDictionary()) return *dictionary;
    return std::nullopt;
}

std::optional<Data> NSUserDefaults::dataForKey(std::string_view key) const {
    const Any value = objectForKey(key);
    if (const auto* data = value.asData()) return *data;
    return std::nullopt;
}

bool NSUserDefaults::markDirty() {
    dirty_ = true;
    ++generation_;
    if (synchronizeScheduled_) return false;
    synchronizeScheduled_ = true;
    return true;
}

void NSUserDefaults::scheduleSynchronize() {
    DispatchQueue::global(DispatchQoS::utility)->asyncAfter(DispatchTime::now() + kSynchronizeDelaySeconds, [] {
        NSUserDefaults& defaults = standardUserDefaults();
        {
            std::lock_guard lock(defaults.mutex_);
            defaults.synchronizeScheduled_ = false;
        }
        defaults.synchronize();
    });
}

bool NSUserDefaults::setObject(const Any& value, std::string_view key) {
    if (value.isNull()) {
        removeObjectForKey(key);
        return true;
    }
    if (!detail::isPropertyListValue(value) || !detail::isPropertyListValue(Any(key))) {
        debugPrint("NSUserDefaults: refused a value that is not a property list for key " + std::string(key));
        return false;
    }
    bool schedule = false;
    {
        std::lock_guard lock(mutex_);
        ensureLoaded();
        values_.insert_or_assign(std::string(key), value);
        schedule = markDirty();
    }
    if (schedule) scheduleSynchronize();
    return true;
}

void NSUserDefaults::removeObjectForKey(std::string_view key) {
    bool schedule = false;
    {
        std::lock_guard lock(mutex_);
        ensureLoaded();
        const auto it = values_.find(key);
        if (it == values_.end()) return;
        values_.erase(it);
        schedule = markDirty();
    }
    if (schedule) scheduleSynchronize();
}

bool NSUserDefaults::synchronize() {
    std::lock_guard write(writeMutex_);
    std::optional<std::string> xml;
    fs::path path;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        // Never loaded means nothing changed: no need to read the file (or make its folder).
        if (!loaded_ || !dirty_) return true;
        path = path_;
        generation = generation_;
        xml = PropertyList::writeXML(Any(values_));
    }
    if (!xml || path.empty()) return false;
    std::string error;
    if (!writeFileAtomically(path, *xml, &error)) {
        debugPrint("NSUserDefaults: cannot write " + path.string() + ": " + error);
        return false;
    }
    std::lock_guard lock(mutex_);
    if (generation_ == generation) dirty_ = false;
    return true;
}

Any::Dictionary NSUserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    ensureLoaded();
    return values_;
}

fs::path NSUserDefaults::filePath() const {
    std::lock_guard lock(mutex_);
    ensureLoaded();
    return path_;
}

}  // namespace platform
