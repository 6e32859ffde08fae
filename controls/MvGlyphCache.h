// Image lists that hold the prepared state images of button glyphs, shared by all
// buttons whose glyphs have the same size, and the process-wide cache of them.
#pragma once

#include "gui/Graphics.h"

#include <commctrl.h>

#include <memory>
#include <vector>

// An image list whose slots are handed out and given back; a freed slot is reused
// by the next image so that the indexes of the others stay as they are.
class TMvGlyphList {
public:
    TMvGlyphList(int Width, int Height);
    ~TMvGlyphList();
    TMvGlyphList(const TMvGlyphList&) = delete;
    TMvGlyphList& operator=(const TMvGlyphList&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    HIMAGELIST Handle() const { return FHandle; }
    // Stores Image (of the list's size) with MaskColor as its transparent colour in
    // the first free slot; returns the slot.
    int AddMasked(TBitmap& Image, TColor MaskColor);
    void Delete(int Index);
    int Count() const { return FCount; }
    void Draw(HDC DC, int X, int Y, int Index) const;

private:
    HIMAGELIST FHandle = nullptr;
    int FWidth, FHeight;
    std::vector<bool> FUsed;
    int FCount = 0;
};

class TMvGlyphCache {
public:
    // A list of that size, the newest first; a new one when there is none.
    TMvGlyphList* GetList(int Width, int Height);
    // Frees List when none of its slots is used any more.
    void ReturnList(TMvGlyphList* List);
    bool Empty() const { return FLists.empty(); }
    int ListCount() const { return static_cast<int>(FLists.size()); }

private:
    std::vector<std::unique_ptr<TMvGlyphList>> FLists;
};

// The process-wide cache: made on first need, freed by ReleaseGlyphCacheIfEmpty.
TMvGlyphCache& GlyphCache();
bool GlyphCacheExists();
void ReleaseGlyphCacheIfEmpty();
