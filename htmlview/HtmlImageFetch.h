// The picture fetch of documents (Win32): the process-wide cache first, then the application's
// image request handler, then the file. A fetched picture holds exactly one use of its cache
// entry and gives it back when it is freed; an animated GIF is a private copy sharing the
// cached strip, so every document image animates on its own.
//
// This header names the GUI classes only by declaration, so document code that cannot include
// the GUI headers can still hold pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "htmlview/HtmlImageCache.h"

class TBitmap;
class TGIFImage;
class TStream;

// One picture as a document holds it.
struct TFetchedPicture {
    TFetchedPicture();
    ~TFetchedPicture();
    TFetchedPicture(const TFetchedPicture&) = delete;
    TFetchedPicture& operator=(const TFetchedPicture&) = delete;

    int Width = 0;
    int Height = 0;
    TBitmap* Bitmap = nullptr;          // a still picture (owned by Entry)
    TBitmap* Mask = nullptr;            // its mask, or nullptr (owned by Entry)
    std::shared_ptr<TBitmapItem> Entry; // keeps them alive even if the cache lets the entry go
    std::unique_ptr<TGIFImage> Gif;     // an animated picture: this document's own copy
    TImageCacheUse Use;                 // the use of the cache entry this picture holds
};

class THtmlImageFetcher {
public:
    // The application's image request: a stream for the name as written in the document,
    // ImageLaterStream when the picture comes later, or nullptr. The stream stays the
    // application's; the fetcher only reads it.
    std::function<TStream*(const std::string& name)> OnImageRequest;

    // The picture for the name, or nullptr (the caller shows the error picture; with delayed set
    // it shows the pending one instead). transparent: 0 none, 1 asked for by TRANSP (a mask of
    // the bottom-left colour), 2 reported for GIFs with transparency.
    std::unique_ptr<TFetchedPicture> Fetch(const std::string& name, uint8_t& transparent, bool& delayed,
                                           bool& fromCache);

private:
    std::unique_ptr<TFetchedPicture> FromCache(const std::string& key, uint8_t& transparent);
};

// The animation of a fetched picture (nothing for a still one): starting or stopping it, the
// document timer's clock check (moves to the next frame when its time is up and invalidates where
// the picture was drawn in paintWindow), and the frame shown (1-based; 0 for a still picture).
void SetFetchedAnimate(TFetchedPicture& picture, bool animate);
void CheckFetchedTime(TFetchedPicture& picture, HWND paintWindow);
int FetchedCurrentFrame(const TFetchedPicture& picture);

// Draws the picture scaled to w x h at (x, y); a masked picture leaves its transparent pixels
// alone, an animated one draws its current frame and remembers where (for its invalidation).
void DrawFetchedPicture(HDC dc, TFetchedPicture& picture, int x, int y, int w, int h);
