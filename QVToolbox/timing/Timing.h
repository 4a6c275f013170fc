// The timing utilities: Repeater (once / finite / infinite timer with observers),
// QVThrottler and QVDebouncer (rate limiters for bursts of calls) and HxWeakTimer (a timer
// that holds its target weakly). They attach no members to the hx/qv wrappers.
#pragma once

#include <QVToolbox/timing/Repeater.h>
#include <QVToolbox/timing/Throttler.h>
#include <QVToolbox/timing/WeakTimer.h>
