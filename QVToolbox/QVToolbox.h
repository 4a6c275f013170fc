// QVToolbox: the umbrella header. Include it to use any helper member:
//
//   #include <QVToolbox/QVToolbox.h>
//   using namespace QVToolbox;
//   hx(std::string("abc")).md5Encrypt(HxPOP<std::string>::MD5EncryptType::lowercase32);
//
// It gathers every subsystem's member sets and then defines the wrappers `HxPOP` and `QV`
// once, so that all code sees one definition of each wrapper. It also brings in what a host
// needs to pump the main run loop (platform::RunLoop) and to drive time (platform::Clock,
// platform::ManualClock).
#pragma once

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <QVToolbox/core/HxPOP.h>

#include <QVToolbox/core/CoreMembers.h>
#include <QVToolbox/core/Log.h>
#include <QVToolbox/core/Asyncs.h>
#include <QVToolbox/core/GlobalTools.h>
#include <QVToolbox/core/Screen.h>
#include <QVToolbox/core/ResourceLookup.h>
#include <QVToolbox/core/Associated.h>
#include <QVToolbox/core/Unown.h>
#include <QVToolbox/FoundationExtension/text/TextMembers.h>
#include <QVToolbox/FoundationExtension/data/DataMembers.h>
#include <QVToolbox/timing/Timing.h>

#include <utility>

namespace QVToolbox {

namespace detail {
// Adds a member set for the base's family when the family differs from the base (the native
// string gets both the string-family members and its own exact-type members).
template <template <class, class> class Set, class W, class Base>
struct FamilySet : Set<W, FamilyOfT<Base>> {};
template <template <class, class> class Set, class W, class Base>
    requires std::same_as<FamilyOfT<Base>, Base>
struct FamilySet<Set, W, Base> {};
}  // namespace detail

template <class Base>
struct HxPOP : HxPOPStorage<Base>,
               CoreMembers<HxPOP<Base>, Base>,
               detail::FamilySet<CoreMembers, HxPOP<Base>, Base>,
               TextMembers<HxPOP<Base>, Base>,
               detail::FamilySet<TextMembers, HxPOP<Base>, Base>,
               DataMembers<HxPOP<Base>, Base>,
               detail::FamilySet<DataMembers, HxPOP<Base>, Base>,
               TimingMembers<HxPOP<Base>, Base>,
               UIMembers<HxPOP<Base>, Base> {};

template <class Base>
struct QV : QVMembers<QV<Base>, Base> {
    Stored<Base> object;
    QV(Stored<Base> value) : object(std::move(value)) {}  // NOLINT: QV(object)
};

}  // namespace QVToolbox
