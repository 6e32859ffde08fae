// New GUIDs from ole32's CoCreateGuid.
#include "controls/MvFragments.h"
#include "dataprovider/MvGuidSource.h"

#include <objbase.h>

bool MvPlatformNewGuid(TMvGUID& Guid) {
    GUID G{};
    if (FAILED(CoCreateGuid(&G))) return false;
    Guid = ToMvGUID(G);
    return true;
}
