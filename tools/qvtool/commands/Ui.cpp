// `qvtool ui sample -o OUT.png` and `qvtool ui empty -o OUT.png`: the view system's sample
// scene and an empty collection view with its empty-state overlay, as PNGs.
#include "../Cli.h"
#include "../UiSample.h"

#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/ui/UIScreen.h>

#include <iostream>
#include <string>

namespace qvtool {
namespace {

void defineRender(CLI::App& group, std::string name, std::string description,
                  std::optional<platform::Data> (*render)()) {
    Verb verb(group, std::move(name), std::move(description));
    const auto& out = verb.option("-o", "OUT.png", "where to write the PNG", true);
    verb.run([&out, render] {
        const auto png = render();
        if (!png) throw Failure("the scene did not render");
        std::string error;
        if (!platform::writeFileAtomically(*out, png->view(), &error)) throw Failure("cannot write " + *out + ": " + error);
        const auto size = platform::UIScreen::main()->pixelSize();
        std::cout << "wrote " << *out << " (" << size.width << " x " << size.height << " pixels)\n";
        return 0;
    });
}

void define(CLI::App& group) {
    defineRender(group, "sample", "draws the sample scene (labels, images, panel, indicator) at the screen's pixel size",
                 renderUiSample);
    defineRender(group, "empty", "draws an empty collection view with its empty-state overlay at the screen's pixel size",
                 renderEmptyStateSample);
}

const GroupRegistration registration{{"ui", "views rendered to a PNG: the sample scene, the empty state", 90, define}};

}  // namespace
}  // namespace qvtool
