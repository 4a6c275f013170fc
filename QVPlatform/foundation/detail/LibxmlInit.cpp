#include <QVPlatform/foundation/detail/LibxmlInit.h>

#include <libxml/parser.h>

#include <mutex>

namespace platform::detail {

void initializeLibxml() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

}  // namespace platform::detail
