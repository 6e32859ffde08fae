// TImageList: a list of same-sized pictures over a system HIMAGELIST.
#pragma once

#include "gui/Component.h"
#include "gui/Graphics.h"

#include <commctrl.h>

#include <vector>

class TImageList;

// A registration for the changes of one image list: each user of a shared list (a
// button drawing from it, say) keeps its own link, so none of them takes the list's
// single OnChange event from the others. The link leaves its list when destroyed.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    // The list the link is registered with, or nullptr.
    TImageList* Sender() const { return sender_; }
    TNotifyEvent OnChange;

private:
    friend class TImageList;
    TImageList* sender_ = nullptr; // not owned
};

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner, int width = 16, int height = 16);
    ~TImageList() override;

    HIMAGELIST Handle();
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list.
    void SetSize(int width, int height);
    int Count() const;

    // Each returns the index of the new image.
    int Add(TBitmap& image, TBitmap* mask = nullptr);
    int AddMasked(TBitmap& image, TColor maskColor);
    int AddIcon(TIcon& icon);
    // Appends the pictures of a bitmap resource: a strip of images of the list's
    // size, left to right, where maskColor marks the transparent pixels. The
    // module is the program's when instance is nullptr. Returns the number of
    // images added; 0 when the module has no such bitmap.
    int AddFromResource(HINSTANCE instance, const char* name, TColor maskColor);
    void Delete(int index);
    void Clear();

    // Copies image `index` into an icon (the icon owns its new handle).
    void GetIcon(int index, TIcon& icon);
    void GetBitmap(int index, TBitmap& bitmap);
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);

    TNotifyEvent OnChange;
    // Links told after OnChange of every change; a link is in one list at a time.
    void RegisterChanges(TChangeLink& link);
    void UnRegisterChanges(TChangeLink& link);

private:
    void Changed();
    std::vector<TChangeLink*> links_; // not owned: each link removes itself
    int CheckIndex(int index) const;
    HIMAGELIST handle_ = nullptr;
    int width_, height_;
};
