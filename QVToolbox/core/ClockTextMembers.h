// toClock as a member of qv(double):
//
//   qv(3725.0).toClock(false);   // "01:02:05"
//
// ClockText.h holds the contract.
#pragma once

#include <QVToolbox/core/ClockText.h>
#include <QVToolbox/core/HxPOP.h>

#include <string>

namespace QVToolbox {

template <class W, class Base>
struct ClockTextMembers {};

template <class W>
struct ClockTextMembers<W, double> {
    std::string toClock(bool ignoreZeroHour) const {
        return QVToolbox::toClock(static_cast<const W&>(*this).object, ignoreZeroHour);
    }
};

}  // namespace QVToolbox
