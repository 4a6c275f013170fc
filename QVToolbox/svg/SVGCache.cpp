#include <QVToolbox/svg/SVGCache.h>

#include <QVPlatform/crypto/CommonDigest.h>


namespace QVToolbox {

SVGContentKey contentKey(const platform::Data& data) {
    SVGContentKey content;
    platform::digest(platform::DigestAlgorithm::sha256, data.bytes(), data.count(), content.digest.data());
    std::uint64_t hash = 0;
    for (int i = 0; i < 8; ++i) hash = (hash << 8) | content.digest[static_cast<std::size_t>(i)];
    content.key = std::to_string(hash) + "-" + std::to_string(data.count());
    return content;
}

std::string cacheKey(const platform::Data& data) { return contentKey(data).key; }

SVGCache& SVGCache::default_() {
    static SVGCache* shared = new SVGCache();  // lives as long as the program; never destroyed
    return *shared;
}

std::shared_ptr<SVGLayer> SVGCache::operator[](const std::string& key) {
    auto entry = memoryCache.objectForKey(key);
    return entry ? entry->layer : nullptr;
}

void SVGCache::set(const std::string& key, std::shared_ptr<SVGLayer> layer) {
    if (!layer) return;
    memoryCache.setObject(Entry{std::move(layer), std::nullopt}, key);
}

void SVGCache::removeObject(const std::string& key) { memoryCache.removeObjectForKey(key); }

std::shared_ptr<SVGLayer> SVGCache::layerFor(const SVGContentKey& content) {
    auto entry = memoryCache.objectForKey(content.key);
    if (!entry || !entry->digest || *entry->digest != content.digest) return nullptr;
    return entry->layer;
}

void SVGCache::store(const SVGContentKey& content, std::shared_ptr<SVGLayer> layer) {
    if (!layer) return;
    memoryCache.setObject(Entry{std::move(layer), content.digest}, content.key);
}

}  // namespace QVToolbox
