#include <QVToolbox/hud/detail/ViewFade.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/layers/CAAnimation.h>

namespace QVToolbox::detail {

using namespace platform;

void animateViews(const std::vector<std::shared_ptr<UIView>>& views, double duration, CAMediaTimingFunction::Name curve,
                  const std::function<void()>& changes, std::function<void(bool)> completion) {
    std::vector<LayerState> before;
    before.reserve(views.size());
    for (const auto& v : views) before.push_back(v->layer()->presentationState());
    changes();

    std::vector<std::pair<std::shared_ptr<CALayer>, CABasicAnimation>> pending;
    auto add = [&](const std::shared_ptr<CALayer>& layer, const char* path, CAAnimationValue from, CAAnimationValue to) {
        CABasicAnimation a(path);
        a.fromValue = std::move(from);
        a.toValue = std::move(to);
        a.duration = duration;
        a.timingFunction = CAMediaTimingFunction::named(curve);
        pending.emplace_back(layer, std::move(a));
    };
    for (std::size_t i = 0; i < views.size(); ++i) {
        const auto& layer = views[i]->layer();
        const LayerState after = layer->state();
        if (after.opacity != before[i].opacity) add(layer, "opacity", before[i].opacity, after.opacity);
        if (after.position != before[i].position) add(layer, "position", before[i].position, after.position);
        if (!(after.affineTransform == before[i].affineTransform))
            add(layer, "transform", before[i].affineTransform, after.affineTransform);
    }
    if (duration <= 0 || pending.empty()) {
        if (completion) {
            const double wait = duration > 0 ? duration : 0;
            DispatchQueue::main()->asyncAfter(DispatchTime::now() + wait, [completion] { completion(true); });
        }
        return;
    }
    if (completion) pending.back().second.completion = std::move(completion);
    for (auto& [layer, animation] : pending) layer->addAnimation(animation, std::string("hud.") + animation.keyPath);
}

}  // namespace QVToolbox::detail
