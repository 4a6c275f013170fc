#include <QVPlatform/foundation/NSXMLParser.h>

#include <QVPlatform/foundation/detail/LibxmlInit.h>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <climits>
#include <memory>

namespace platform {

// libxml2's callbacks, turned into delegate calls. The context's _private holds the parser.
struct NSXMLParserEvents {
    static NSXMLParser& owner(void* context) {
        return *static_cast<NSXMLParser*>(static_cast<xmlParserCtxtPtr>(context)->_private);
    }
    static bool live(const NSXMLParser& parser) { return !parser.stopped_ && parser.delegate_ != nullptr; }

    static void startDocument(void* context) {
        xmlSAX2StartDocument(context);  // makes the document that holds the entity declarations
        NSXMLParser& parser = owner(context);
        if (live(parser)) parser.delegate_->didStartDocument(parser);
    }
    static void endDocument(void* context) {
        NSXMLParser& parser = owner(context);
        if (live(parser)) parser.delegate_->didEndDocument(parser);
    }
    static void startElement(void* context, const xmlChar* name, const xmlChar** pairs) {
        NSXMLParser& parser = owner(context);
        if (!live(parser)) return;
        NSXMLAttributes attributes;
        for (const xmlChar** p = pairs; p && p[0]; p += 2) {
            attributes.emplace(reinterpret_cast<const char*>(p[0]), p[1] ? reinterpret_cast<const char*>(p[1]) : "");
        }
        parser.delegate_->didStartElement(parser, reinterpret_cast<const char*>(name), attributes);
    }
    static void endElement(void* context, const xmlChar* name) {
        NSXMLParser& parser = owner(context);
        if (live(parser)) parser.delegate_->didEndElement(parser, reinterpret_cast<const char*>(name));
    }
    static void characters(void* context, const xmlChar* text, int length) {
        NSXMLParser& parser = owner(context);
        if (live(parser) && length > 0) {
            parser.delegate_->foundCharacters(
                parser, std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
        }
    }
    // Only internal entities are kept: an external one (a file or a URL) is never read, and a
    // document that declares one is refused, so no reference can reach outside the text.
    static void entityDecl(void* context, const xmlChar* name, int type, const xmlChar* publicId,
                           const xmlChar* systemId, xmlChar* content) {
        if (type == XML_INTERNAL_GENERAL_ENTITY || type == XML_INTERNAL_PARAMETER_ENTITY) {
            xmlSAX2EntityDecl(context, name, type, publicId, systemId, content);
            return;
        }
        fail(context, XML_ERR_EXT_ENTITY_STANDALONE, "external entities are not read");
    }
    static void unparsedEntityDecl(void* context, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*) {
        fail(context, XML_ERR_EXT_ENTITY_STANDALONE, "external entities are not read");
    }
    // libxml2 fills the context's lastError before it calls this.
    static void error(void* context, const char*, ...) {
        const xmlError* error = &static_cast<xmlParserCtxtPtr>(context)->lastError;
        if (error->level != XML_ERR_FATAL) return;
        NSXMLParser& parser = owner(context);
        std::string message = error->message ? error->message : "XML error";
        while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
        report(parser, {error->code, error->line, error->int2, std::move(message)});
    }
    static void fail(void* context, int code, const char* message) {
        auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
        report(owner(context), {code, xmlSAX2GetLineNumber(ctxt), xmlSAX2GetColumnNumber(ctxt), message});
        xmlStopParser(ctxt);
    }
    // The first fatal error is the one kept and told; everything after it is silent.
    static void report(NSXMLParser& parser, NSXMLParserError error) {
        if (parser.stopped_) return;
        parser.stopped_ = true;
        parser.error_ = std::move(error);
        if (parser.delegate_) parser.delegate_->parseErrorOccurred(parser, *parser.error_);
    }

    static xmlSAXHandler handler() {
        xmlSAXHandler sax{};
        xmlSAXVersion(&sax, 2);
        // Marked as a SAX1 handler: libxml2 then reads tags as written ("svg:path" whole)
        // and calls startElement; namespaces are not processed.
        sax.initialized = 1;
        sax.startDocument = startDocument;
        sax.endDocument = endDocument;
        sax.startElementNs = nullptr;
        sax.endElementNs = nullptr;
        sax.startElement = startElement;
        sax.endElement = endElement;
        sax.characters = characters;
        sax.cdataBlock = characters;
        sax.ignorableWhitespace = characters;
        sax.entityDecl = entityDecl;
        sax.unparsedEntityDecl = unparsedEntityDecl;
        sax.externalSubset = nullptr;
        sax.resolveEntity = nullptr;
        sax.reference = nullptr;
        sax.comment = nullptr;
        sax.processingInstruction = nullptr;
        sax.serror = nullptr;
        sax.error = error;
        sax.fatalError = error;
        sax.warning = nullptr;
        return sax;
    }
};

namespace {

struct ContextDeleter {
    void operator()(xmlParserCtxtPtr ctxt) const {
        if (ctxt->myDoc) xmlFreeDoc(ctxt->myDoc);
        ctxt->myDoc = nullptr;
        xmlFreeParserCtxt(ctxt);
    }
};

}  // namespace

bool NSXMLParser::parse() {
    detail::initializeLibxml();
    if (running_) return false;
    error_.reset();
    stopped_ = false;
    if (data_.count() > static_cast<std::size_t>(INT_MAX)) {
        NSXMLParserEvents::report(*this, {XML_ERR_NO_MEMORY, 0, 0, "document too large"});
        return false;
    }
    std::unique_ptr<xmlParserCtxt, ContextDeleter> ctxt(
        xmlCreateMemoryParserCtxt(reinterpret_cast<const char*>(data_.bytes()), static_cast<int>(data_.count())));
    if (!ctxt) {
        NSXMLParserEvents::report(*this, {XML_ERR_NO_MEMORY, 0, 0, "cannot start the XML reader"});
        return false;
    }
    // No network, internal entities replaced, never XML_PARSE_HUGE (its limits stay on).
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOCDATA);
    const xmlSAXHandler sax = NSXMLParserEvents::handler();
    *ctxt->sax = sax;
    ctxt->userData = ctxt.get();
    ctxt->_private = this;
    ctxt->loadsubset = 0;
    running_ = true;
    context_ = ctxt.get();
    xmlParseDocument(ctxt.get());
    context_ = nullptr;
    running_ = false;
    if (!stopped_ && !ctxt->wellFormed) {
        NSXMLParserEvents::report(*this, {ctxt->errNo, 0, 0, "the document is not well formed"});
    }
    return !stopped_;
}

void NSXMLParser::abortParsing() {
    if (!running_ || stopped_) return;
    stopped_ = true;
    error_ = NSXMLParserError{XML_ERR_USER_STOP, 0, 0, "parsing was aborted"};
    xmlStopParser(static_cast<xmlParserCtxtPtr>(context_));
}

}  // namespace platform
