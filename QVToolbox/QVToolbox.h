// QVToolbox: the umbrella header. Include it to use any helper member:
//
//   #include <QVToolbox/QVToolbox.h>
//   using namespace QVToolbox;
//   hx(std::string("abc")).md5Encrypt(HxPOP<std::string>::MD5EncryptType::lowercase32);
//
// It brings in every component and then defines the wrappers `HxPOP` and `QV` once, composing
// every member set, so that all code sees one definition of each wrapper. A new component
// adds its header and one line to a wrapper's list below.
// It also brings in what a host needs to pump the main run loop (platform::RunLoop) and to
// drive time (platform::Clock, platform::ManualClock).
#pragma once

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <QVToolbox/core/HxPOP.h>

#include <QVToolbox/core/Associated.h>
#include <QVToolbox/core/AsyncsMembers.h>
#include <QVToolbox/core/ClockTextMembers.h>
#include <QVToolbox/core/GlobalTools.h>
#include <QVToolbox/core/Log.h>
#include <QVToolbox/core/ResourceLookup.h>
#include <QVToolbox/core/Screen.h>
#include <QVToolbox/core/Stack.h>
#include <QVToolbox/core/Unown.h>

#include <QVToolbox/FoundationExtension/text/DecimalTextMembers.h>
#include <QVToolbox/FoundationExtension/text/DigestMembers.h>
#include <QVToolbox/FoundationExtension/text/EncodingMembers.h>
#include <QVToolbox/FoundationExtension/text/NumberTextMembers.h>
#include <QVToolbox/FoundationExtension/text/RegexHelperMembers.h>
#include <QVToolbox/FoundationExtension/text/TextEditingMembers.h>
#include <QVToolbox/FoundationExtension/text/TextSearchMembers.h>
#include <QVToolbox/FoundationExtension/text/ValidationMembers.h>
#include <QVToolbox/FoundationExtension/text/VersionMembers.h>

#include <QVToolbox/FoundationExtension/data/CollectionHelpers.h>
#include <QVToolbox/FoundationExtension/data/DateMembers.h>
#include <QVToolbox/FoundationExtension/data/FileMembers.h>
#include <QVToolbox/FoundationExtension/data/JSONMembers.h>
#include <QVToolbox/FoundationExtension/data/VideoMembers.h>
#include <QVToolbox/FoundationExtension/data/WeakHolders.h>

#include <QVToolbox/UIKitExtension/ColorHelpers.h>
#include <QVToolbox/UIKitExtension/DarkModeUtil.h>
#include <QVToolbox/UIKitExtension/ImageCompressionMembers.h>
#include <QVToolbox/UIKitExtension/ScrollViewMembers.h>
#include <QVToolbox/UIKitExtension/ThemeProvider.h>
#include <QVToolbox/UIKitExtension/UserDefaultsWriterMembers.h>

#include <QVToolbox/gif/AnimatedFrame.h>
#include <QVToolbox/gif/FrameDelay.h>
#include <QVToolbox/gif/FrameStore.h>
#include <QVToolbox/gif/GIFImageMembers.h>

#include <QVToolbox/keychain/Keychain.h>

#include <QVToolbox/timing/Timing.h>

#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGColor.h>
#include <QVToolbox/svg/SVGLayer.h>
#include <QVToolbox/svg/SVGPath.h>

#include <QVToolbox/SmallTools/HxWaterFallLayout.h>

#include <utility>

namespace QVToolbox {

template <class Base>
struct HxPOP : HxPOPStorage<Base>,
               MemberSets<HxPOP<Base>, Base,
                          AsyncsMembers,
                          NumberTextMembers,
                          DecimalTextMembers,
                          DigestMembers,
                          EncodingMembers,
                          ValidationMembers,
                          RegexHelperMembers,
                          TextEditingMembers,
                          TextSearchMembers,
                          VersionMembers,
                          FileMembers,
                          VideoMembers,
                          DateMembers,
                          JSONMembers,
                          ImageCompressionMembers,
                          UserDefaultsWriterMembers,
                          GIFImageMembers> {};

template <class Base>
struct QV : MemberSets<QV<Base>, Base,
                       ClockTextMembers,
                       ResourceLookupMembers,
                       ScrollViewMembers> {
    Stored<Base> object;
    QV(Stored<Base> value) : object(std::move(value)) {}  // NOLINT: QV(object)
};

}  // namespace QVToolbox
