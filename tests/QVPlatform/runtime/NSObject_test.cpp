#include <QVPlatform/runtime/NSObject.h>
#include <QVPlatform/foundation/FileManager.h>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class Player : public NSObjectSubclass<Player, NSObject, "Player"> {
public:
    std::string song;
    std::int64_t volume = 5;
    std::string lastUndefinedKey;
};

class LoudPlayer : public NSObjectSubclass<LoudPlayer, Player, "LoudPlayer"> {};

void registerPlayer() {
    static const bool done = [] {
        auto& cls = Player::classObject();
        cls.addMethod("play:", [](NSObject& self, const Any::List& args) {
            static_cast<Player&>(self).song = args.empty() ? "" : args[0].string();
            return Any(true);
        });
        cls.addMethod("stop", [](NSObject& self, const Any::List&) {
            static_cast<Player&>(self).song.clear();
            return Any();
        });
        cls.addMethod("name", [](NSObject&, const Any::List&) { return Any("player"); });
        cls.addMethod("title", [](NSObject&, const Any::List&) { return Any("title"); });
        cls.addMethod("setValue:forUndefinedKey:", [](NSObject& self, const Any::List& args) {
            static_cast<Player&>(self).lastUndefinedKey = args[1].string();
            return Any();
        });
        cls.addMethod("setNilValueForKey:", [](NSObject& self, const Any::List& args) {
            if (args[0].string() == "volume") static_cast<Player&>(self).volume = 0;
            return Any();
        });
        cls.addProperty("song", {[](const NSObject& o) { return Any(static_cast<const Player&>(o).song); },
                                 [](NSObject& o, const Any& v) { static_cast<Player&>(o).song = v.string(); }});
        cls.addProperty("volume", {[](const NSObject& o) { return Any(static_cast<const Player&>(o).volume); },
                                   [](NSObject& o, const Any& v) { static_cast<Player&>(o).volume = v.integerValue(); },
                                   false});
        return true;
    }();
    (void)done;
}

}  // namespace

TEST(NSObjectRuntime, SelectorsAreInheritedAndUnknownOnesThrow) {
    registerPlayer();
    auto player = std::make_shared<LoudPlayer>();
    EXPECT_EQ(player->className(), "LoudPlayer");
    EXPECT_TRUE(player->isKindOfClass(Player::classObject()));
    EXPECT_FALSE(Player::classObject().isSubclassOf(LoudPlayer::classObject()));
    EXPECT_TRUE(player->respondsToSelector("play:"));
    EXPECT_FALSE(player->respondsToSelector("fly"));
    EXPECT_TRUE(player->perform("play:", Any("song")).boolValue());
    EXPECT_EQ(player->song, "song");
    player->perform("stop");
    EXPECT_EQ(player->song, "");
    try {
        player->perform("fly");
        FAIL() << "expected an exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), "NSInvalidArgumentException");
        EXPECT_NE(e.reason().find("-[LoudPlayer fly]"), std::string::npos);
    }
}

TEST(NSObjectRuntime, MetadataTakesItsSuperclassFromTheCppBase) {
    EXPECT_EQ(LoudPlayer::classObject().superclass(), &Player::classObject());
    EXPECT_EQ(Player::classObject().superclass(), &NSObject::classObject());
    EXPECT_EQ(NSObject::classObject().superclass(), nullptr);
    EXPECT_EQ(FileManager::defaultManager()->className(), "NSFileManager");
    EXPECT_EQ(FileManager::classObject().superclass(), &NSObject::classObject());
}

TEST(NSObjectRuntime, ExchangeSwapsOnlyTheSubclassWhenMethodsAreInherited) {
    registerPlayer();
    auto loud = std::make_shared<LoudPlayer>();
    auto plain = std::make_shared<Player>();
    ASSERT_TRUE(LoudPlayer::classObject().exchangeImplementations("name", "title"));
    EXPECT_EQ(loud->perform("name").string(), "title");
    EXPECT_EQ(loud->perform("title").string(), "player");
    EXPECT_EQ(plain->perform("name").string(), "player") << "the superclass keeps its methods";
    EXPECT_FALSE(LoudPlayer::classObject().exchangeImplementations("name", "missing"));
    ASSERT_TRUE(LoudPlayer::classObject().exchangeImplementations("name", "title"));
    EXPECT_EQ(loud->perform("name").string(), "player");
}

TEST(NSObjectRuntime, KeyValueCodingUsesPropertiesAndHooks) {
    registerPlayer();
    auto player = std::make_shared<Player>();
    player->setValue(Any("tune"), "song");
    EXPECT_EQ(player->valueForKey("song").string(), "tune");
    player->setValue(Any(9), "volume");
    EXPECT_EQ(player->valueForKey("volume").integerValue(), 9);
    player->setValue(Any(), "volume");  // nil for a scalar goes to the hook
    EXPECT_EQ(player->volume, 0);
    player->setValue(Any(1), "unknown");
    EXPECT_EQ(player->lastUndefinedKey, "unknown");
    EXPECT_THROW(player->valueForKey("unknown"), NSException);
    auto base = std::make_shared<NSObject>();
    EXPECT_THROW(base->setValue(Any(1), "x"), NSException);

    // The members are messages: sending the selectors directly does the same.
    player->perform("setValue:forKey:", Any("sent"), Any("song"));
    EXPECT_EQ(player->perform("valueForKey:", Any("song")).string(), "sent");
    player->setValuesForKeys(Any::Dictionary{{"song", "both"}, {"volume", 7}, {"tempo", 120}});
    EXPECT_EQ(player->song, "both");
    EXPECT_EQ(player->volume, 7);
    EXPECT_EQ(player->lastUndefinedKey, "tempo");
    EXPECT_THROW(player->setValuesForKeys(Any("not a dictionary")), NSException);
    try {
        base->valueForKey("missing");
        FAIL() << "expected an exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), "NSUnknownKeyException");
        EXPECT_NE(e.reason().find("valueForUndefinedKey:"), std::string::npos);
        EXPECT_NE(e.reason().find("missing"), std::string::npos);
    }
}

TEST(NSObjectRuntime, AddingIfAbsentOverridesInheritedMethodsButNotOwnOnes) {
    auto& player = Player::classObject();
    auto& loud = LoudPlayer::classObject();
    player.addMethod("tempo", [](NSObject&, const Any::List&) { return Any("andante"); });
    EXPECT_EQ(loud.ownMethod("tempo"), nullptr);
    EXPECT_TRUE(loud.addMethodIfAbsent("tempo", [](NSObject&, const Any::List&) { return Any("presto"); }));
    EXPECT_FALSE(loud.addMethodIfAbsent("tempo", [](NSObject&, const Any::List&) { return Any("largo"); }));
    EXPECT_EQ(std::make_shared<LoudPlayer>()->perform("tempo").string(), "presto");
    EXPECT_EQ(std::make_shared<Player>()->perform("tempo").string(), "andante");
    EXPECT_NE(loud.ownMethod("tempo"), nullptr);
    loud.addMethod("tempo", [](NSObject&, const Any::List&) { return Any("replaced"); });
    EXPECT_EQ(std::make_shared<LoudPlayer>()->perform("tempo").string(), "replaced");
}

TEST(NSObjectRuntime, ClassMethodsAreInheritedAndReceiveTheClassSentTo) {
    auto& player = Player::classObject();
    player.addClassMethod("className", [](ObjCClass& cls, const Any::List&) { return Any(cls.name()); });
    player.addClassMethod("echo:", [](ObjCClass&, const Any::List& args) { return args.at(0); });
    EXPECT_TRUE(LoudPlayer::classObject().respondsToClassSelector("className"));
    EXPECT_FALSE(NSObject::classObject().respondsToClassSelector("className"));
    EXPECT_EQ(LoudPlayer::classObject().performClassMethod("className").string(), "LoudPlayer");
    EXPECT_EQ(player.performClassMethod("echo:", {Any(4), Any(5)}).integerValue(), 4) << "extra arguments dropped";
    EXPECT_TRUE(player.performClassMethod("echo:").isNull()) << "missing arguments are null";
    EXPECT_FALSE(player.instancesRespondToSelector("className")) << "instances do not see class methods";
    EXPECT_FALSE(player.addClassMethodIfAbsent("className", [](ObjCClass&, const Any::List&) { return Any(); }));
    try {
        player.performClassMethod("fly");
        FAIL() << "expected an exception";
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), "NSInvalidArgumentException");
        EXPECT_NE(e.reason().find("+[Player fly]"), std::string::npos);
    }
}

TEST(NSObjectRuntime, AssociationsFollowTheirPolicies) {
    static const char key = 0;
    auto object = std::make_shared<NSObject>();
    auto value = std::make_shared<NSObject>();
    objc_setAssociatedObject(*object, &key, value, AssociationPolicy::retain);
    EXPECT_EQ(value.use_count(), 2);
    objc_setAssociatedObject(*object, &key, value, AssociationPolicy::assign);
    EXPECT_EQ(value.use_count(), 1);
    EXPECT_EQ(objc_getAssociatedObject<std::shared_ptr<NSObject>>(*object, &key), value);
    objc_removeAssociatedObject(*object, &key);
    EXPECT_FALSE(objc_getAssociatedObject<std::shared_ptr<NSObject>>(*object, &key));
}

TEST(NSObjectRuntime, SyncIsRecursive) {
    NSObject object;
    objc_sync_enter(&object);
    {
        SynchronizedScope again(&object);  // same thread: no deadlock
    }
    objc_sync_exit(&object);
    objc_sync_exit(&object);  // unbalanced exit is ignored
}
