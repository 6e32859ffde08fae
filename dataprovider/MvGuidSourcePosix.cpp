// New GUIDs from the system's random numbers (version 4, variant 1).
#include "dataprovider/MvGuidSource.h"

#include <random>

bool MvPlatformNewGuid(TMvGUID& Guid) {
    try {
        std::random_device Device;
        auto Next = [&Device] { return static_cast<uint32_t>(Device()); };
        Guid.D1 = Next();
        const uint32_t B = Next(), C = Next(), D = Next();
        Guid.D2 = static_cast<uint16_t>(B);
        Guid.D3 = static_cast<uint16_t>(((B >> 16) & 0x0FFF) | 0x4000);
        for (int i = 0; i < 4; ++i) {
            Guid.D4[static_cast<size_t>(i)] = static_cast<uint8_t>(C >> (8 * i));
            Guid.D4[static_cast<size_t>(4 + i)] = static_cast<uint8_t>(D >> (8 * i));
        }
        Guid.D4[0] = static_cast<uint8_t>((Guid.D4[0] & 0x3F) | 0x80);
        return true;
    } catch (...) {
        return false;
    }
}
