#include <QVToolbox/UIKitExtension/UserDefaultsWriter.h>

#include <QVPlatform/foundation/UserDefaults.h>

namespace QVToolbox {

bool userDefaultsSetValue(const platform::Any& value, std::optional<std::string_view> key) {
    if (value.isNull() || !key) return false;
    auto& defaults = platform::NSUserDefaults::standardUserDefaults();
    if (!defaults.setObject(value, *key)) return false;
    defaults.synchronize();
    return true;
}

}  // namespace QVToolbox
