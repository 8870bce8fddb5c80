// The layer above.
#pragma once

#include "base/format.h"
