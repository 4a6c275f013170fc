// Fuzzes setValue(keys:newValue:) with random key paths over a random nested dictionary: the
// answer must match whether every level before the last is a dictionary, and a true answer
// must leave the new value at the path.
#include <QVToolbox/FoundationExtension/data/JSONHelpers.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string kKeys[] = {"a", "b", "c", ""};

// Builds a small nested dictionary from the input's bytes.
platform::Any::Dictionary build(const uint8_t*& p, const uint8_t* end, int depth) {
    platform::Any::Dictionary d;
    while (p < end && depth < 6) {
        const uint8_t op = *p++;
        const std::string& key = kKeys[op & 3];
        if ((op >> 2) % 4 == 0) d[key] = build(p, end, depth + 1);
        else if ((op >> 2) % 4 == 1) d[key] = static_cast<int>(op);
        else if ((op >> 2) % 4 == 2) d[key] = platform::Any::List{};
        else break;
    }
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const std::size_t pathLength = data[0] % 6;
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < pathLength && 1 + i < size; ++i) keys.push_back(kKeys[data[1 + i] & 3]);
    const uint8_t* p = data + 1 + std::min(pathLength, size - 1);
    platform::Any::Dictionary dictionary = build(p, data + size, 0);
    const platform::Any before(dictionary);

    // Expected answer: every key but the last names a dictionary.
    bool reachable = !keys.empty();
    const platform::Any* level = &before;
    for (std::size_t i = 0; reachable && i + 1 < keys.size(); ++i) {
        const auto* d = level->asDictionary();
        const auto it = d ? d->find(keys[i]) : decltype(d->end()){};
        if (!d || it == d->end() || !it->second.isDictionary()) reachable = false;
        else level = &it->second;
    }
    const bool answered = QVToolbox::setValue(dictionary, keys, "new");
    if (answered != reachable) std::abort();
    if (!answered && platform::Any(dictionary) != before) std::abort();  // untouched on false
    if (answered) {
        const platform::Any* at = nullptr;
        platform::Any after(dictionary);
        const platform::Any* cur = &after;
        for (const auto& k : keys) cur = at = &(*cur)[k];
        if (!at || at->string() != "new") std::abort();
    }
    return 0;
}
