// Whole SVG documents through NSXMLSVGParser: no crash, hang or sanitizer report; a document
// the reader accepts completes exactly once, one it refuses never completes, and no path job
// is left counted.
#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGLayer.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace QVToolbox;
    static const bool manual = (platform::ManualClock::start(), true);
    (void)manual;
    auto completions = std::make_shared<int>(0);
    auto parser = NSXMLSVGParser::make(platform::Data(data, size), SVGParserSupportedElements::allSupportedElements(),
                                       [completions](std::shared_ptr<SVGLayer> layer) {
                                           ++*completions;
                                           (void)layer->boundingBox();
                                       });
    const bool ok = parser->startParsing();
    platform::ManualClock::drain();
    platform::RunLoop::main().runUntilIdle();
    if (*completions != (ok ? 1 : 0)) __builtin_trap();
    if (parser->asyncParseCount() != 0) __builtin_trap();
    return 0;
}
