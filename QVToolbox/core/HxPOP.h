// HxPOP and QV: the namespace wrappers through which every helper member is reached.
//
//   hx(text).md5Encrypt(MD5EncryptType::lowercase32);   // instance members: hx(value)
//   hx(date).isToday();
//   HxPOP<platform::Date>::currentDate();               // static members: the wrapper type
//   qv(3725.0).toClock(false);                          // "01:02:05"
//
// `HxPOP<Base>` holds one field, `base` (a copy of a value, or a shared pointer to a platform
// object); `QV<Base>` holds `object`. Neither has behaviour of its own: member sets are mixins
// that each component declares beside itself (DigestMembers.h next to Digest.h) for the bases
// it serves. The wrappers are defined once, in the umbrella header <QVToolbox/QVToolbox.h>,
// which composes every set with `MemberSets`, so every translation unit that uses a wrapper
// sees the same definition: include the umbrella to call members.
//
// Bases: a value type is held by value; a platform object type T (derived from
// platform::NSObject) is held as std::shared_ptr<T>, and hx(ptr) gives HxPOP<T>. The string
// family (std::string and platform::NSString) shares the members of `StringFamily`.
#pragma once

#include <QVPlatform/base/NSString.h>
#include <QVPlatform/runtime/NSObject.h>

#include <concepts>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace QVToolbox {

// The tag under which members of every text-like base are declared.
struct StringFamily {};

template <class Base>
struct FamilyOf {
    using type = Base;
};
template <>
struct FamilyOf<std::string> {
    using type = StringFamily;
};
template <>
struct FamilyOf<platform::NSString> {
    using type = StringFamily;
};
template <class Base>
using FamilyOfT = typename FamilyOf<Base>::type;

// How a wrapper stores its base: platform objects (and other types that cannot be copied,
// such as queues) by shared pointer, values by value.
template <class Base>
using Stored = std::conditional_t<std::is_base_of_v<platform::NSObject, Base> || !std::is_copy_constructible_v<Base>,
                                  std::shared_ptr<Base>, Base>;

template <class T>
struct IsSharedPtr : std::false_type {};
template <class T>
struct IsSharedPtr<std::shared_ptr<T>> : std::true_type {};

// The text of a string-family base.
inline std::string_view textOf(const std::string& s) { return s; }
inline std::string_view textOf(const platform::NSString& s) { return s.string(); }

template <class Base>
struct HxPOPStorage {
    const Stored<Base> base;
};

// A member set is a class template `template <class W, class Base> struct NameMembers`,
// declared beside the component whose functions it forwards to: empty in general and
// specialised for the bases it serves (an exact type, StringFamily, or a constrained family
// such as the integers). A member reaches the value through `static_cast<const W&>(*this).base`
// (`.object` for QV). The umbrella header lists every set once in the wrappers' definitions.

// The sets `Sets` for one base: each set's members for the base itself and, when the base
// belongs to a family (std::string and NSString to StringFamily), for the family too.
namespace detail {
template <template <class, class> class Set, class W, class Base>
struct FamilyMembers : Set<W, FamilyOfT<Base>> {};
template <template <class, class> class Set, class W, class Base>
    requires std::same_as<FamilyOfT<Base>, Base>
struct FamilyMembers<Set, W, Base> {};

template <template <class, class> class Set, class W, class Base>
struct MembersFor : Set<W, Base>, FamilyMembers<Set, W, Base> {};
}  // namespace detail

template <class W, class Base, template <class, class> class... Sets>
struct MemberSets : detail::MembersFor<Sets, W, Base>... {};

template <class Base> struct HxPOP;  // defined in <QVToolbox/QVToolbox.h>
template <class Base> struct QV;     // defined in <QVToolbox/QVToolbox.h>

// The types that adopt HxPOPCompatible / QVCompatible.
template <class T>
concept HxPOPCompatible = (std::is_arithmetic_v<T> || std::is_class_v<T>) && !IsSharedPtr<T>::value;

template <class T>
    requires HxPOPCompatible<std::remove_cvref_t<T>>
auto hx(T&& value) {
    using Base = std::remove_cvref_t<T>;
    return HxPOP<Base>{{std::forward<T>(value)}};
}
template <class T>
auto hx(const std::shared_ptr<T>& object) {
    return HxPOP<T>{{object}};
}
// A string literal is a native string.
template <class Text = std::string>
auto hx(const char* text) {
    return HxPOP<Text>{{Text(text ? text : "")}};
}

template <class T>
    requires HxPOPCompatible<std::remove_cvref_t<T>>
auto qv(T&& value) {
    using Base = std::remove_cvref_t<T>;
    return QV<Base>{std::forward<T>(value)};
}
template <class T>
auto qv(const std::shared_ptr<T>& object) {
    return QV<T>{object};
}

}  // namespace QVToolbox
