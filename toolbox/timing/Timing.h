// The timing utilities: Repeater, QVThrottler, QVDebouncer, HxWeakTimer.
#pragma once
