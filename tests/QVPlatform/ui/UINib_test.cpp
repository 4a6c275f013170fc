#include <QVPlatform/ui/UINib.h>
#include <QVPlatform/ui/UIView.h>

#include <gtest/gtest.h>

using namespace platform;

TEST(UINib, RegisteredLayoutsMakeNewObjectsAndUnknownNamesThrow) {
    auto late = UINib::nibWithName("NibTestCell");  // looked up when instantiated
    UINib::registerLayout("NibTestCell", [] {
        return std::vector<NSObjectPtr>{std::make_shared<UIView>(CGRect{0, 0, 40, 20}), nullptr};
    });
    EXPECT_TRUE(UINib::hasLayout("NibTestCell"));
    const auto first = late->instantiate();
    const auto second = late->instantiate();
    ASSERT_EQ(first.size(), 1u) << "nulls are left out";
    EXPECT_NE(first[0], second[0]);
    EXPECT_EQ(std::dynamic_pointer_cast<UIView>(first[0])->frame().size.width, 40);

    UINib::registerLayout("NibTestCell", nullptr);
    EXPECT_FALSE(UINib::hasLayout("NibTestCell"));
    try {
        late->instantiate();
        FAIL() << "expected an exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), "NSInternalInconsistencyException");
        EXPECT_NE(e.reason().find("'NibTestCell'"), std::string::npos);
    }
}
