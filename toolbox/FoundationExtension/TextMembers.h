// The text utilities' member sets: numbers, digests and ciphers, validation, trimming.
// Each algorithm is a plain function in its own header; the sets here forward to them.
#pragma once

#include <QVToolbox/core/HxPOP.h>
