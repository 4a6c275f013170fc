// `qvtool validate`: the text checks; each prints true or false.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

namespace qvtool {
namespace {

using namespace QVToolbox;

struct Check {
    const char* name;
    const char* description;
    bool (*test)(std::string_view);
};

const Check kChecks[] = {
    {"email", "an e-mail address", isValidEmail},
    {"mobile", "a mainland China mobile number", isValidMobile},
    {"idcard", "a resident ID card number (its form)", isValidIDCardNumber},
    {"idcard-strict", "a resident ID card number (form, region, date, check digit)", isValidIDCardNumStrict},
    {"nickname", "a nickname of letters, digits and Chinese characters", isValidNickName},
    {"chinese", "Chinese characters only", isChinese},
    {"emoji", "holds an emoji", containsEmoji},
    {"number", "digits (Nd) of any script only; the empty text too", isValidNumber},
    {"digits", "digits (Nd) of any script only, not empty", isDecimalDigits},
    {"letters", "letters and marks only, not empty", isLetters},
    {"blank", "empty, or blanks and line breaks only", isBlank},
    {"int", "one whole number (blanks around it allowed)", isPureInt},
    {"float", "one floating-point number (blanks around it allowed)", isPureFloat},
    {"video", "ends with a video file ending", isVideoUrl},
    {"file-url", "a URL with the scheme file", isValidFileUrl},
};

void define(CLI::App& group) {
    for (const auto& check : kChecks) {
        Verb verb(group, check.name, check.description);
        const auto& text = verb.text("TEXT", "UTF-8 text; none is the empty text", true);
        verb.run([&text, &check] { return printBool(check.test(requireUtf8(text, "TEXT"))); });
    }
}

const GroupRegistration registration{
    {"validate", "checks of a text (email, mobile, ID card...); prints true or false", 23, define}};

}  // namespace
}  // namespace qvtool
