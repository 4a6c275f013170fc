#include <QVResource/theme/QVThemeManager.h>

#include <QVPlatform/foundation/NotificationCenter.h>

#include <mutex>
#include <utility>

namespace QVResource {

namespace {

// The table behind QVColor, made from the current theme on first use.
struct ColorTableState {
    std::mutex mutex;  // guards table
    std::shared_ptr<const QVTheme> table = QVThemeManager::shared().currentTheme();
};

ColorTableState& colorTableState() {
    // Never destroyed: readers during exit still find it.
    static auto* state = new ColorTableState();
    return *state;
}

}  // namespace

QVThemeManager& QVThemeManager::shared() {
    static auto* manager = new QVThemeManager();
    return *manager;
}

QVAppTheme QVThemeManager::selectedTheme() const {
    return QVAppTheme::fromRawValue(_selectedTheme.wrappedValue()).value_or(QVAppTheme::main);
}

std::shared_ptr<const QVTheme> QVThemeManager::currentTheme() const { return selectedTheme().theme(); }

void QVThemeManager::applyTheme(QVAppTheme theme) {
    platform::NSUserDefaults::standardUserDefaults().setObject(platform::Any(theme.rawValue()), _selectedTheme.key);
    platform::NSNotificationCenter::defaultCenter().post(std::string(themeDidChange));
}

std::shared_ptr<const QVTheme> QVColorTable::get() const {
    ColorTableState& state = colorTableState();
    std::lock_guard lock(state.mutex);
    return state.table;
}

QVColorTable& QVColorTable::operator=(std::shared_ptr<const QVTheme> theme) {
    if (!theme) return *this;
    ColorTableState& state = colorTableState();
    std::shared_ptr<const QVTheme> previous;
    {
        std::lock_guard lock(state.mutex);
        previous = std::exchange(state.table, std::move(theme));
    }
    return *this;  // the previous table is released here, after the lock
}

}  // namespace QVResource
