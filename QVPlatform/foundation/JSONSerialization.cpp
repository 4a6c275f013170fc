#include <QVPlatform/foundation/JSONSerialization.h>

#include <QVPlatform/base/Text.h>

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <span>
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

// RapidJSON validates UTF-8 but lets a lone low surrogate through ("\udc00" decodes to
// ED B0 80); texts here are always valid UTF-8, so such strings fail the parse. A surrogate in
// UTF-8 always starts with the byte ED, so only texts holding one need the full check.
bool isSoundText(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) == 0xED) return isValidUtf8(text);
    }
    return true;
}

// Builds an Any from RapidJSON's events. The values and entries of all open containers wait
// on two shared stacks; closing a container moves its own tail of the stack into one vector of
// exactly its size (a dictionary is sorted once, there). The frame depth is capped, which also
// caps RapidJSON's recursion.
class Builder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Builder> {
public:
    explicit Builder(bool fragmentsAllowed) : fragmentsAllowed_(fragmentsAllowed) {}

    std::optional<Any> result;
    // Why the builder stopped the parse (empty when RapidJSON itself found the error).
    const char* refusal = "";

    bool Null() { return add(nullptr); }
    bool Bool(bool b) { return add(b); }
    // Numbers arrive as their text (kParseNumbersAsStringsFlag): std::from_chars converts them
    // exactly, where RapidJSON's own conversion misbehaves on extreme exponents.
    bool RawNumber(const char* s, rapidjson::SizeType length, bool) {
        const std::string_view text(s, length);
        if (isPlainInteger(text)) {
            std::int64_t integer = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), integer);
            if (error == std::errc() && end == text.data() + text.size()) return add(integer);
            // Beyond the int64 range on either side: a double, as any other number.
        }
        const auto number = readDouble(text);
        // RapidJSON has checked the syntax: a number that does not convert is beyond the double range.
        if (!number) return refuse("A number is beyond the range of a double.");
        return add(*number);
    }
    bool String(const char* s, rapidjson::SizeType length, bool) {
        const std::string_view text(s, length);
        if (!isSoundText(text)) return refuse(kInvalidText);
        return add(std::string(text));
    }
    bool StartObject() { return open(true); }
    bool Key(const char* s, rapidjson::SizeType length, bool) {
        const std::string_view text(s, length);
        if (!isSoundText(text)) return refuse(kInvalidText);
        key_.assign(text);
        return true;
    }
    bool EndObject(rapidjson::SizeType) {
        const std::size_t start = frames_.back().start;
        close();
        // A repeated key keeps its last value.
        auto dictionary = Any::Dictionary::fromEntries(std::span(entries_).subspan(start));
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(start), entries_.end());
        return add(std::move(dictionary));
    }
    bool StartArray() { return open(false); }
    bool EndArray(rapidjson::SizeType) {
        const auto first = elements_.begin() + static_cast<std::ptrdiff_t>(frames_.back().start);
        close();
        Any::List list(std::make_move_iterator(first), std::make_move_iterator(elements_.end()));
        elements_.erase(first, elements_.end());
        return add(std::move(list));
    }

private:
    static constexpr const char* kInvalidText = "A string is not valid UTF-8 (or holds a lone surrogate).";

    bool refuse(const char* reason) {
        refusal = reason;
        return false;
    }

    struct Frame {
        bool object;
        std::size_t start;     // index of the container's first value in its stack
        std::string ownKey;    // the container's key in the object around it
    };

    // Digits with an optional sign: no fraction, no exponent.
    static bool isPlainInteger(std::string_view text) {
        for (const char c : text) {
            if (c == '.' || c == 'e' || c == 'E') return false;
        }
        return true;
    }
    // Absent for a number beyond the double range.
    static std::optional<double> readDouble(std::string_view text) {
        const char* end = text.data() + text.size();
        double value = 0;
        const auto [ptr, error] = std::from_chars(text.data(), end, value);
        if (ptr != end) return std::nullopt;
        if (error == std::errc::result_out_of_range) {
            // Too small becomes zero; too large has no double and fails the parse.
            if (!isTiny(text)) return std::nullopt;
            return text.starts_with('-') ? -0.0 : 0.0;
        }
        if (error != std::errc()) return std::nullopt;
        return value;
    }

    // The value is built where it will stay: in its container's stack, or as the result.
    template <class T>
    bool add(T&& value) {
        if (frames_.empty()) {
            Any top(std::forward<T>(value));
            if (!fragmentsAllowed_ && !top.isList() && !top.isDictionary()) {
                return refuse("The top level is not an array or object.");
            }
            result = std::move(top);
        } else if (frames_.back().object) {
            entries_.emplace_back(std::move(key_), std::forward<T>(value));
        } else {
            elements_.emplace_back(std::forward<T>(value));
        }
        return true;
    }
    bool open(bool object) {
        if (frames_.size() >= kMaxDepth) return refuse("Nesting is deeper than 512 levels.");
        frames_.push_back({object, object ? entries_.size() : elements_.size(), std::move(key_)});
        return true;
    }
    // Pops the frame; the key it was opened under is the key of the value to come again.
    void close() {
        key_ = std::move(frames_.back().ownKey);
        frames_.pop_back();
    }

    bool fragmentsAllowed_;
    std::vector<Frame> frames_;
    std::vector<Any> elements_;
    std::vector<Any::Dictionary::value_type> entries_;
    std::string key_;  // the key of the value to come
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

// Writes JSON text and checks, in the same pass, what isValidElement checks: false (with
// partial output) on anything not representable.
class Writer {
public:
    explicit Writer(const JSONSerialization::WritingOptions& options) : options_(options) {}
    std::string out;

    bool value(const Any& v, std::size_t depth) {
        switch (v.kind()) {
            case Any::Kind::null: out += "null"; return true;
            case Any::Kind::boolean: out += v.boolValue() ? "true" : "false"; return true;
            case Any::Kind::integer: integer(v.integerValue()); return true;
            case Any::Kind::real: return number(v.doubleValue());
            case Any::Kind::text: return string(v.string());
            case Any::Kind::list: return list(*v.asList(), depth);
            case Any::Kind::dictionary: return dictionary(*v.asDictionary(), depth);
            case Any::Kind::data:
            case Any::Kind::date:
            case Any::Kind::object: return false;
        }
        return false;
    }

    bool list(const Any::List& list, std::size_t depth) {
        if (depth >= kMaxDepth) return false;
        out += '[';
        if (list.empty()) {
            out += ']';
            return true;
        }
        bool first = true;
        for (const auto& element : list) {
            separator(first, depth + 1);
            if (!value(element, depth + 1)) return false;
        }
        newline(depth);
        out += ']';
        return true;
    }

    bool dictionary(const Any::Dictionary& dictionary, std::size_t depth) {
        if (depth >= kMaxDepth) return false;
        out += '{';
        if (dictionary.empty()) {
            out += '}';
            return true;
        }
        bool first = true;
        for (const auto& [key, element] : dictionary) {
            separator(first, depth + 1);
            if (!string(key)) return false;
            out += options_.prettyPrinted ? " : " : ":";
            if (!value(element, depth + 1)) return false;
        }
        newline(depth);
        out += '}';
        return true;
    }

private:
    void newline(std::size_t depth) {
        if (!options_.prettyPrinted) return;
        out += '\n';
        out.append(depth * 2, ' ');
    }
    void separator(bool& first, std::size_t depth) {
        if (!first) out += ',';
        first = false;
        newline(depth);
    }
    void integer(std::int64_t i) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, i);
        out.append(buffer, result.ptr);
    }
    // The shortest text that reads back as the same double (integral values without ".0").
    bool number(double d) {
        if (!std::isfinite(d)) return false;
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
        out.append(buffer, result.ptr);
        return true;
    }
    // RFC 8259 7: quotation mark, reverse solidus and control characters must be escaped;
    // the platform escapes the solidus too. Runs that need no escape are copied whole; text
    // with bytes beyond ASCII must be valid UTF-8.
    bool string(std::string_view text) {
        static constexpr char hex[] = "0123456789abcdef";
        out += '"';
        std::size_t run = 0;
        bool beyondAscii = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            beyondAscii |= c >= 0x80;
            const bool escaped = c < 0x20 || c == '"' || c == '\\' || (c == '/' && !options_.withoutEscapingSlashes);
            if (!escaped) continue;
            out.append(text.data() + run, i - run);
            run = i + 1;
            switch (c) {
                case '"': out += "\\\""; break;
                case '\\': out += "\\\\"; break;
                case '/': out += "\\/"; break;
                case '\b': out += "\\b"; break;
                case '\f': out += "\\f"; break;
                case '\n': out += "\\n"; break;
                case '\r': out += "\\r"; break;
                case '\t': out += "\\t"; break;
                default:
                    out += "\\u00";
                    out += hex[c >> 4];
                    out += hex[c & 0xF];
            }
        }
        if (beyondAscii && !isValidUtf8(text)) return false;
        out.append(text.data() + run, text.size() - run);
        out += '"';
        return true;
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
    Writer writer(options);
    if (!writer.value(value, 0)) return std::nullopt;
    return std::move(writer.out);
}

std::optional<std::string> JSONSerialization::data(const Any::List& list, WritingOptions options) {
    Writer writer(options);
    if (!writer.list(list, 0)) return std::nullopt;
    return std::move(writer.out);
}

std::optional<std::string> JSONSerialization::data(const Any::Dictionary& dictionary, WritingOptions options) {
    Writer writer(options);
    if (!writer.dictionary(dictionary, 0)) return std::nullopt;
    return std::move(writer.out);
}

bool JSONSerialization::isValidJSONObject(const Any& value) {
    return (value.isList() || value.isDictionary()) && isValidElement(value, 0);
}

}  // namespace platform
