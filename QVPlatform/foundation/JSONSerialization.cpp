#include <QVPlatform/foundation/JSONSerialization.h>

#include <QVPlatform/base/Text.h>

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t kMaxDepth = 512;

// True when an out-of-range number is tiny rather than huge: a negative exponent or, without
// an exponent, a zero integer part.
bool isTiny(std::string_view text) {
    if (text.starts_with('-')) text.remove_prefix(1);
    if (const auto e = text.find_first_of("eE"); e != std::string_view::npos) {
        return e + 1 < text.size() && text[e + 1] == '-';
    }
    text = text.substr(0, text.find('.'));
    return text.find_first_not_of('0') == std::string_view::npos;
}

// Builds an Any from RapidJSON's events. Open containers wait on a stack of frames whose depth
// is capped, which also caps RapidJSON's recursion.
class Builder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Builder> {
public:
    explicit Builder(bool fragmentsAllowed) : fragmentsAllowed_(fragmentsAllowed) {}

    std::optional<Any> result;
    // Why the builder stopped the parse (empty when RapidJSON itself found the error).
    const char* refusal = "";

    bool Null() { return add(Any()); }
    bool Bool(bool b) { return add(Any(b)); }
    // Numbers arrive as their text (kParseNumbersAsStringsFlag): std::from_chars converts them
    // exactly, where RapidJSON's own conversion misbehaves on extreme exponents.
    bool RawNumber(const char* s, rapidjson::SizeType length, bool) {
        const char* end = s + length;
        const std::string_view text(s, length);
        if (text.find_first_of(".eE") == std::string_view::npos) {
            std::int64_t integer = 0;
            const auto [ptr, error] = std::from_chars(s, end, integer);
            if (error == std::errc() && ptr == end) return add(Any(integer));
        }
        double value = 0;
        const auto [ptr, error] = std::from_chars(s, end, value);
        if (ptr != end) return refuse("A number is not valid.");
        if (error == std::errc::result_out_of_range) {
            // Too small becomes zero; too large has no double and fails the parse.
            if (!isTiny(text)) return refuse("A number is beyond the range of a double.");
            value = text.starts_with('-') ? -0.0 : 0.0;
        } else if (error != std::errc()) {
            return refuse("A number is not valid.");
        }
        return add(Any(value));
    }
    // RapidJSON lets a lone low surrogate ("\udc00") and UTF-8-encoded surrogates through;
    // texts here are always valid UTF-8, so such strings fail the parse.
    bool String(const char* s, rapidjson::SizeType length, bool) {
        const std::string_view text(s, length);
        if (!isValidUtf8(text)) return refuse(kInvalidText);
        return add(Any(text));
    }
    bool StartObject() { return open(Any(Any::Dictionary{})); }
    bool Key(const char* s, rapidjson::SizeType length, bool) {
        const std::string_view text(s, length);
        if (!isValidUtf8(text)) return refuse(kInvalidText);
        stack_.back().key.assign(text);
        return true;
    }
    bool EndObject(rapidjson::SizeType) { return close(); }
    bool StartArray() { return open(Any(Any::List{})); }
    bool EndArray(rapidjson::SizeType) { return close(); }

private:
    struct Frame {
        Any container;
        std::string key;
    };
    static constexpr const char* kInvalidText = "A string is not valid UTF-8 (or holds a lone surrogate).";

    bool refuse(const char* reason) {
        refusal = reason;
        return false;
    }

    bool add(Any value) {
        if (stack_.empty()) {
            if (!fragmentsAllowed_ && !value.isList() && !value.isDictionary()) {
                return refuse("The top level is not an array or object.");
            }
            result = std::move(value);
            return true;
        }
        Frame& top = stack_.back();
        if (auto* list = top.container.asList()) {
            list->push_back(std::move(value));
        } else {
            // A repeated key keeps its last value.
            top.container.asDictionary()->insert_or_assign(std::move(top.key), std::move(value));
        }
        return true;
    }
    bool open(Any container) {
        if (stack_.size() >= kMaxDepth) return refuse("Nesting is deeper than 512 levels.");
        stack_.emplace_back().container = std::move(container);
        return true;
    }
    bool close() {
        Any container = std::move(stack_.back().container);
        stack_.pop_back();
        return add(std::move(container));
    }

    bool fragmentsAllowed_;
    std::vector<Frame> stack_;
};

bool isValidElement(const Any& value, std::size_t depth) {
    switch (value.kind()) {
        case Any::Kind::null:
        case Any::Kind::boolean:
        case Any::Kind::integer: return true;
        case Any::Kind::real: return std::isfinite(value.doubleValue());
        case Any::Kind::text: return isValidUtf8(value.string());
        case Any::Kind::list:
            if (depth >= kMaxDepth) return false;
            for (const auto& element : *value.asList()) {
                if (!isValidElement(element, depth + 1)) return false;
            }
            return true;
        case Any::Kind::dictionary:
            if (depth >= kMaxDepth) return false;
            for (const auto& [key, element] : *value.asDictionary()) {
                if (!isValidUtf8(key) || !isValidElement(element, depth + 1)) return false;
            }
            return true;
        case Any::Kind::data:
        case Any::Kind::date:
        case Any::Kind::object: return false;
    }
    return false;
}

class Writer {
public:
    explicit Writer(const JSONSerialization::WritingOptions& options) : options_(options) {}
    std::string out;

    void value(const Any& v, int indent) {
        switch (v.kind()) {
            case Any::Kind::null: out += "null"; return;
            case Any::Kind::boolean: out += v.boolValue() ? "true" : "false"; return;
            case Any::Kind::integer: out += std::to_string(v.integerValue()); return;
            case Any::Kind::real: number(v.doubleValue()); return;
            case Any::Kind::text: string(v.string()); return;
            case Any::Kind::list: {
                const auto& list = *v.asList();
                out += '[';
                if (list.empty()) {
                    out += ']';
                    return;
                }
                bool first = true;
                for (const auto& element : list) {
                    separator(first, indent + 1);
                    value(element, indent + 1);
                }
                newline(indent);
                out += ']';
                return;
            }
            case Any::Kind::dictionary: {
                const auto& dictionary = *v.asDictionary();
                out += '{';
                if (dictionary.empty()) {
                    out += '}';
                    return;
                }
                bool first = true;
                for (const auto& [key, element] : dictionary) {
                    separator(first, indent + 1);
                    string(key);
                    out += options_.prettyPrinted ? " : " : ":";
                    value(element, indent + 1);
                }
                newline(indent);
                out += '}';
                return;
            }
            case Any::Kind::data:
            case Any::Kind::date:
            case Any::Kind::object: return;  // excluded by the validity check
        }
    }

private:
    void newline(int indent) {
        if (!options_.prettyPrinted) return;
        out += '\n';
        out.append(static_cast<std::size_t>(indent) * 2, ' ');
    }
    void separator(bool& first, int indent) {
        if (!first) out += ',';
        first = false;
        newline(indent);
    }
    // The shortest text that reads back as the same double (integral values without ".0").
    void number(double d) {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
        out.append(buffer, result.ptr);
    }
    // RFC 8259 7: quotation mark, reverse solidus and control characters must be escaped;
    // the platform escapes the solidus too.
    void string(std::string_view text) {
        static constexpr char hex[] = "0123456789abcdef";
        out += '"';
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            switch (c) {
                case '"': out += "\\\""; break;
                case '\\': out += "\\\\"; break;
                case '/': out += options_.withoutEscapingSlashes ? "/" : "\\/"; break;
                case '\b': out += "\\b"; break;
                case '\f': out += "\\f"; break;
                case '\n': out += "\\n"; break;
                case '\r': out += "\\r"; break;
                case '\t': out += "\\t"; break;
                default:
                    if (c < 0x20) {
                        out += "\\u00";
                        out += hex[c >> 4];
                        out += hex[c & 0xF];
                    } else {
                        out += ch;
                    }
            }
        }
        out += '"';
    }

    JSONSerialization::WritingOptions options_;
};

}  // namespace

std::optional<Any> JSONSerialization::jsonObject(std::string_view bytes, ReadingOptions options, JSONReadError* error) {
    const std::size_t bom = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    bytes.remove_prefix(bom);
    const auto fail = [&](std::size_t offset, const char* reason) -> std::optional<Any> {
        if (error) *error = {bom + offset, reason};
        return std::nullopt;
    };
    // Parsed in place in a private copy: strings and numbers then need no internal stack in
    // RapidJSON. Its recursion is bounded by the builder's depth limit.
    std::string buffer(bytes);
    // RapidJSON's UTF-8 check reads up to three bytes after a lead byte before it sees that
    // they are no continuation; zero padding keeps a lead byte at the very end from reading
    // past the buffer.
    buffer.append(4, '\0');
    Builder builder(options.fragmentsAllowed);
    rapidjson::InsituStringStream stream(buffer.data());
    rapidjson::Reader reader;
    constexpr unsigned flags =
        rapidjson::kParseInsituFlag | rapidjson::kParseValidateEncodingFlag | rapidjson::kParseNumbersAsStringsFlag;
    if (const auto parsed = reader.Parse<flags>(stream, builder); parsed.IsError()) {
        const bool refused = parsed.Code() == rapidjson::kParseErrorTermination && *builder.refusal;
        return fail(parsed.Offset(), refused ? builder.refusal : rapidjson::GetParseError_En(parsed.Code()));
    }
    // The stream reads a NUL byte as the end of input: text after one is an error too.
    if (stream.Tell() != bytes.size()) return fail(stream.Tell(), "The document root must not be followed by other values.");
    return std::move(builder.result);
}

std::optional<std::string> JSONSerialization::data(const Any& value, WritingOptions options) {
    const bool container = value.isList() || value.isDictionary();
    if (!container && !options.fragmentsAllowed) return std::nullopt;
    if (!isValidElement(value, 0)) return std::nullopt;
    Writer writer(options);
    writer.value(value, 0);
    return std::move(writer.out);
}

bool JSONSerialization::isValidJSONObject(const Any& value) {
    return (value.isList() || value.isDictionary()) && isValidElement(value, 0);
}

}  // namespace platform
