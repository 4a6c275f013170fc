#include <QVPlatform/foundation/NSXMLParser.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;

namespace {

// Writes every event as one line: "start NAME k=v ...", "end NAME", "done", "error".
struct Recorder : NSXMLParserDelegate {
    std::vector<std::string> events;
    void didStartElement(NSXMLParser&, const std::string& name, const NSXMLAttributes& attributes) override {
        std::string line = "start " + name;
        for (const auto& [k, v] : attributes) line += " " + k + "=" + v;
        events.push_back(line);
    }
    void didEndElement(NSXMLParser&, const std::string& name) override { events.push_back("end " + name); }
    void didEndDocument(NSXMLParser&) override { events.push_back("done"); }
    void parseErrorOccurred(NSXMLParser&, const NSXMLParserError&) override { events.push_back("error"); }
};

struct Outcome {
    bool ok;
    std::vector<std::string> events;
    std::optional<NSXMLParserError> error;
};

Outcome read(const std::string& text) {
    NSXMLParser parser(Data::fromString(text));
    Recorder recorder;
    parser.setDelegate(&recorder);
    const bool ok = parser.parse();
    return {ok, recorder.events, parser.parserError()};
}

}  // namespace

TEST(NSXMLParserTest, NamesStayAsWrittenAndValuesAreNormalised) {
    const auto out = read("<?xml version='1.0'?>\n<svg:svg xmlns:svg='u' w='1'>"
                          "<svg:path d='M0\t0\nL1 1' e='a&amp;b&#x41;'/><g/></svg:svg>");
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.events, (std::vector<std::string>{"start svg:svg w=1 xmlns:svg=u",
                                                    "start svg:path d=M0 0 L1 1 e=a&bA", "end svg:path",
                                                    "start g", "end g", "end svg:svg", "done"}));
}

TEST(NSXMLParserTest, InternalEntitiesAreReplacedInValues) {
    const auto out = read("<!DOCTYPE svg [<!ENTITY c \"#f00\">]><svg fill='&c;'/>");
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.events.front(), "start svg fill=#f00");
}

TEST(NSXMLParserTest, AFatalErrorStopsEveryCallbackAndIsReported) {
    // Truncated: the open elements are reported, then the error, and no end of document.
    const auto truncated = read("<svg><g><path d='M0 0'/>");
    EXPECT_FALSE(truncated.ok);
    EXPECT_EQ(truncated.events, (std::vector<std::string>{"start svg", "start g", "start path d=M0 0", "end path", "error"}));
    ASSERT_TRUE(truncated.error);
    EXPECT_FALSE(truncated.error->message.empty());
    EXPECT_GT(truncated.error->line, 0);

    // Mismatched end tag, then more well-formed content that must not be delivered.
    const auto mismatched = read("<a><b></a><c/>");
    EXPECT_FALSE(mismatched.ok);
    EXPECT_EQ(mismatched.events.back(), "error");

    // A duplicate attribute, an empty document.
    EXPECT_FALSE(read("<a x='1' x='2'/>").ok);
    EXPECT_FALSE(read("").ok);
}

TEST(NSXMLParserTest, HostileDocumentsFailWithoutReachingOutside) {
    // External entities (a local file) and an external DTD are never read.
    const auto file = read("<!DOCTYPE a [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><a v='&x;'>&x;</a>");
    EXPECT_FALSE(file.ok);
    for (const auto& e : file.events) EXPECT_EQ(e.find("root:"), std::string::npos);
    const auto dtd = read("<!DOCTYPE a SYSTEM \"http://127.0.0.1:1/x.dtd\"><a/>");
    EXPECT_TRUE(dtd.ok);  // the DTD is not fetched; the document itself is fine

    // The billion laughs: libxml2's expansion limit stops it.
    std::string bomb = "<!DOCTYPE a [<!ENTITY l0 \"hahahahahahahahahaha\">";
    for (int i = 1; i <= 10; ++i) {
        bomb += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) bomb += "&l" + std::to_string(i - 1) + ";";
        bomb += "\">";
    }
    bomb += "]><a v='&l10;'/>";
    const auto laughs = read(bomb);
    EXPECT_FALSE(laughs.ok);
    EXPECT_TRUE(laughs.events.empty() || laughs.events.back() == "error");

    // Too deep: libxml2's depth limit, without XML_PARSE_HUGE.
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<g>";
    EXPECT_FALSE(read(deep).ok);
}

TEST(NSXMLParserTest, AbortFromACallbackEndsTheReading) {
    struct Aborter : Recorder {
        void didStartElement(NSXMLParser& p, const std::string& name, const NSXMLAttributes& a) override {
            Recorder::didStartElement(p, name, a);
            if (name == "b") p.abortParsing();
        }
    };
    NSXMLParser parser(Data::fromString("<a><b/><c/></a>"));
    Aborter aborter;
    parser.setDelegate(&aborter);
    EXPECT_FALSE(parser.parse());
    EXPECT_EQ(aborter.events, (std::vector<std::string>{"start a", "start b"}));
    ASSERT_TRUE(parser.parserError());
}
