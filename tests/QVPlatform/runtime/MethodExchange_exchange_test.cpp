#include <QVPlatform/runtime/NSObject.h>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class Model : public NSObjectSubclass<Model, NSObject, "ExchangeModel"> {
public:
    std::string name;
    std::vector<std::string> ignored;

    static void registerClass(ObjCClass& cls) {
        cls.addProperty("name", {[](const NSObject& o) { return Any(static_cast<const Model&>(o).name); },
                                 [](NSObject& o, const Any& v) { static_cast<Model&>(o).name = v.string(); }});
        cls.addMethod("hook_setValue:forUndefinedKey:", [](NSObject& self, const Any::List& args) {
            static_cast<Model&>(self).ignored.push_back(args[1].string());
            return Any();
        });
        cls.addMethod("hook_valueForUndefinedKey:", [](NSObject&, const Any::List&) { return Any(); });
        cls.addClassMethod("make", [](ObjCClass&, const Any::List&) { return Any("made"); });
        cls.addClassMethod("hook_make", [](ObjCClass&, const Any::List&) { return Any("hooked"); });
    }
};

class SubModel : public NSObjectSubclass<SubModel, Model, "ExchangeSubModel"> {};

}  // namespace

TEST(MethodExchange, ExchangedUndefinedKeyHandlersChangeWhatKeyValueCodingRuns) {
    auto model = std::make_shared<Model>();
    EXPECT_THROW(model->setValue(Any(1), "age"), NSException);
    // The handlers are inherited from the root class: exchanging copies them into Model only.
    ASSERT_TRUE(Model::classObject().exchangeImplementations("setValue:forUndefinedKey:", "hook_setValue:forUndefinedKey:"));
    ASSERT_TRUE(Model::classObject().exchangeImplementations("valueForUndefinedKey:", "hook_valueForUndefinedKey:"));
    model->setValuesForKeys(Any::Dictionary{{"age", 3}, {"name", "kept"}});
    EXPECT_EQ(model->name, "kept");
    EXPECT_EQ(model->ignored, std::vector<std::string>{"age"});
    EXPECT_TRUE(model->valueForKey("age").isNull());
    EXPECT_EQ(model->valueForKey("name").string(), "kept");
    EXPECT_THROW(model->perform("hook_setValue:forUndefinedKey:", Any(1), Any("x")), NSException)
        << "the replacement selector now runs the original";
    EXPECT_THROW(std::make_shared<NSObject>()->setValue(Any(1), "age"), NSException) << "the root class is untouched";
    // Subclasses inherit the exchanged pair.
    auto sub = std::make_shared<SubModel>();
    sub->setValue(Any(1), "weight");
    EXPECT_EQ(sub->ignored, std::vector<std::string>{"weight"});
}

TEST(MethodExchange, ClassMethodsExchangeAndAMissingOneChangesNothing) {
    auto& cls = Model::classObject();
    EXPECT_FALSE(cls.exchangeClassImplementations("make", "missing"));
    EXPECT_EQ(cls.performClassMethod("make").string(), "made");
    ASSERT_TRUE(SubModel::classObject().exchangeClassImplementations("make", "hook_make"));
    EXPECT_EQ(SubModel::classObject().performClassMethod("make").string(), "hooked");
    EXPECT_EQ(SubModel::classObject().performClassMethod("hook_make").string(), "made");
    EXPECT_EQ(cls.performClassMethod("make").string(), "made") << "the superclass keeps its class methods";
}
