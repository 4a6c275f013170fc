#pragma once

#include <QVToolbox/core/HxPOP.h>
