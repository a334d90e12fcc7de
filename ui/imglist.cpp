// Image lists (see imglist.h).
#include "ui/imglist.h"

#include <cstring>
#include <memory>

namespace wl {

namespace {

const char kInvalidData[] = "Image list data is not valid";

void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Reads the form definition's image data piece by piece; damaged data throws.
class DataReader {
public:
    explicit DataReader(const std::string& bytes) : bytes_(bytes) {}
    uint32_t U32() {
        Need(4);
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
        pos_ += 4;
        return v;
    }
    uint8_t U8() {
        Need(1);
        return static_cast<uint8_t>(bytes_[pos_++]);
    }
    std::string_view Bytes(size_t n) {
        Need(n);
        std::string_view v(bytes_.data() + pos_, n);
        pos_ += n;
        return v;
    }
    bool AtEnd() const { return pos_ == bytes_.size(); }

private:
    void Need(size_t n) const {
        if (bytes_.size() - pos_ < n) throw EInvalidGraphic(kInvalidData);
    }
    const std::string& bytes_;
    size_t pos_ = 0;
};

// The bitmap as a fresh DIB section that no device context has selected (the image list must
// select it itself), with pending drawing on the source flushed.
std::unique_ptr<TBitmap> DetachedCopy(const TBitmap& source) {
    GdiFlush();
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(source);
    return copy;
}

COLORREF ListColor(TColor color) {
    return color == clNone ? CLR_NONE : static_cast<COLORREF>(ColorToRGB(color));
}

} // namespace

WL_DEFINE_CLASS(TCustomImageList, [](ClassBuilder<TCustomImageList>& c) {
    c.Color("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor);
    c.Int("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight);
    c.Bool("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked);
    c.Int("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth);
    c.Event("OnChange", &TCustomImageList::OnChange);
})
WL_DEFINE_CLASS(TImageList, WL_NO_PROPERTIES)

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}
TCustomImageList::~TCustomImageList() = default;

HIMAGELIST TCustomImageList::Handle() {
    if (!handle_) Recreate();
    return handle_.get();
}

void TCustomImageList::Recreate() {
    HIMAGELIST h = comctl32::ImageList_Create(width_, height_, ILC_COLOR24 | (masked_ ? ILC_MASK : 0), 4, 4);
    if (!h) throw EInvalidGraphicOperation("Cannot create an image list of " + std::to_string(width_) + " x " +
                                           std::to_string(height_));
    handle_.reset(h);
    comctl32::ImageList_SetBkColor(h, ListColor(bkColor_));
}

void TCustomImageList::SetWidth(int width) {
    if (width <= 0 || width > 4096) throw EInvalidGraphicOperation("Invalid image list width " + std::to_string(width));
    if (width == width_) return;
    width_ = width;
    handle_.reset();
    Changed();
}

void TCustomImageList::SetHeight(int height) {
    if (height <= 0 || height > 4096)
        throw EInvalidGraphicOperation("Invalid image list height " + std::to_string(height));
    if (height == height_) return;
    height_ = height;
    handle_.reset();
    Changed();
}

void TCustomImageList::SetMasked(bool on) {
    if (on == masked_) return;
    masked_ = on;
    handle_.reset();
    Changed();
}

void TCustomImageList::SetBkColor(TColor color) {
    if (color == bkColor_) return;
    bkColor_ = color;
    if (handle_) comctl32::ImageList_SetBkColor(handle_.get(), ListColor(color));
    Changed();
}

int TCustomImageList::Count() const { return handle_ ? comctl32::ImageList_GetImageCount(handle_.get()) : 0; }

void TCustomImageList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EInvalidGraphicOperation("Image index " + std::to_string(index) + " out of range");
}

int TCustomImageList::Add(const TBitmap& image, const TBitmap* mask) {
    if (image.Width() < width_ || image.Height() < height_)
        throw EInvalidGraphicOperation("The image is smaller than the image list's images");
    if (mask && (mask->Width() < image.Width() || mask->Height() < image.Height()))
        throw EInvalidGraphicOperation("The mask is smaller than the image");
    auto copy = DetachedCopy(image);
    std::unique_ptr<TBitmap> maskCopy = mask ? DetachedCopy(*mask) : nullptr;
    int index = comctl32::ImageList_Add(Handle(), copy->Handle(), maskCopy ? maskCopy->Handle() : nullptr);
    if (index < 0) throw EInvalidGraphicOperation("Cannot add the image to the image list");
    Changed();
    return index;
}

int TCustomImageList::AddMasked(const TBitmap& image, TColor maskColor) {
    if (image.Width() < width_ || image.Height() < height_)
        throw EInvalidGraphicOperation("The image is smaller than the image list's images");
    TColor key = maskColor == clDefault ? image.TransparentColor() : maskColor;
    // The system blackens the masked pixels of the bitmap it is given: give it a copy.
    auto copy = DetachedCopy(image);
    int index = comctl32::ImageList_AddMasked(Handle(), copy->Handle(), static_cast<COLORREF>(ColorToRGB(key)));
    if (index < 0) throw EInvalidGraphicOperation("Cannot add the image to the image list");
    Changed();
    return index;
}

void TCustomImageList::Replace(int index, const TBitmap& image, const TBitmap* mask) {
    CheckIndex(index);
    if (image.Width() < width_ || image.Height() < height_)
        throw EInvalidGraphicOperation("The image is smaller than the image list's images");
    auto copy = DetachedCopy(image);
    std::unique_ptr<TBitmap> maskCopy = mask ? DetachedCopy(*mask) : nullptr;
    if (!comctl32::ImageList_Replace(Handle(), index, copy->Handle(), maskCopy ? maskCopy->Handle() : nullptr))
        throw EInvalidGraphicOperation("Cannot replace the image");
    Changed();
}

void TCustomImageList::Delete(int index) {
    CheckIndex(index);
    comctl32::ImageList_Remove(handle_.get(), index);
    Changed();
}

void TCustomImageList::Clear() {
    if (handle_ && Count() > 0) {
        comctl32::ImageList_Remove(handle_.get(), -1);
        Changed();
    }
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
    if (index < 0 || index >= Count()) return;
    HDC dc = canvas.Handle();
    if (!enabled) {
        DrawDisabled(dc, x, y, index);
        return;
    }
    UINT style = masked_ && bkColor_ == clNone ? ILD_TRANSPARENT : ILD_NORMAL;
    comctl32::ImageList_DrawEx(handle_.get(), index, dc, x, y, 0, 0, ListColor(bkColor_), CLR_DEFAULT, style);
}

// The image's shape (the mask, or for lists without masks every pixel that differs from the
// image's bottom-left one) is drawn twice: in the highlight colour one pixel down and right,
// then in the shadow colour in place — the engraved look of disabled glyphs.
void TCustomImageList::DrawDisabled(HDC dc, int x, int y, int index) {
    UniqueDC monoDC(CreateCompatibleDC(dc));
    UniqueBitmap mono(CreateBitmap(width_, height_, 1, 1, nullptr));
    if (!monoDC || !mono) return;
    ScopedSelect monoSel(monoDC.get(), mono.get());
    if (masked_) {
        PatBlt(monoDC.get(), 0, 0, width_, height_, WHITENESS);
        comctl32::ImageList_Draw(handle_.get(), index, monoDC.get(), 0, 0, ILD_MASK);
    } else {
        TBitmap image(width_, height_, pf24bit);
        HDC imageDC = image.Canvas().Handle();
        comctl32::ImageList_Draw(handle_.get(), index, imageDC, 0, 0, ILD_NORMAL);
        // Colour to monochrome: pixels of the source's background colour become white.
        ::SetBkColor(imageDC, GetPixel(imageDC, 0, height_ - 1));
        BitBlt(monoDC.get(), 0, 0, width_, height_, imageDC, 0, 0, SRCCOPY);
    }
    ScopedDCState state(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    // PSDPxax: the brush where the mask is black, the destination where it is white.
    const DWORD kBrushThroughMask = 0x00B8074A;
    UniqueBrush light(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnHighlight))));
    UniqueBrush dark(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnShadow))));
    {
        ScopedSelect b(dc, light.get());
        BitBlt(dc, x + 1, y + 1, width_, height_, monoDC.get(), 0, 0, kBrushThroughMask);
    }
    ScopedSelect b(dc, dark.get());
    BitBlt(dc, x, y, width_, height_, monoDC.get(), 0, 0, kBrushThroughMask);
}

bool TCustomImageList::GetBitmap(int index, TBitmap& bitmap) {
    if (index < 0 || index >= Count()) return false;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(width_, height_);
    TCanvas& c = bitmap.Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(bkColor_ == clNone ? clBlack : bkColor_);
    c.FillRect({0, 0, width_, height_});
    comctl32::ImageList_DrawEx(handle_.get(), index, c.Handle(), 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT,
                     masked_ ? ILD_TRANSPARENT : ILD_NORMAL);
    GdiFlush();
    return true;
}

bool TCustomImageList::GetMask(int index, TBitmap& mask) {
    if (index < 0 || index >= Count()) return false;
    mask.SetPixelFormat(pf1bit);
    mask.SetSize(width_, height_);
    HDC dc = mask.Canvas().Handle();
    PatBlt(dc, 0, 0, width_, height_, masked_ ? WHITENESS : BLACKNESS);
    if (masked_) comctl32::ImageList_Draw(handle_.get(), index, dc, 0, 0, ILD_MASK);
    GdiFlush();
    return true;
}

void TCustomImageList::Assign(const TPersistent& source) {
    auto* other = dynamic_cast<const TCustomImageList*>(&source);
    if (!other) {
        TComponent::Assign(source);
        return;
    }
    std::vector<std::pair<std::string, std::string>> data;
    other->WriteBinaryProperties(data);
    width_ = other->width_;
    height_ = other->height_;
    masked_ = other->masked_;
    bkColor_ = other->bkColor_;
    handle_.reset();
    for (const auto& [name, bytes] : data)
        if (name == "Bitmap") ReadBinaryProperty(name, bytes);
    Changed();
}

void TCustomImageList::WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const {
    inherited::WriteBinaryProperties(out);
    int count = Count();
    if (count == 0) return;
    auto* self = const_cast<TCustomImageList*>(this);
    TBitmap strip(count * width_, height_, pf24bit);
    TBitmap maskStrip;
    if (masked_) {
        maskStrip.SetPixelFormat(pf1bit);
        maskStrip.SetSize(count * width_, height_);
    }
    TBitmap one, oneMask;
    for (int i = 0; i < count; ++i) {
        self->GetBitmap(i, one);
        BitBlt(strip.Canvas().Handle(), i * width_, 0, width_, height_, one.Canvas().Handle(), 0, 0, SRCCOPY);
        if (masked_) {
            self->GetMask(i, oneMask);
            BitBlt(maskStrip.Canvas().Handle(), i * width_, 0, width_, height_, oneMask.Canvas().Handle(), 0, 0,
                   SRCCOPY);
        }
    }
    GdiFlush();
    std::string data;
    Put32(data, static_cast<uint32_t>(count));
    Put32(data, static_cast<uint32_t>(width_));
    Put32(data, static_cast<uint32_t>(height_));
    data += static_cast<char>(masked_ ? 1 : 0);
    std::string bmp = strip.SaveToBytes();
    Put32(data, static_cast<uint32_t>(bmp.size()));
    data += bmp;
    if (masked_) {
        bmp = maskStrip.SaveToBytes();
        Put32(data, static_cast<uint32_t>(bmp.size()));
        data += bmp;
    }
    out.emplace_back("Bitmap", std::move(data));
}

bool TCustomImageList::ReadBinaryProperty(const std::string& name, const std::string& bytes) {
    if (name != "Bitmap") return inherited::ReadBinaryProperty(name, bytes);
    DataReader r(bytes);
    uint32_t count = r.U32(), width = r.U32(), height = r.U32();
    uint8_t masked = r.U8();
    if (width == 0 || height == 0 || width > 4096 || height > 4096 || count == 0 || count > 65535 ||
        uint64_t(count) * width > 1u << 20 || masked > 1)
        throw EInvalidGraphic(kInvalidData);
    TBitmap strip, maskStrip;
    strip.LoadFromBytes(r.Bytes(r.U32()));
    if (masked) maskStrip.LoadFromBytes(r.Bytes(r.U32()));
    if (!r.AtEnd() || strip.Width() != int(count * width) || strip.Height() != int(height) ||
        (masked && (maskStrip.Width() != strip.Width() || maskStrip.Height() != strip.Height())))
        throw EInvalidGraphic(kInvalidData);
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    masked_ = masked != 0;
    handle_.reset();
    Add(strip, masked ? &maskStrip : nullptr);
    if (Count() != int(count)) throw EInvalidGraphic(kInvalidData);
    return true;
}

} // namespace wl
