// LinkDetector: finds links in free text, as the platform's data detector for links does:
// scheme URLs ("https://a.b/c", "ftp://h"), "www." host names, and e-mail addresses.
//
//   detectLinks("see www.qv.cn, or mail a@b.cn")  // {"www.qv.cn" → http://www.qv.cn,
//                                                 //  "a@b.cn" → mailto:a@b.cn}
//
// A trailing sentence mark (. , ; : ! ? and quotes, or a closing bracket without its opening
// one) is not part of a link. Ranges count UTF-16 units. Thread rule: pure function.
#pragma once

#include <QVPlatform/base/NSRange.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DetectedLink {
    NSRange range;     // in the searched text
    std::string text;  // the link as written
    std::string url;   // the URL it stands for (scheme added for www. hosts and addresses)
};

std::vector<DetectedLink> detectLinks(std::string_view text);

}  // namespace platform
