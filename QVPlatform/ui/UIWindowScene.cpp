#include <QVPlatform/ui/UIWindowScene.h>

#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UIWindow.h>

namespace platform {

std::vector<std::shared_ptr<UIWindow>> UIWindowScene::windows() const {
    std::vector<std::shared_ptr<UIWindow>> mine;
    for (auto& w : UIApplication::shared()->windows()) {
        if (w->windowScene().get() == this) mine.push_back(std::move(w));
    }
    return mine;
}

std::shared_ptr<UIWindow> UIWindowScene::keyWindow() const {
    auto key = keyWindow_.lock();
    return key && key->windowScene().get() == this ? key : nullptr;
}

}  // namespace platform
