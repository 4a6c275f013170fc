// The strict identity-card check on any bytes: a number that passes is 15 or 18 ASCII
// characters and passes the loose check too.
#include <QVToolbox/QVToolbox.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto t = QVToolbox::hx(text);
    if (t.isValidIDCardNumStrict() && ((text.size() != 15 && text.size() != 18) || !t.isValidIDCardNumber())) std::abort();
    return 0;
}
