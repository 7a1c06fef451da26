#pragma once

// The serial ports 1..16 in three parts: which device a number means (portnumbers.h), whether
// something is there (portpresence.h), and the words shown to the user (portwords.h).

#include "portnumbers.h"
#include "portpresence.h"
#include "portwords.h"
