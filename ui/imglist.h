// Image lists: equally sized images (with masks when Masked) in one HIMAGELIST owned by the
// list, drawn onto canvases normally or greyed for disabled items.
//
// In form definitions the images travel in the binary property "Bitmap":
//   u32 count, u32 width, u32 height, u8 masked, u32 length + BMP (all images side by side,
//   24 bits), and when masked u32 length + BMP (their masks side by side, 1 bit, white = clear).
#pragma once

#include "ui/classes.h"
#include "ui/graphics.h"

#include <windows.h>
#include "ui/comctl32_calls.h"

namespace wl {

struct ImageListFree {
    void operator()(HIMAGELIST h) const { comctl32::ImageList_Destroy(h); }
};
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListFree>;

class TCustomImageList : public TComponent {
    WL_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* owner);
    ~TCustomImageList() override;

    // Changing the size or Masked empties the list.
    int Width() const { return width_; }
    void SetWidth(int width);
    int Height() const { return height_; }
    void SetHeight(int height);
    bool Masked() const { return masked_; }
    void SetMasked(bool on);
    // Colour behind the images when drawn; clNone draws masked images transparently.
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor color);

    int Count() const;
    // Adds the images in `image` (Width wide each, several side by side); `mask` (same size,
    // white = transparent) may be null. Returns the index of the first one added. The bitmaps
    // are copied; an empty image or one narrower than Width throws EInvalidGraphicOperation.
    int Add(const TBitmap& image, const TBitmap* mask);
    // Adds with a mask made from the pixels of `maskColor` (clDefault: the bitmap's
    // TransparentColor). The caller's bitmap is not changed.
    int AddMasked(const TBitmap& image, TColor maskColor);
    // Replaces image `index`.
    void Replace(int index, const TBitmap& image, const TBitmap* mask);
    // Draws image `index` with its top-left at (x, y); disabled images are drawn embossed in
    // the button shadow and highlight colours. An index out of range draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);
    // Image `index` as drawn over BkColor (over black when BkColor is clNone); false when the
    // index is out of range.
    bool GetBitmap(int index, TBitmap& bitmap);
    // The mask of image `index` (1 bit, white = transparent); false when out of range.
    bool GetMask(int index, TBitmap& mask);
    void Delete(int index);
    void Clear();

    HIMAGELIST Handle();
    bool HandleAllocated() const { return static_cast<bool>(handle_); }

    void Assign(const TPersistent& source) override;
    bool ReadBinaryProperty(const std::string& name, const std::string& bytes) override;
    void WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const override;

    TNotifyEvent OnChange;

private:
    void Recreate();
    void Changed() { OnChange(this); }
    void CheckIndex(int index) const;
    void DrawDisabled(HDC dc, int x, int y, int index);

    int width_ = 16;
    int height_ = 16;
    bool masked_ = true;
    TColor bkColor_ = clNone;
    UniqueImageList handle_;
};

class TImageList : public TCustomImageList {
    WL_CLASS(TImageList, TCustomImageList)
public:
    using TCustomImageList::TCustomImageList;
};

} // namespace wl
