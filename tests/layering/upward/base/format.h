// A lower layer that reaches up: the check must refuse it.
#pragma once

#include "flat/walk.h"
