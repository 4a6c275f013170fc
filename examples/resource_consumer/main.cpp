// A host program built against the installed QVResource package alone.
#include <QVResource/localization/QVLocalized.h>
#include <QVResource/theme/QVThemeManager.h>

#include <iostream>

int main() {
    using namespace QVResource;
    const auto primary = QVAppTheme(QVAppTheme::pelmo).theme()->primary()->hexString();
    const auto sign = QVLanguageType(QVLanguageType::ko_KR).sign();
    std::cout << "resource consumer: pelmo primary = " << primary << ", ko sign = " << sign << "\n";
    return primary == "#0AC674" && sign == "KOR" ? 0 : 1;
}
