// SVGCache: finished drawings kept in memory, keyed by the bytes they were parsed from.
//
//   const auto content = contentKey(data);                    // key "8213…-1432" and the SHA-256
//   SVGCache::default_().store(content, layer->svgLayerCopy());
//   SVGCache::default_().layerFor(content);                   // that copy; a digest mismatch is none
//   SVGCache::default_()[content.key];                        // the entry by key alone
//
// `default_()` (the keyword `default` takes a trailing underscore) is the one shared cache,
// made on first use. Entries live in a platform NSCache with no limits set. Each entry keeps
// the SHA-256 of the document it came from: `layerFor` serves it only to the same bytes, so
// two documents whose keys collide never receive each other's drawing. Entries set by key
// alone (the subscript) carry no digest and are served by key alone, never to `layerFor`.
// The cache hands out the stored layer itself; callers that attach it make a copy first
// (`svgLayerCopy`), as the constructors in SVGConstructors.h do on every hit.
// Thread rule: every member may be called from any thread.
#pragma once

#include <QVToolbox/svg/SVGLayer.h>

#include <QVPlatform/base/Data.h>
#include <QVPlatform/foundation/NSCache.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace QVToolbox {

using SVGDigest = std::array<std::uint8_t, 32>;

// The cache key of a byte buffer and the digest that confirms it.
struct SVGContentKey {
    std::string key;     // decimal hash, "-", decimal byte count: "123-4"
    SVGDigest digest{};  // SHA-256 of the bytes
};

// `cacheKey`: the hash is the first 64 bits of the bytes' SHA-256 (stable across runs).
SVGContentKey contentKey(const platform::Data& data);
std::string cacheKey(const platform::Data& data);

class SVGCache {
public:
    static SVGCache& default_();

    SVGCache() = default;
    SVGCache(const SVGCache&) = delete;
    SVGCache& operator=(const SVGCache&) = delete;

    // Subscript get: the layer stored under `key`, or null.
    std::shared_ptr<SVGLayer> operator[](const std::string& key);
    // Subscript set: stores `layer` under `key` without a digest; null does nothing (it does
    // not remove).
    void set(const std::string& key, std::shared_ptr<SVGLayer> layer);
    void removeObject(const std::string& key);

    // The layer stored for exactly these bytes: none when the key is absent, was set without a
    // digest, or belongs to other bytes.
    std::shared_ptr<SVGLayer> layerFor(const SVGContentKey& content);
    // Stores `layer` under the content's key with its digest; null does nothing.
    void store(const SVGContentKey& content, std::shared_ptr<SVGLayer> layer);

private:
    struct Entry {
        std::shared_ptr<SVGLayer> layer;
        std::optional<SVGDigest> digest;
    };
    platform::NSCache<std::string, Entry> memoryCache;
};

}  // namespace QVToolbox
