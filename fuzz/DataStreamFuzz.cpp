// The data provider framework's stream reader on arbitrary text: it must read the stream or
// raise its own error, leave the list untouched on an error, and a stream it read must come
// out again the same when written and read once more.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dataprovider/MvDataProvider.h"

namespace {

// Fast, never repeating IDs: the reader makes an item before it reads the item's own ID.
bool CountingSource(TMvGUID& G) {
    static uint64_t Next = 0;
    ++Next;
    G = TMvGUID{};
    G.D1 = static_cast<uint32_t>(Next);
    G.D2 = static_cast<uint16_t>(Next >> 32);
    G.D3 = 0xF0F0;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TMvGuidSource Installed = SetMvGuidSource(CountingSource);
    (void)Installed;
    const std::string Text(reinterpret_cast<const char*>(data), size);
    TMvIntf<TMvDataItemsList> List = MvNew<TMvDataItemsList>();
    List->Append(TMvIntf<IMvDataItem>(static_cast<IMvDataItem*>(MvNew<TMvBaseDataItem>().Get())));
    const std::string Before = MvWriteItemList(*List);
    try {
        MvReadItemList(*List, Text);
    } catch (const Exception&) {
        if (MvWriteItemList(*List) != Before) std::abort();
        return 0;
    }
    const std::string Written = MvWriteItemList(*List);
    TMvIntf<TMvDataItemsList> Again = MvNew<TMvDataItemsList>();
    MvReadItemList(*Again, Written);
    if (MvWriteItemList(*Again) != Written) std::abort();
    return 0;
}
