#include "IncludeRules.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

std::string describe(const std::vector<layout::Violation>& violations) {
    std::string text;
    for (const auto& v : violations) text += v.file + ":" + std::to_string(v.line) + ": " + v.message + "\n";
    return text;
}

}  // namespace

TEST(IncludeRules, TheSourceTreeKeepsEveryArrowOneWay) {
    const char* root = std::getenv("QV_SOURCE_ROOT");
    ASSERT_NE(root, nullptr) << "QV_SOURCE_ROOT names the checkout";
    const auto violations = layout::checkIncludeRules(root);
    EXPECT_TRUE(violations.empty()) << describe(violations);
}

TEST(IncludeRules, WrongArrowsAreNamedWithFileAndLine) {
    qvtest::TemporaryFolder tree("qv-include-rules");
    const fs::path root = tree.folder;
    write(root / "QVPlatform/base/Value.h", "#pragma once\n#include <vector>\n#include <QVPlatform/dispatch/Queue.h>\n");
    write(root / "QVPlatform/ui/View.h", "#include <QVPlatform/layers/Layer.h>\n#include <QVPlatform/base/Value.h>\n");
    write(root / "QVPlatform/gadgets/Gadget.h", "#include <QVPlatform/base/Value.h>\n");
    write(root / "QVToolbox/core/Log.h", "#include <QVToolbox/core/Other.h>\n#include <QVToolbox/svg/SVG.h>\n");
    write(root / "QVToolbox/svg/SVG.h", "#include <QVResource/theme/Theme.h>\n");
    write(root / "QVResource/theme/Theme.h", "#include \"QVToolbox/core/Log.h\"\n#include <QVPlatform/ui/View.h>\n");
    write(root / "QVPlatform/crypto/Digest.cpp", "#include <QVToolbox/core/Log.h>\n");

    const auto violations = layout::checkIncludeRules(root);
    const std::string text = describe(violations);
    EXPECT_EQ(violations.size(), 6u) << text;
    EXPECT_NE(text.find("QVPlatform/base/Value.h:3: base may not include the later layer dispatch"), std::string::npos) << text;
    EXPECT_NE(text.find("QVPlatform/crypto/Digest.cpp:1: the platform may not include QVToolbox"), std::string::npos) << text;
    EXPECT_NE(text.find("QVPlatform/gadgets/Gadget.h:1: folder 'gadgets' is not in the platform's layer order"), std::string::npos) << text;
    EXPECT_NE(text.find("QVToolbox/core/Log.h:2: QVToolbox/core may not name the subsystem svg"), std::string::npos) << text;
    EXPECT_NE(text.find("QVToolbox/svg/SVG.h:1: QVToolbox may not include QVResource"), std::string::npos) << text;
    EXPECT_NE(text.find("QVResource/theme/Theme.h:1: QVResource may not include QVToolbox"), std::string::npos) << text;
    EXPECT_EQ(text.find("View.h:2"), std::string::npos) << "ui may include base";
}
