// `qvtool waterfall --cols N --heights H,H,... [--width W]`: where HxWaterFallLayout puts each
// item in a collection view of that width, one line per item.
#include "../Cli.h"
#include "../Input.h"

#include <QVPlatform/ui/UICollectionView.h>
#include <QVToolbox/SmallTools/HxWaterFallLayout.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace qvtool {
namespace {

using namespace platform;

class Heights : public UICollectionViewDataSource, public QVToolbox::HxWaterFallLayoutDataSoure {
public:
    explicit Heights(std::vector<double> heights) : heights_(std::move(heights)) {}
    NSInteger numberOfItemsInSection(UICollectionView&, NSInteger) override { return static_cast<NSInteger>(heights_.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItemAt(UICollectionView&, IndexPath) override {
        return std::make_shared<UICollectionViewCell>();
    }
    double waterfall(QVToolbox::HxWaterFallLayout&, NSInteger item) override { return heights_[static_cast<std::size_t>(item)]; }

private:
    std::vector<double> heights_;
};

// "100,50,30": each a number of points, zero or more; an empty text is no items.
std::vector<double> heightList(const std::string& text) {
    std::vector<double> heights;
    if (text.empty()) return heights;
    std::stringstream items(text);
    for (std::string item; std::getline(items, item, ',');) {
        const double h = realNumber(item, "--heights");
        if (h < 0) throw BadInput("--heights: " + shown(item) + " is below zero");
        heights.push_back(h);
    }
    if (text.back() == ',') throw BadInput("--heights: an empty item at the end");
    return heights;
}

std::string number(double value) {
    std::ostringstream out;
    out.precision(15);
    out << (value == 0 ? 0.0 : value);  // no "-0"
    return out.str();
}

void define(CLI::App& group) {
    Verb verb(group);
    const auto& cols = verb.option("--cols", "N", "the number of columns (below 1 counts as 1)", true);
    const auto& heights = verb.option("--heights", "H,H,...", "the items' heights in points, comma-separated", true);
    const auto& width = verb.option("--width", "W", "the collection view's width in points (default 375)");
    verb.run([&] {
        const auto columns = wholeNumber(*cols, "--cols");
        const auto list = heightList(*heights);
        const double w = width ? realNumber(*width, "--width") : 375;
        if (w < 0) throw BadInput("--width: " + shown(*width) + " is below zero");

        auto layout = std::make_shared<QVToolbox::HxWaterFallLayout>();
        layout->setCols(columns);
        auto source = std::make_shared<Heights>(list);
        layout->dataSource = source;
        auto view = std::make_shared<UICollectionView>(CGRect{{0, 0}, {w, 667}}, layout);
        view->setDataSource(source);
        view->layoutIfNeeded();
        for (const auto& record : layout->cellAttributes()) {
            const CGRect f = record->frame();
            std::cout << "item " << record->indexPath().item() << ": x " << number(f.origin.x) << ", y " << number(f.origin.y)
                      << ", width " << number(f.size.width) << ", height " << number(f.size.height) << "\n";
        }
        return 0;
    });
}

const GroupRegistration registration{
    {"waterfall", "where a waterfall layout puts items of given heights, one line per item", 93, define}};

}  // namespace
}  // namespace qvtool
