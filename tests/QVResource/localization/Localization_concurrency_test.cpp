// Lookups on several threads while another thread switches the language: every lookup sees
// one language's table or the other's, never a torn registry or a freed bundle.
#include <QVResource/localization/QVLocLanguage.h>
#include <QVResource/localization/QVLocalized.h>
#include <QVResource/localization/QVLocalizedResource.h>
#include <QVResource/theme/QVThemeManager.h>

#include "QVResource/localization/LocalizationFixture.h"

#include <atomic>
#include <thread>

using namespace QVResource;
using L = QVLanguageType;

namespace {

class LocalizationConcurrencyTest : public qvtest::LocalizationTest {};

}  // namespace

TEST_F(LocalizationConcurrencyTest, LookupsDuringSetCurrentLanguageSeeOneLanguageOrTheOther) {
    localize({"Base", "en", "fr"});
    qvtest::writeFile(root / "Home.bundle/en.lproj/Home.strings", "\"hello\" = \"Hello\";");
    qvtest::writeFile(root / "Home.bundle/fr.lproj/Home.strings", "\"hello\" = \"Bonjour\";");
    ASSERT_TRUE(QVLocalized::setCurrentLanguage(L::en));
    QVLocalized::registerBundle("Home");

    std::atomic<bool> done{false};
    std::atomic<int> unexpected{0};
    std::atomic<int> lookups{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&, t] {
            while (!done.load()) {
                const std::string text = t == 0 ? loc("hello", "Home")
                                                : QVLocalized::resourceBundle("Home")->localizedStr("hello");
                if (text != "Hello" && text != "Bonjour") ++unexpected;
                if (t == 2) {
                    (void)QVLocalized::quickCurrentLanguage();
                    (void)QVColor->primary();
                }
                ++lookups;
            }
        });
    }
    for (int round = 0; round < 20; ++round) {
        EXPECT_TRUE(QVLocalized::setCurrentLanguage(round % 2 == 0 ? L::fr_FR : L::en));
        if (round == 10) QVColor = QVThemeManager::shared().currentTheme();
    }
    while (lookups.load() < 30) std::this_thread::yield();  // every reader has run a little
    done = true;
    for (auto& reader : readers) reader.join();
    EXPECT_EQ(unexpected.load(), 0);
    EXPECT_EQ(loc("hello", "Home"), "Hello");  // the last switch was to English
}
