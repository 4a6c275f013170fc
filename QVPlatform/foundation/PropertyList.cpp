#include <QVPlatform/foundation/PropertyList.h>

#include <QVPlatform/base/Text.h>
#include <QVPlatform/foundation/detail/Base64.h>
#include <QVPlatform/foundation/detail/LibxmlInit.h>
#include <QVPlatform/foundation/detail/PropertyListValue.h>

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/tree.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

namespace {

// Calendar arithmetic in the proleptic Gregorian calendar (days since 1970-01-01).
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month, day;
};

constexpr CivilDate civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

// Dates far outside any calendar use (about ±3 million years) have no property-list form.
constexpr double kLargestDateSeconds = 1e14;

bool isWritableDate(Date date) {
    const double t = date.timeIntervalSince1970();
    return std::isfinite(t) && std::fabs(t) < kLargestDateSeconds;
}

// ISO 8601 in UTC with whole seconds, as the platform's XML property lists write dates.
std::string formatDate(Date date) {
    const auto seconds = static_cast<std::int64_t>(std::floor(date.timeIntervalSince1970()));
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        days -= 1;
    }
    const CivilDate c = civilFromDays(days);
    // The sign goes before the zero padding: year -229 is "-0229", which the reader takes back
    // (a bare "-229" has too few digits for it).
    const long long year = static_cast<long long>(c.year);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%04lld-%02u-%02uT%02d:%02d:%02dZ", year < 0 ? "-" : "", year < 0 ? -year : year,
                  c.month, c.day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                  static_cast<int>(rest % 60));
    return buffer;
}

// Reads `count` digits at `p`; false if any is not a digit.
bool readDigits(std::string_view& text, std::size_t count, unsigned& value) {
    if (text.size() < count) return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    text.remove_prefix(count);
    return true;
}

bool expect(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

// "YYYY-MM-DDTHH:MM:SS[.fff]Z" (a year of four or more digits, optionally negative).
std::optional<Date> parseDate(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    std::size_t yearDigits = 0;
    while (yearDigits < text.size() && text[yearDigits] >= '0' && text[yearDigits] <= '9') ++yearDigits;
    if (yearDigits < 4 || yearDigits > 7) return std::nullopt;
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!readDigits(text, yearDigits, year) || !expect(text, '-') || !readDigits(text, 2, month) ||
        !expect(text, '-') || !readDigits(text, 2, day) || !expect(text, 'T') || !readDigits(text, 2, hour) ||
        !expect(text, ':') || !readDigits(text, 2, minute) || !expect(text, ':') || !readDigits(text, 2, second)) {
        return std::nullopt;
    }
    double fraction = 0;
    if (!text.empty() && text.front() == '.') {
        std::size_t n = 1;
        while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
        if (n == 1) return std::nullopt;
        std::from_chars(text.data(), text.data() + n, fraction);
        text.remove_prefix(n);
    }
    if (text != "Z") return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) {
        return std::nullopt;
    }
    const std::int64_t y = negative ? -static_cast<std::int64_t>(year) : year;
    const std::int64_t days = daysFromCivil(y, month, day);
    const double seconds = static_cast<double>(days) * 86400.0 + hour * 3600.0 + minute * 60.0 + second + fraction;
    return Date(seconds);
}

// XML 1.0 section 2.2 (Char): the characters a document may carry. `text` is valid UTF-8.
bool hasOnlyXmlCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
        if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
            return false;
        }
    }
    return true;
}

bool isWritableText(std::string_view text) { return isValidUtf8(text) && hasOnlyXmlCharacters(text); }

std::string_view trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    constexpr std::uint64_t limit = static_cast<std::uint64_t>(INT64_MAX);
    if (negative) {
        if (magnitude > limit + 1) return std::nullopt;
        return magnitude == limit + 1 ? INT64_MIN : -static_cast<std::int64_t>(magnitude);
    }
    if (magnitude > limit) return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
}

std::optional<double> parseReal(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size()) return std::nullopt;
    // Out of range: take the infinity or the zero the text stands for. It is a tiny value when
    // the exponent is negative or, without an exponent, when the integer part is zero.
    if (error == std::errc::result_out_of_range) {
        const bool negative = text.front() == '-';
        const auto e = text.find_first_of("eE");
        bool tiny = false;
        if (e != std::string_view::npos) {
            tiny = e + 1 < text.size() && text[e + 1] == '-';
        } else {
            std::string_view integer = text.substr(negative ? 1 : 0);
            integer = integer.substr(0, integer.find('.'));
            tiny = integer.find_first_not_of('0') == std::string_view::npos;
        }
        const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return negative ? -magnitude : magnitude;
    }
    if (error != std::errc()) return std::nullopt;
    return value;
}

std::string formatReal(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "+infinity" : "-infinity";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// --- Reading -------------------------------------------------------------------------

struct DocumentDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

bool isNamed(const xmlNode* node, const char* name) {
    return node->name && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

bool isIgnorable(const xmlNode* node) {
    if (node->type == XML_COMMENT_NODE || node->type == XML_PI_NODE) return true;
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
        const char* content = reinterpret_cast<const char*>(node->content);
        return trimmed(content ? content : "").empty();
    }
    return false;
}

// The character data of an element whose children may only be text, CDATA and comments. An
// entity reference (only possible with a document-defined entity) or a child element makes
// the element invalid.
std::optional<std::string> textContent(const xmlNode* element) {
    std::string text;
    for (const xmlNode* child = element->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            if (child->content) text += reinterpret_cast<const char*>(child->content);
        } else if (child->type != XML_COMMENT_NODE && child->type != XML_PI_NODE) {
            return std::nullopt;
        }
    }
    return text;
}

std::optional<Any> readValue(const xmlNode* node, int depth);

std::optional<Any> readDictionary(const xmlNode* node, int depth) {
    // Collected in document order and sorted once: inserting each key in its place would cost
    // a quadratic number of moves on a large unsorted dictionary.
    std::vector<Any::Dictionary::value_type> entries;
    const xmlNode* child = node->children;
    while (child) {
        if (isIgnorable(child)) {
            child = child->next;
            continue;
        }
        if (child->type != XML_ELEMENT_NODE || !isNamed(child, "key")) return std::nullopt;
        auto key = textContent(child);
        if (!key) return std::nullopt;
        const xmlNode* valueNode = child->next;
        while (valueNode && isIgnorable(valueNode)) valueNode = valueNode->next;
        if (!valueNode) return std::nullopt;
        auto value = readValue(valueNode, depth + 1);
        if (!value) return std::nullopt;
        entries.emplace_back(std::move(*key), std::move(*value));
        child = valueNode->next;
    }
    // A repeated key keeps its last value.
    return Any(Any::Dictionary::fromEntries(std::move(entries)));
}

std::optional<Any> readArray(const xmlNode* node, int depth) {
    Any::List list;
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (isIgnorable(child)) continue;
        auto value = readValue(child, depth + 1);
        if (!value) return std::nullopt;
        list.push_back(std::move(*value));
    }
    return Any(std::move(list));
}

std::optional<Any> readValue(const xmlNode* node, int depth) {
    if (node->type != XML_ELEMENT_NODE || depth > detail::kPropertyListMaxDepth) return std::nullopt;
    if (isNamed(node, "dict")) return readDictionary(node, depth);
    if (isNamed(node, "array")) return readArray(node, depth);
    if (isNamed(node, "true") || isNamed(node, "false")) {
        for (const xmlNode* child = node->children; child; child = child->next) {
            if (!isIgnorable(child)) return std::nullopt;
        }
        return Any(isNamed(node, "true"));
    }
    auto text = textContent(node);
    if (!text) return std::nullopt;
    if (isNamed(node, "string")) return Any(std::move(*text));
    if (isNamed(node, "integer")) {
        if (auto v = parseInteger(*text)) return Any(*v);
        return std::nullopt;
    }
    if (isNamed(node, "real")) {
        if (auto v = parseReal(*text)) return Any(*v);
        return std::nullopt;
    }
    if (isNamed(node, "date")) {
        if (auto v = parseDate(trimmed(*text))) return Any(*v);
        return std::nullopt;
    }
    if (isNamed(node, "data")) {
        if (auto v = detail::base64Decode(*text)) return Any(std::move(*v));
        return std::nullopt;
    }
    return std::nullopt;
}

// --- Writing -------------------------------------------------------------------------

void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            // A raw carriage return would come back as a line feed (XML 1.0 2.11).
            case '\r': out += "&#13;"; break;
            default: out += c;
        }
    }
}

class Writer {
public:
    std::string out;

    void value(const Any& v, int indent) {
        switch (v.kind()) {
            case Any::Kind::dictionary: {
                const auto& dictionary = *v.asDictionary();
                if (dictionary.empty()) return line(indent, "<dict/>");
                line(indent, "<dict>");
                for (const auto& [key, element] : dictionary) {
                    tabs(indent + 1);
                    out += "<key>";
                    appendEscaped(out, key);
                    out += "</key>\n";
                    value(element, indent + 1);
                }
                return line(indent, "</dict>");
            }
            case Any::Kind::list: {
                const auto& list = *v.asList();
                if (list.empty()) return line(indent, "<array/>");
                line(indent, "<array>");
                for (const auto& element : list) value(element, indent + 1);
                return line(indent, "</array>");
            }
            case Any::Kind::text:
                tabs(indent);
                out += "<string>";
                appendEscaped(out, v.string());
                out += "</string>\n";
                return;
            case Any::Kind::boolean: return line(indent, v.boolValue() ? "<true/>" : "<false/>");
            case Any::Kind::integer:
                return line(indent, "<integer>" + std::to_string(v.integerValue()) + "</integer>");
            case Any::Kind::real: return line(indent, "<real>" + formatReal(v.doubleValue()) + "</real>");
            case Any::Kind::date: return line(indent, "<date>" + formatDate(*v.asDate()) + "</date>");
            case Any::Kind::data: {
                // Base64 in lines of 76 characters between the tags, each at the element's indentation.
                line(indent, "<data>");
                const std::string encoded = detail::base64Encode(*v.asData());
                for (std::size_t i = 0; i < encoded.size(); i += 76) line(indent, encoded.substr(i, 76));
                return line(indent, "</data>");
            }
            case Any::Kind::null:
            case Any::Kind::object: return;  // excluded by isPropertyListValue
        }
    }

private:
    void tabs(int indent) { out.append(static_cast<std::size_t>(indent), '\t'); }
    void line(int indent, std::string_view text) {
        tabs(indent);
        out += text;
        out += '\n';
    }
};

bool isPropertyListValueAt(const Any& value, int depth) {
    switch (value.kind()) {
        case Any::Kind::null:
        case Any::Kind::object: return false;
        case Any::Kind::text: return isWritableText(value.string());
        case Any::Kind::date: return isWritableDate(*value.asDate());
        case Any::Kind::list:
            if (depth >= detail::kPropertyListMaxDepth) return false;
            for (const auto& element : *value.asList()) {
                if (!isPropertyListValueAt(element, depth + 1)) return false;
            }
            return true;
        case Any::Kind::dictionary:
            if (depth >= detail::kPropertyListMaxDepth) return false;
            for (const auto& [key, element] : *value.asDictionary()) {
                if (!isWritableText(key) || !isPropertyListValueAt(element, depth + 1)) return false;
            }
            return true;
        default: return true;
    }
}

void ignoreXmlError(void*, const char*, ...) {}

// Silences libxml2's error output while it lives and then restores the host's handler.
// Errors found outside a parser context (a failed encoding conversion) bypass
// XML_PARSE_NOERROR and would reach the process's stderr. libxml2 keeps the handler per thread.
class QuietXmlErrors {
public:
    QuietXmlErrors() : handler_(xmlGenericError), context_(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, ignoreXmlError);
    }
    ~QuietXmlErrors() { xmlSetGenericErrorFunc(context_, handler_); }
    QuietXmlErrors(const QuietXmlErrors&) = delete;
    QuietXmlErrors& operator=(const QuietXmlErrors&) = delete;

private:
    xmlGenericErrorFunc handler_;
    void* context_;
};

}  // namespace

bool detail::isPropertyListValue(const Any& value) { return isPropertyListValueAt(value, 0); }

std::optional<Any> PropertyList::readXML(std::string_view bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    detail::initializeLibxml();
    // No network, no DTD loading, no entity substitution; errors are reported to nobody.
    constexpr int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    const QuietXmlErrors quiet;
    std::unique_ptr<xmlDoc, DocumentDeleter> doc(
        xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, options));
    if (!doc) return std::nullopt;
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root) return std::nullopt;
    if (!isNamed(root, "plist")) return readValue(root, 0);
    const xmlNode* valueNode = nullptr;
    for (const xmlNode* child = root->children; child; child = child->next) {
        if (isIgnorable(child)) continue;
        if (valueNode) return std::nullopt;  // exactly one value
        valueNode = child;
    }
    if (!valueNode) return std::nullopt;
    return readValue(valueNode, 0);
}

std::optional<std::string> PropertyList::writeXML(const Any& value) {
    if (!detail::isPropertyListValue(value)) return std::nullopt;
    Writer writer;
    writer.out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n";
    writer.value(value, 0);
    writer.out += "</plist>\n";
    return std::move(writer.out);
}

bool PropertyList::looksLikeXML(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    while (!bytes.empty() && (bytes.front() == ' ' || bytes.front() == '\t' || bytes.front() == '\n' ||
                              bytes.front() == '\r')) {
        bytes.remove_prefix(1);
    }
    return bytes.starts_with("<?xml") || bytes.starts_with("<plist") || bytes.starts_with("<!DOCTYPE plist");
}

}  // namespace platform
