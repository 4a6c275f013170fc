// `qvtool ui sample -o OUT.png`: the view system's sample scene as a PNG.
#include "../Cli.h"
#include "../UiSample.h"

#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/ui/UIScreen.h>

#include <iostream>
#include <string>

namespace qvtool {
namespace {

void define(CLI::App& group) {
    Verb verb(group, "sample", "draws the sample scene (labels, images, panel, indicator) at the screen's pixel size");
    const auto& out = verb.option("-o", "OUT.png", "where to write the PNG", true);
    verb.run([&out] {
        const auto png = renderUiSample();
        if (!png) throw Failure("the scene did not render");
        std::string error;
        if (!platform::writeFileAtomically(*out, png->view(), &error)) throw Failure("cannot write " + *out + ": " + error);
        const auto size = platform::UIScreen::main()->pixelSize();
        std::cout << "wrote " << *out << " (" << size.width << " x " << size.height << " pixels)\n";
        return 0;
    });
}

const GroupRegistration registration{{"ui", "views rendered to a PNG: the sample scene", 90, define}};

}  // namespace
}  // namespace qvtool
