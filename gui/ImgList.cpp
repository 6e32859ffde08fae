// TImageList.
#include "gui/ImgList.h"

#include <algorithm>

#include "base/Exceptions.h"

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {}

TImageList::~TImageList() {
    for (TChangeLink* link : links_)
        link->sender_ = nullptr;
    if (handle_) ImageList_Destroy(handle_);
}

TChangeLink::~TChangeLink() {
    if (sender_) sender_->UnRegisterChanges(*this);
}

void TImageList::RegisterChanges(TChangeLink& link) {
    if (link.sender_ == this) return;
    if (link.sender_) link.sender_->UnRegisterChanges(link);
    link.sender_ = this;
    links_.push_back(&link);
}

void TImageList::UnRegisterChanges(TChangeLink& link) {
    if (link.sender_ != this) return;
    link.sender_ = nullptr;
    links_.erase(std::remove(links_.begin(), links_.end(), &link), links_.end());
}

HIMAGELIST TImageList::Handle() {
    if (!handle_) {
        handle_ = ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 4, 4);
        if (!handle_) throw EOutOfResources("Cannot create image list");
    }
    return handle_;
}

void TImageList::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    if (handle_) ImageList_Destroy(handle_);
    handle_ = nullptr;
    width_ = width;
    height_ = height;
    Changed();
}

int TImageList::Count() const {
    return handle_ ? ImageList_GetImageCount(handle_) : 0;
}

int TImageList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Image index out of range");
    return index;
}

int TImageList::Add(TBitmap& image, TBitmap* mask) {
    int i = ImageList_Add(Handle(), image.Handle(), mask ? mask->Handle() : nullptr);
    if (i < 0) throw EInvalidOperation("Failed to add image");
    Changed();
    return i;
}

int TImageList::AddMasked(TBitmap& image, TColor maskColor) {
    // ImageList_AddMasked changes the bitmap; work on a copy.
    TBitmap copy;
    copy.Assign(image);
    int i = ImageList_AddMasked(Handle(), copy.Handle(), ColorToRGB(maskColor));
    if (i < 0) throw EInvalidOperation("Failed to add image");
    Changed();
    return i;
}

int TImageList::AddIcon(TIcon& icon) {
    int i = ImageList_AddIcon(Handle(), icon.Handle());
    if (i < 0) throw EInvalidOperation("Failed to add icon");
    Changed();
    return i;
}

int TImageList::AddFromResource(HINSTANCE instance, const char* name, TColor maskColor) {
    if (!instance) instance = GetModuleHandleA(nullptr);
    auto strip = static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip) return 0;
    TBitmap bitmap;
    bitmap.SetHandle(strip);
    if (bitmap.Height() != height_ || bitmap.Width() % width_ != 0)
        throw EInvalidOperation("Bitmap resource does not fit the image list");
    const int before = Count();
    // The system splits the strip into images of the list's width.
    if (ImageList_AddMasked(Handle(), bitmap.Handle(), ColorToRGB(maskColor)) < 0)
        throw EInvalidOperation("Failed to add image");
    Changed();
    return Count() - before;
}

void TImageList::Delete(int index) {
    ImageList_Remove(Handle(), CheckIndex(index));
    Changed();
}

void TImageList::Clear() {
    if (handle_) ImageList_Remove(handle_, -1);
    Changed();
}

void TImageList::GetIcon(int index, TIcon& icon) {
    icon.SetHandle(ImageList_GetIcon(Handle(), CheckIndex(index), ILD_NORMAL));
}

void TImageList::GetBitmap(int index, TBitmap& bitmap) {
    CheckIndex(index);
    bitmap.SetSize(width_, height_);
    TCanvas& c = bitmap.Canvas();
    c.Brush().SetColor(clBtnFace);
    c.FillRect(RECT{0, 0, width_, height_});
    ImageList_Draw(handle_, index, c.Handle(), 0, 0, ILD_NORMAL);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
    if (index < 0 || index >= Count()) return;
    if (enabled) {
        ImageList_Draw(handle_, index, canvas.Handle(), x, y, ILD_NORMAL);
    } else {
        IMAGELISTDRAWPARAMS p{};
        p.cbSize = sizeof(p);
        p.himl = handle_;
        p.i = index;
        p.hdcDst = canvas.Handle();
        p.x = x;
        p.y = y;
        p.rgbBk = CLR_NONE;
        p.rgbFg = CLR_DEFAULT;
        p.fStyle = ILD_BLEND50;
        ImageList_DrawIndirect(&p);
    }
}

void TImageList::Changed() {
    if (OnChange) OnChange(this);
    // A copy: a link's handler may register or unregister links.
    const std::vector<TChangeLink*> links = links_;
    for (TChangeLink* link : links)
        if (link->sender_ == this && link->OnChange) link->OnChange(this);
}
