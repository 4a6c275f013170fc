#include <QVToolbox/gif/GIFImageView.h>

namespace QVToolbox {

std::shared_ptr<Animator> GIFImageView::animator() {
    if (!animatorAssigned_) {
        animatorAssigned_ = true;
        animator_ = Animator::make(sharedAnimatable());
    }
    return animator_;
}

void GIFImageView::setAnimator(std::shared_ptr<Animator> animator) {
    animatorAssigned_ = true;
    animator_ = std::move(animator);
}

std::shared_ptr<GIFAnimatable> GIFImageView::sharedAnimatable() {
    // Null for a view outside a shared_ptr: its animator then has no view to tell.
    auto self = std::static_pointer_cast<GIFImageView>(weak_from_this().lock());
    return self;
}

void GIFImageView::draw(platform::CGRect rect) {
    UIImageView::draw(rect);
    updateImageIfNeeded();
}

}  // namespace QVToolbox
