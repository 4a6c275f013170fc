// NSXMLParser: an event-driven XML reader (libxml2's SAX interface) with a delegate.
//
//   struct Names : NSXMLParserDelegate {
//       void didStartElement(NSXMLParser&, const std::string& name, const NSXMLAttributes&) override { ... }
//   };
//   NSXMLParser reader(Data::fromString("<svg:svg a='1'/>")); Names names; reader.setDelegate(&names);
//   reader.parse();   // true; didStartElement("svg:svg", {a: "1"}), then didEndElement, didEndDocument
//
// Element and attribute names arrive as written ("svg:path" stays whole: namespaces are not
// processed). Attribute values are normalised as XML 1.0 3.3.3 says, with character and
// internal entity references replaced. The reader never touches the network, loads no DTD
// and no external entity (a document that declares one fails), and keeps libxml2's limits on
// depth, name length and entity expansion (an entity bomb is a fatal error). After a fatal
// error no further callback arrives (no end of document); `parse` answers false and
// `parserError` says what happened. Thread rule: one parser is used by one thread; the
// delegate's callbacks run on the thread that calls `parse`, before it returns.
#pragma once

#include <QVPlatform/base/Data.h>

#include <map>
#include <optional>
#include <string>

namespace platform {

class NSXMLParser;

// Attribute name to normalised value; a name given twice is a fatal error.
using NSXMLAttributes = std::map<std::string, std::string, std::less<>>;

struct NSXMLParserError {
    int code = 0;     // libxml2's error number (xmlParserErrors)
    int line = 0;     // 1-based line of the document where the reader stopped
    int column = 0;   // 1-based column there
    std::string message;  // libxml2's text, without its line break
};

// Receives the reader's events; every method has an empty default.
class NSXMLParserDelegate {
public:
    virtual ~NSXMLParserDelegate() = default;
    virtual void didStartDocument(NSXMLParser&) {}
    virtual void didStartElement(NSXMLParser&, const std::string& /*elementName*/, const NSXMLAttributes&) {}
    virtual void didEndElement(NSXMLParser&, const std::string& /*elementName*/) {}
    virtual void foundCharacters(NSXMLParser&, std::string_view /*text*/) {}
    virtual void didEndDocument(NSXMLParser&) {}
    // The fatal error that ends the reading; no callback follows it.
    virtual void parseErrorOccurred(NSXMLParser&, const NSXMLParserError&) {}
};

class NSXMLParser {
public:
    explicit NSXMLParser(Data data) : data_(std::move(data)) {}
    NSXMLParser(const NSXMLParser&) = delete;
    NSXMLParser& operator=(const NSXMLParser&) = delete;
    virtual ~NSXMLParser() = default;

    // The delegate is borrowed; it must outlive `parse`.
    void setDelegate(NSXMLParserDelegate* delegate) { delegate_ = delegate; }
    NSXMLParserDelegate* delegate() const { return delegate_; }

    // Reads the whole document, calling the delegate. True when it was well formed; false
    // after a fatal error (or when called a second time while running).
    bool parse();
    // Stops the reading from inside a callback: no further callback; `parse` answers false.
    void abortParsing();

    // The fatal error of the last `parse`, if any.
    const std::optional<NSXMLParserError>& parserError() const { return error_; }

private:
    friend struct NSXMLParserEvents;
    Data data_;
    NSXMLParserDelegate* delegate_ = nullptr;
    std::optional<NSXMLParserError> error_;
    void* context_ = nullptr;  // libxml2's parser context while parse runs
    bool stopped_ = false;     // a fatal error or abortParsing: deliver nothing more
    bool running_ = false;
};

}  // namespace platform
