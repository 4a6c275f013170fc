// QVThemeManager: which colour theme is selected, persisted under "selectedTheme", and the
// process-wide colour table QVColor that application code reads its colours from.
//
//   QVThemeManager::shared().applyTheme(QVAppTheme::pelmo);   // stores "pelmo", posts the change
//   QVThemeManager::shared().currentTheme()->primary();       // #0AC674
//   QVColor->primary();                                       // unchanged until assigned
//   QVColor = QVThemeManager::shared().currentTheme();        // e.g. in the change observer
//
// `currentTheme` reads the stored selection each time ("main" when absent, not a text or not
// an exact raw value) and builds a fresh table. `applyTheme` writes the raw value (the user
// defaults flush it soon, without an explicit synchronize) and posts
// "ThemeDidChangeNotification" synchronously, with no sender and no user information.
// QVColor is initialised once, from the current theme, at its first read; it does not follow
// applyTheme. Thread rule: every member may be called from any thread; QVColor is swapped
// atomically (a reader keeps the table it got alive).
#pragma once

#include <QVResource/theme/QVTheme.h>
#include <QVResource/theme/UserDefault.h>

#include <memory>
#include <string>
#include <string_view>

namespace QVResource {

class QVThemeManager {
public:
    // The notification name posted by applyTheme.
    static constexpr std::string_view themeDidChange = "ThemeDidChangeNotification";

    static QVThemeManager& shared();

    // The table of the selected theme, built afresh.
    std::shared_ptr<const QVTheme> currentTheme() const;
    // The selected theme itself (main when the stored text is not a theme's raw value).
    QVAppTheme selectedTheme() const;
    // Stores `theme` as the selection and posts themeDidChange; observers run before it returns.
    void applyTheme(QVAppTheme theme);

    QVThemeManager(const QVThemeManager&) = delete;
    QVThemeManager& operator=(const QVThemeManager&) = delete;

private:
    QVThemeManager() = default;
    UserDefault<std::string> _selectedTheme{"selectedTheme", "main"};
};

// The process-wide colour table: `QVColor->primary()` reads it, `QVColor = table` replaces it
// for all later readers (a null table is ignored).
class QVColorTable {
public:
    std::shared_ptr<const QVTheme> get() const;
    std::shared_ptr<const QVTheme> operator->() const { return get(); }
    QVColorTable& operator=(std::shared_ptr<const QVTheme> theme);
};
inline QVColorTable QVColor;

}  // namespace QVResource
