#include <QVPlatform/foundation/HTMLImporter.h>

#include <QVPlatform/foundation/detail/LibxmlInit.h>

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <climits>
#include <cstring>
#include <memory>
#include <mutex>

namespace platform {

namespace {

bool isBlock(const char* name) {
    static constexpr const char* blocks[] = {"p", "div", "li", "h1", "h2", "h3", "h4", "h5", "h6", "tr", "table",
                                             "blockquote", "pre", "ul", "ol", "dl", "dt", "dd", "section", "article",
                                             "header", "footer", "hr", "address", "figure", "form"};
    for (const char* b : blocks) {
        if (std::strcmp(name, b) == 0) return true;
    }
    return false;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

struct Collector {
    std::string out;
    void endLine() {
        while (!out.empty() && out.back() == ' ') out.pop_back();
        if (!out.empty() && out.back() != '\n') out.push_back('\n');
    }
    void text(const char* content, bool preformatted) {
        if (!content) return;
        if (preformatted) {
            out += content;
            return;
        }
        for (const char* p = content; *p; ++p) {
            if (isBlank(*p)) {
                if (!out.empty() && out.back() != ' ' && out.back() != '\n') out.push_back(' ');
            } else {
                out.push_back(*p);
            }
        }
    }
    void walk(xmlNode* node, bool preformatted) {
        for (; node; node = node->next) {
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                text(reinterpret_cast<const char*>(node->content), preformatted);
            } else if (node->type == XML_ELEMENT_NODE) {
                const char* name = reinterpret_cast<const char*>(node->name);
                if (!std::strcmp(name, "head") || !std::strcmp(name, "script") || !std::strcmp(name, "style") ||
                    !std::strcmp(name, "title")) {
                    continue;
                }
                if (!std::strcmp(name, "br")) {
                    out.push_back('\n');
                    continue;
                }
                const bool block = isBlock(name);
                if (block) endLine();
                walk(node->children, preformatted || !std::strcmp(name, "pre"));
                if (block) endLine();
            }
        }
    }
};

struct DocumentDeleter {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};

}  // namespace

std::optional<std::string> plainTextOfHTML(std::string_view html) {
    if (html.empty()) return std::string();
    if (html.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    detail::initializeLibxml();
    std::unique_ptr<xmlDoc, DocumentDeleter> doc(
        htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
                       HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET));
    if (!doc) return std::nullopt;
    Collector c;
    c.walk(xmlDocGetRootElement(doc.get()), false);
    while (!c.out.empty() && (c.out.back() == '\n' || c.out.back() == ' ')) c.out.pop_back();
    return c.out;
}

}  // namespace platform
