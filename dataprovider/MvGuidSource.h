// The platform's maker of new GUIDs, the default source of data item IDs.
#pragma once

#include "controls/MvGuid.h"

// CoCreateGuid on Windows; the system's random numbers elsewhere. False on failure.
bool MvPlatformNewGuid(TMvGUID& Guid);
