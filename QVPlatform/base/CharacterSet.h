// CharacterSet: a set of ASCII characters, as the percent-encoding helpers use it.
//
//   auto allowed = CharacterSet::urlQueryAllowed();
//   allowed.contains('?');                                   // true
//   addingPercentEncoding("a b&c", CharacterSet::alphanumerics());   // "a%20b%26c"
//
// The URL sets are the platform's: RFC 3986 unreserved characters (2.3) and sub-delims
// (2.2) plus the characters each component allows. Only ASCII is represented: characters
// beyond ASCII are never members, so percent-encoding always encodes them (as UTF-8 bytes),
// which is what the URL sets mean on the platform too. A constexpr value type.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

class CharacterSet {
public:
    constexpr CharacterSet() = default;
    constexpr explicit CharacterSet(std::string_view members) { insert(members); }

    constexpr bool contains(char32_t c) const { return c < 128 && ((bits_[c / 64] >> (c % 64)) & 1u) != 0; }

    constexpr CharacterSet& insert(std::string_view members) {
        for (char c : members) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 128) bits_[u / 64] |= std::uint64_t{1} << (u % 64);
        }
        return *this;
    }
    constexpr CharacterSet& remove(std::string_view members) {
        for (char c : members) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 128) bits_[u / 64] &= ~(std::uint64_t{1} << (u % 64));
        }
        return *this;
    }
    constexpr CharacterSet unioned(const CharacterSet& other) const {
        CharacterSet result = *this;
        result.bits_[0] |= other.bits_[0];
        result.bits_[1] |= other.bits_[1];
        return result;
    }
    // The ASCII characters not in this set.
    constexpr CharacterSet inverted() const {
        CharacterSet result;
        result.bits_[0] = ~bits_[0];
        result.bits_[1] = ~bits_[1];
        return result;
    }

    // A-Z, a-z, 0-9.
    static constexpr CharacterSet alphanumerics() {
        return CharacterSet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    }
    // RFC 3986 2.3 unreserved plus 2.2 sub-delims, the base of every URL component set.
    static constexpr CharacterSet urlBase() { return alphanumerics().insert("-._~").insert("!$&'()*+,;="); }
    static constexpr CharacterSet urlUserAllowed() { return urlBase(); }
    static constexpr CharacterSet urlPasswordAllowed() { return urlBase(); }
    static constexpr CharacterSet urlHostAllowed() { return urlBase().insert(":[]"); }
    static constexpr CharacterSet urlPathAllowed() { return urlBase().insert(":@/"); }
    static constexpr CharacterSet urlQueryAllowed() { return urlBase().insert(":@/?"); }
    static constexpr CharacterSet urlFragmentAllowed() { return urlBase().insert(":@/?"); }

    friend constexpr bool operator==(const CharacterSet&, const CharacterSet&) = default;

private:
    std::uint64_t bits_[2] = {0, 0};
};

}  // namespace platform
