// `qvtool text`: pinyin, masking, display width and emoji removal.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

namespace qvtool {
namespace {

using namespace QVToolbox;

// A verb taking one UTF-8 TEXT and printing what `apply` makes of it.
template <class Apply>
void defineVerb(Verb& verb, Apply apply) {
    const auto& text = verb.text("TEXT", "UTF-8 text");
    verb.run([&text, apply] { return printResult(apply(hx(requireUtf8(text, "TEXT")))); });
}

void define(CLI::App& group) {
    {
        Verb verb(group, "pinyin", "the Chinese characters in pinyin");
        const auto& tone = verb.flag("--tone", "with tone marks");
        defineVerb(verb, [&tone](const auto& t) { return t.toPinyin(tone); });
    }
    {
        Verb verb(group, "initials", "the pinyin initials");
        const auto& upper = verb.flag("--upper", "upper case");
        defineVerb(verb, [&upper](const auto& t) { return t.pinyinInitials(upper); });
    }
    Verb maskPhone(group, "mask-phone", "all but the first 3 and the last 4 characters as *");
    defineVerb(maskPhone, [](const auto& t) { return t.hidePhone("*", 3, 4); });
    Verb maskEmail(group, "mask-email", "the e-mail address with its name masked but the first and last character");
    defineVerb(maskEmail, [](const auto& t) { return t.hideEmail(); });
    Verb width(group, "width", "the display width (basic Han ideographs count 2)");
    defineVerb(width, [](const auto& t) { return std::to_string(t.countOfChars()); });
    Verb deleteEmoji(group, "delete-emoji", "the text without its emoji");
    defineVerb(deleteEmoji, [](const auto& t) { return t.deleteEmoji(); });
}

const GroupRegistration registration{{"text", "pinyin, masking, display width, emoji removal", 24, define}};

}  // namespace
}  // namespace qvtool
