#include <QVPlatform/foundation/LinkDetector.h>

#include <QVPlatform/foundation/RegularExpression.h>
#include <QVPlatform/base/Text.h>

namespace platform {

namespace {

// Alternatives in order of preference: a scheme URL, an e-mail address, a www. host.
constexpr std::string_view kLinkPattern =
    R"((?<![\w@.])(?:[A-Za-z][A-Za-z0-9+.\-]*://[^\s<>"'\u3000-\u303F\uFF00-\uFFEF]+)"
    R"(|[A-Za-z0-9._%+\-]+@[A-Za-z0-9\-]+(?:\.[A-Za-z0-9\-]+)*\.[A-Za-z]{2,})"
    R"(|www\.[A-Za-z0-9\-]+(?:\.[A-Za-z0-9\-]+)+(?:[/?#][^\s<>"'\u3000-\u303F\uFF00-\uFFEF]*)?))";

// Removes sentence marks that end the match rather than the link.
std::string trimmed(std::string link) {
    while (!link.empty()) {
        const char c = link.back();
        if (std::string_view(".,;:!?'\"").find(c) != std::string_view::npos) {
            link.pop_back();
        } else if ((c == ')' && link.find('(') == std::string::npos) || (c == ']' && link.find('[') == std::string::npos)) {
            link.pop_back();
        } else {
            break;
        }
    }
    return link;
}

}  // namespace

std::vector<DetectedLink> detectLinks(std::string_view text) {
    std::vector<DetectedLink> out;
    const auto re = NSRegularExpression::make(kLinkPattern);
    if (!re) return out;
    const std::u16string units = utf8ToUtf16(text);
    for (const auto& match : re->matches(text)) {
        std::string link = trimmed(utf16ToUtf8(std::u16string_view(units).substr(match.range.location, match.range.length)));
        if (link.empty()) continue;
        DetectedLink d;
        d.range = {match.range.location, utf16Length(link)};
        if (link.find("://") != std::string::npos) d.url = link;
        else if (link.find('@') != std::string::npos) d.url = "mailto:" + link;
        else d.url = "http://" + link;
        d.text = std::move(link);
        out.push_back(std::move(d));
    }
    return out;
}

}  // namespace platform
