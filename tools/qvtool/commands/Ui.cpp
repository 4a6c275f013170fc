// `qvtool ui sample -o OUT.png`: the view system's sample scene as a PNG.
// `qvtool ui empty -o OUT.png`: a collection view with no items, showing its empty-state overlay.
#include "../Cli.h"
#include "../UiSample.h"

#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/ui/UICollectionView.h>
#include <QVPlatform/ui/UICollectionViewFlowLayout.h>
#include <QVPlatform/ui/UIGraphics.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/UIWindow.h>
#include <QVToolbox/QVToolbox.h>

#include <iostream>
#include <string>

namespace qvtool {
namespace {

using namespace platform;

class NoItems : public UICollectionViewDataSource {
public:
    NSInteger numberOfItemsInSection(UICollectionView&, NSInteger) override { return 0; }
    std::shared_ptr<UICollectionViewCell> cellForItemAt(UICollectionView&, IndexPath) override { return nullptr; }
};

// An open, empty box: the overlay's picture.
std::shared_ptr<UIImage> emptyBox() {
    UIGraphicsBeginImageContextWithOptions({96, 72}, false, 0);
    CGContext* c = UIGraphicsGetCurrentContext();
    const CGColor side{0.78, 0.80, 0.84, 1}, inside{0.62, 0.65, 0.70, 1};
    CGMutablePath back;
    back.moveTo({16, 24}), back.addLineTo({48, 12}), back.addLineTo({80, 24}), back.addLineTo({48, 36}), back.closeSubpath();
    c->fillPath(back.path(), inside);
    CGMutablePath front;
    front.moveTo({16, 24}), front.addLineTo({48, 36}), front.addLineTo({80, 24}), front.addLineTo({80, 56});
    front.addLineTo({48, 68}), front.addLineTo({16, 56}), front.closeSubpath();
    c->fillPath(front.path(), side);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

std::optional<Data> renderEmptyState() {
    auto window = std::make_shared<UIWindow>();
    window->setBackgroundColor(UIColor::whiteColor());
    window->makeKeyAndVisible();
    const double top = window->safeAreaInsets().top;
    const CGSize size = window->bounds().size;
    auto view = std::make_shared<UICollectionView>(CGRect{{0, top}, {size.width, size.height - top}},
                                                   std::make_shared<UICollectionViewFlowLayout>());
    const auto source = std::make_shared<NoItems>();
    view->setDataSource(source);
    window->addSubview(view);
    QVToolbox::QVEmptyDataSet config;
    config.image = emptyBox();
    config.desc = "下拉刷新，或者点击下面的按钮重新加载";
    config.buttonTitle = "重新加载";
    config.verticalOffset = -40;
    QVToolbox::qv(view).usingEmptyDataSet(config);
    return window->renderPNG();
}

void writePNG(const std::string& path, const std::optional<Data>& png, const char* what) {
    if (!png) throw Failure(std::string(what) + " did not render");
    std::string error;
    if (!platform::writeFileAtomically(path, png->view(), &error)) throw Failure("cannot write " + path + ": " + error);
    const auto size = platform::UIScreen::main()->pixelSize();
    std::cout << "wrote " << path << " (" << size.width << " x " << size.height << " pixels)\n";
}

void define(CLI::App& group) {
    Verb sample(group, "sample", "draws the sample scene (labels, images, panel, indicator) at the screen's pixel size");
    const auto& sampleOut = sample.option("-o", "OUT.png", "where to write the PNG", true);
    sample.run([&sampleOut] {
        writePNG(*sampleOut, renderUiSample(), "the scene");
        return 0;
    });
    Verb empty(group, "empty", "draws a collection view with no items and its empty-state overlay");
    const auto& emptyOut = empty.option("-o", "OUT.png", "where to write the PNG", true);
    empty.run([&emptyOut] {
        writePNG(*emptyOut, renderEmptyState(), "the empty state");
        return 0;
    });
}

const GroupRegistration registration{{"ui", "views rendered to a PNG: the sample scene, an empty state", 90, define}};

}  // namespace
}  // namespace qvtool
