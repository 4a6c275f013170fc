#include "UiSample.h"

#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/ui/UIActivityIndicatorView.h>
#include <QVPlatform/ui/UICollectionView.h>
#include <QVPlatform/ui/UICollectionViewFlowLayout.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UIGraphics.h>
#include <QVPlatform/ui/UIImageView.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/UIToolbar.h>
#include <QVPlatform/ui/UIWindow.h>

#include <QVToolbox/UIKitExtension/EmptyDataSet.h>

#include <string>

namespace qvtool {
namespace {

using namespace platform;

// A 60 x 40 picture (sky, sun, hill) to show how each content mode places an image.
std::shared_ptr<UIImage> landscape() {
    UIGraphicsBeginImageContextWithOptions({60, 40}, false, 0);
    CGContext* c = UIGraphicsGetCurrentContext();
    c->fillRect({{0, 0}, {60, 40}}, CGColor{0.55, 0.78, 0.98, 1});
    CGMutablePath sun;
    sun.addEllipse({{40, 5}, {12, 12}});
    c->fillPath(sun.path(), CGColor{1, 0.8, 0.1, 1});
    CGMutablePath hill;
    hill.moveTo({0, 40});
    hill.addQuadCurveTo({20, 10}, {60, 32});
    hill.addLineTo({60, 40});
    hill.closeSubpath();
    c->fillPath(hill.path(), CGColor{0.2, 0.6, 0.25, 1});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

std::shared_ptr<UILabel> label(const std::string& text, CGRect frame, std::shared_ptr<UIFont> font, int lines = 1) {
    auto l = std::make_shared<UILabel>(frame);
    l->setText(text);
    l->setFont(std::move(font));
    l->setNumberOfLines(lines);
    return l;
}

void addContentModes(UIView& root, double top) {
    const auto image = landscape();
    const std::pair<UIViewContentMode, const char*> modes[] = {{UIViewContentMode::scaleToFill, "scaleToFill"},
                                                               {UIViewContentMode::scaleAspectFit, "aspectFit"},
                                                               {UIViewContentMode::scaleAspectFill, "aspectFill"},
                                                               {UIViewContentMode::center, "center"}};
    double x = 20;
    for (const auto& [mode, name] : modes) {
        auto view = std::make_shared<UIImageView>(CGRect{{x, top}, {74, 90}});
        view->setImage(image);
        view->setContentMode(mode);
        view->setClipsToBounds(true);
        view->setBackgroundColor(UIColor::colorWithWhite(0.88, 1));
        view->layer()->setBorderWidth(1);
        view->layer()->setBorderColor(CGColor{0.6, 0.6, 0.6, 1});
        root.addSubview(view);
        auto caption = label(name, {{x, top + 94}, {74, 16}}, UIFont::systemFontOfSize(11));
        caption->setTextAlignment(NSTextAlignment::center);
        root.addSubview(caption);
        x += 85;
    }
}

void addPanel(UIView& root, double top) {
    auto panel = std::make_shared<UIView>(CGRect{{20, top}, {root.bounds().size.width - 40, 120}});
    panel->setBackgroundColor(UIColor::whiteColor());
    panel->layer()->setCornerRadius(16);
    panel->layer()->setShadowOpacity(0.35);
    panel->layer()->setShadowRadius(10);
    panel->layer()->setShadowOffset({0, 4});
    root.addSubview(panel);
    const double inner = panel->bounds().size.width - 40;
    panel->addSubview(label("圆角阴影面板 Rounded panel", {{20, 16}, {inner, 26}}, UIFont::boldSystemFontOfSize(18)));
    panel->addSubview(label("阴影、圆角与裁剪由图层渲染器绘制。Shadows, corners and clipping come from the layer renderer.",
                            {{20, 46}, {inner - 65, 60}}, UIFont::systemFontOfSize(13), 3));
    auto spinner = std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::large);
    spinner->setCenter({inner - 10, 76});
    spinner->setColor(UIColor::colorWithRed(0.35, 0.16, 0.82, 1));
    spinner->startAnimating();
    panel->addSubview(spinner);
}

void addBar(UIView& root) {
    const CGRect screen = UIScreen::main()->bounds();
    const double height = 49 + UIScreen::main()->bottomInset();
    auto bar = std::make_shared<UIToolbar>(CGRect{{0, screen.size.height - height}, {screen.size.width, height}});
    bar->setAutoresizingMask(UIViewAutoresizing::flexibleWidth | UIViewAutoresizing::flexibleTopMargin);
    auto title = label("首页 Home", {{0, 14}, {screen.size.width, 22}}, UIFont::systemFontOfSize(15));
    title->setTextAlignment(NSTextAlignment::center);
    title->setTextColor(UIColor::colorWithRed(0, 0.48, 1, 1));
    bar->addSubview(title);
    root.addSubview(bar);
}

// A 64 x 64 open box drawn in gray strokes: the picture of "nothing here".
std::shared_ptr<UIImage> emptyBox() {
    UIGraphicsBeginImageContextWithOptions({64, 64}, false, 0);
    CGContext* c = UIGraphicsGetCurrentContext();
    const CGColor gray{0.72, 0.74, 0.78, 1};
    CGMutablePath box;
    box.addRect({{10, 28}, {44, 28}});
    c->fillPath(box.path(), CGColor{0.92, 0.93, 0.95, 1});
    CGStrokeStyle stroke;
    stroke.lineWidth = 3;
    stroke.cap = CGLineCap::round;
    stroke.join = CGLineJoin::round;
    c->strokePath(box.path(), gray, stroke);
    CGMutablePath flaps;
    flaps.moveTo({10, 28});
    flaps.addLineTo({2, 16});
    flaps.moveTo({54, 28});
    flaps.addLineTo({62, 16});
    flaps.moveTo({24, 14});
    flaps.addLineTo({32, 6});
    flaps.addLineTo({40, 14});
    c->strokePath(flaps.path(), gray, stroke);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// A rounded blue capsule for the button's background.
std::shared_ptr<UIImage> capsule(CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 0);
    CGMutablePath shape;
    shape.addRoundedRect({{0, 0}, size}, {size.height / 2, size.height / 2});
    UIGraphicsGetCurrentContext()->fillPath(shape.path(), CGColor{0.2, 0.5, 0.95, 1});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

}  // namespace

std::optional<platform::Data> renderEmptyStateSample() {
    auto window = std::make_shared<UIWindow>();
    window->setBackgroundColor(UIColor::whiteColor());
    window->makeKeyAndVisible();
    const double top = window->safeAreaInsets().top;
    const CGSize size = window->bounds().size;
    window->addSubview(label("收藏", {{0, top}, {size.width, 44}}, UIFont::boldSystemFontOfSize(17)));
    window->subviews().back()->setBackgroundColor(UIColor::colorWithWhite(0.97, 1));
    static_cast<UILabel&>(*window->subviews().back()).setTextAlignment(NSTextAlignment::center);
    auto collection = std::make_shared<UICollectionView>(CGRect{{0, top + 44}, {size.width, size.height - top - 44}},
                                                         std::make_shared<UICollectionViewFlowLayout>());
    collection->setBackgroundColor(UIColor::whiteColor());
    window->addSubview(collection);
    QVToolbox::QVEmptyDataSet config;
    config.image = emptyBox();
    config.desc = "下拉刷新，或稍后再来看看";
    config.buttonTitle = "重新加载";
    config.buttonBackgroundImage = capsule({120, 40});
    config.verticalOffset = -40;
    QVToolbox::usingEmptyDataSet(collection, config);
    if (const auto overlay = QVToolbox::emptyDataSetView(*collection)) {
        overlay->layoutIfNeeded();
        if (const auto button = overlay->button()) {
            for (const auto& part : button->subviews()) {
                if (auto* text = dynamic_cast<UILabel*>(part.get())) text->setTextColor(UIColor::whiteColor());
            }
        }
    }
    return window->renderPNG();
}

std::optional<platform::Data> renderUiSample() {
    auto window = std::make_shared<UIWindow>();
    window->setBackgroundColor(UIColor::colorWithWhite(0.95, 1));
    window->makeKeyAndVisible();
    const double top = window->safeAreaInsets().top + 12;
    const double width = window->bounds().size.width - 40;
    window->addSubview(label("视图系统 View system", {{20, top}, {width, 36}}, UIFont::boldSystemFontOfSize(24)));
    window->addSubview(label("你好，世界！Hello, world. 这段文字在中英文之间自动换行，the label wraps Chinese and English "
                             "text alike.",
                             {{20, top + 40}, {width, 80}}, UIFont::systemFontOfSize(16), 0));
    auto truncated = label("This line is far too long to fit, so its tail is truncated 这一行太长了，结尾被截断", 
                           {{20, top + 126}, {width, 22}}, UIFont::systemFontOfSize(16));
    truncated->setTextColor(UIColor::darkGrayColor());
    window->addSubview(truncated);
    addContentModes(*window, top + 160);
    addPanel(*window, top + 290);
    addBar(*window);
    return window->renderPNG();
}

}  // namespace qvtool
