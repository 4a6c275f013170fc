#include <QVPlatform/ui/UITraitCollection.h>

#include <atomic>
#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

UIUserInterfaceStyle styleFromEnvironment() {
    const char* env = std::getenv("QV_APPEARANCE");
    return env && std::string_view(env) == "dark" ? UIUserInterfaceStyle::dark : UIUserInterfaceStyle::light;
}

std::atomic<UIUserInterfaceStyle>& systemStyle() {
    static std::atomic<UIUserInterfaceStyle> style{styleFromEnvironment()};
    return style;
}

thread_local std::optional<UITraitCollection> threadCurrent;

}  // namespace

UIUserInterfaceStyle UITraitCollection::systemUserInterfaceStyle() { return systemStyle().load(); }

void UITraitCollection::setSystemUserInterfaceStyle(UIUserInterfaceStyle style) {
    if (style != UIUserInterfaceStyle::dark) style = UIUserInterfaceStyle::light;
    systemStyle().store(style);
}

UITraitCollection UITraitCollection::current() {
    const UITraitCollection set = threadCurrent.value_or(UITraitCollection());
    return set.filledWith(systemUserInterfaceStyle());
}

void UITraitCollection::setCurrent(std::optional<UITraitCollection> traits) { threadCurrent = traits; }

void UITraitCollection::performAsCurrent(const std::function<void()>& body) const {
    struct Restore {
        std::optional<UITraitCollection> previous;
        ~Restore() { threadCurrent = previous; }
    } restore{threadCurrent};
    threadCurrent = *this;
    body();
}

UITraitCollection UITraitCollection::filledWith(UIUserInterfaceStyle style) const {
    return style_ == UIUserInterfaceStyle::unspecified ? UITraitCollection(style) : *this;
}

}  // namespace platform
