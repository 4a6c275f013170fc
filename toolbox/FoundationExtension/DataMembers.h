// The member sets of the file, date and JSON helpers.
#pragma once

#include <QVToolbox/core/HxPOP.h>
