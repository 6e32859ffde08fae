// Shared glyph image lists.
#include "controls/MvGlyphCache.h"

#include "gui/GdiGuards.h"

#include <algorithm>

TMvGlyphList::TMvGlyphList(int Width, int Height) : FWidth(Width), FHeight(Height) {
    FHandle = ImageList_Create(std::max(Width, 1), std::max(Height, 1), ILC_COLOR24 | ILC_MASK, 4, 4);
}

TMvGlyphList::~TMvGlyphList() {
    if (FHandle) ImageList_Destroy(FHandle);
}

int TMvGlyphList::AddMasked(TBitmap& Image, TColor MaskColor) {
    // The mask: 1 where the image has the mask colour. The image itself gets black
    // there, as masked drawing expects.
    const int w = FWidth, h = FHeight;
    TMemoryDC maskDC, imageDC;
    TGdiObject<HBITMAP> mask(CreateBitmap(w, h, 1, 1, nullptr));
    TGdiObject<HBITMAP> image(CreateCompatibleBitmap(Image.Canvas().Handle(), w, h));
    {
        TSelectObject selMask(maskDC.Get(), mask.Get());
        TSelectObject selImage(imageDC.Get(), image.Get());
        HDC src = Image.Canvas().Handle();
        const COLORREF oldBack = SetBkColor(src, ColorToRGB(MaskColor));
        BitBlt(maskDC.Get(), 0, 0, w, h, src, 0, 0, SRCCOPY);
        SetBkColor(src, oldBack);
        BitBlt(imageDC.Get(), 0, 0, w, h, src, 0, 0, SRCCOPY);
        SetBkColor(imageDC.Get(), RGB(255, 255, 255));
        SetTextColor(imageDC.Get(), RGB(0, 0, 0));
        BitBlt(imageDC.Get(), 0, 0, w, h, maskDC.Get(), 0, 0, 0x00220326); // DSna: black where the mask is 1
    }
    auto slot = std::find(FUsed.begin(), FUsed.end(), false);
    int index;
    if (slot != FUsed.end()) {
        index = static_cast<int>(slot - FUsed.begin());
        ImageList_Replace(FHandle, index, image.Get(), mask.Get());
        *slot = true;
    } else {
        index = ImageList_Add(FHandle, image.Get(), mask.Get());
        if (index < 0) return -1;
        FUsed.resize(static_cast<size_t>(index) + 1, false);
        FUsed[static_cast<size_t>(index)] = true;
    }
    ++FCount;
    return index;
}

void TMvGlyphList::Delete(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FUsed.size()) || !FUsed[static_cast<size_t>(Index)]) return;
    FUsed[static_cast<size_t>(Index)] = false;
    --FCount;
}

void TMvGlyphList::Draw(HDC DC, int X, int Y, int Index) const {
    ImageList_Draw(FHandle, Index, DC, X, Y, ILD_NORMAL);
}

TMvGlyphList* TMvGlyphCache::GetList(int Width, int Height) {
    for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
        if ((*it)->Width() == Width && (*it)->Height() == Height) return it->get();
    FLists.push_back(std::make_unique<TMvGlyphList>(Width, Height));
    return FLists.back().get();
}

void TMvGlyphCache::ReturnList(TMvGlyphList* List) {
    if (!List || List->Count() > 0) return;
    FLists.erase(std::remove_if(FLists.begin(), FLists.end(),
                                [List](const std::unique_ptr<TMvGlyphList>& l) { return l.get() == List; }),
                 FLists.end());
}

namespace {

std::unique_ptr<TMvGlyphCache>& CacheSlot() {
    static std::unique_ptr<TMvGlyphCache> cache;
    return cache;
}

} // namespace

TMvGlyphCache& GlyphCache() {
    if (!CacheSlot()) CacheSlot() = std::make_unique<TMvGlyphCache>();
    return *CacheSlot();
}

bool GlyphCacheExists() {
    return CacheSlot() != nullptr;
}

void ReleaseGlyphCacheIfEmpty() {
    if (CacheSlot() && CacheSlot()->Empty()) CacheSlot().reset();
}
