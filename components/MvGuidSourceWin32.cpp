// New GUIDs from ole32's CoCreateGuid.
#include "components/MvFragments.h"
#include "components/MvGuidSource.h"

#include <objbase.h>

bool MvPlatformNewGuid(TMvGUID& Guid) {
    GUID G{};
    if (FAILED(CoCreateGuid(&G))) return false;
    Guid = ToMvGUID(G);
    return true;
}
