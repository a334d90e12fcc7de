// Bitmaps as DIB sections (pixel formats, rows, BMP reading and writing, drawing) and icons.
#include "ui/graphics.h"

#include "ui/bmp_format.h"

#include <algorithm>
#include <cstring>

namespace wl {

// The memory device context of a bitmap, created on first use with the bitmap selected.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : FBitmap(bitmap) {}
    ~TBitmapCanvas() override { Free(); }

    // Lets the device context go so the bitmap's pixels can be replaced.
    void Free() {
        if (!FDC) return;
        ReleaseDC();
        if (FOldBitmap) SelectObject(FDC.get(), FOldBitmap);
        FOldBitmap = nullptr;
        FDC.reset();
    }

protected:
    void CreateHandle() override {
        FDC.reset(CreateCompatibleDC(nullptr));
        if (!FDC) throw EInvalidGraphicOperation("Out of system resources");
        if (FBitmap.Handle()) FOldBitmap = SelectObject(FDC.get(), FBitmap.Handle());
        SetHandle(FDC.get());
    }

private:
    TBitmap& FBitmap;
    UniqueDC FDC;
    HGDIOBJ FOldBitmap = nullptr;
};

namespace {

const char kInvalidBitmap[] = "Bitmap image is not valid";

int StrideOf(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

TPixelFormat FormatOfBits(int bits) {
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf15bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
    }
}

int ScreenBitCount() {
    WindowDC screen;
    int bits = GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES);
    return bits == 24 ? 24 : 32;
}

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& s, uint16_t v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}

// BITMAPINFO with room for a full palette or three colour masks.
struct InfoBuffer {
    BITMAPINFOHEADER header{};
    RGBQUAD colors[256]{};
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// The colour of a pixel in any of the stored formats, as 0x00BBGGRR.
TColor ReadPixel(const uint8_t* row, int x, int bits, const std::vector<RGBQUAD>& palette) {
    auto fromQuad = [](const RGBQUAD& q) { return TColor(q.rgbRed | (q.rgbGreen << 8) | (q.rgbBlue << 16)); };
    auto fromIndex = [&](unsigned i) { return i < palette.size() ? fromQuad(palette[i]) : TColor(0); };
    switch (bits) {
    case 1: return fromIndex((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return fromIndex((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
    case 8: return fromIndex(row[x]);
    case 24: return TColor(row[x * 3 + 2] | (row[x * 3 + 1] << 8) | (row[x * 3] << 16));
    case 32: return TColor(row[x * 4 + 2] | (row[x * 4 + 1] << 8) | (row[x * 4] << 16));
    default: return 0;
    }
}

} // namespace

// A freshly made DIB section and what describes it.
struct TBitmap::Dib {
    UniqueBitmap handle;
    uint8_t* bits = nullptr;
    int width = 0, height = 0, bitCount = 24;
    std::vector<RGBQUAD> palette;

    // width or height 0 gives an empty image without a handle.
    static Dib Make(int width, int height, int bitCount, std::vector<RGBQUAD> palette) {
        Dib d;
        d.width = width;
        d.height = height;
        d.bitCount = bitCount;
        d.palette = std::move(palette);
        if (width <= 0 || height <= 0) {
            d.width = d.height = 0;
            return d;
        }
        InfoBuffer info;
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = height; // bottom-up, as BMP files store it
        info.header.biPlanes = 1;
        info.header.biBitCount = WORD(bitCount);
        info.header.biCompression = BI_RGB;
        info.header.biClrUsed = DWORD(d.palette.size());
        std::copy(d.palette.begin(), d.palette.end(), info.colors);
        void* bits = nullptr;
        d.handle.reset(CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!d.handle || !bits) throw EInvalidGraphicOperation("Out of system resources");
        d.bits = static_cast<uint8_t*>(bits);
        return d;
    }
    uint8_t* Row(int y) { return bits + size_t(height - 1 - y) * size_t(StrideOf(width, bitCount)); }
};

namespace {
std::vector<RGBQUAD> BlackAndWhite() { return {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}}; }
} // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
    SetPixelFormat(format);
    SetSize(width, height);
}

TBitmap::~TBitmap() { FCanvas.reset(); }

void TBitmap::DetachCanvas() {
    if (FCanvas) FCanvas->Free();
}

void TBitmap::Replace(Dib&& dib) {
    DetachCanvas();
    FHandle = std::move(dib.handle);
    FBits = dib.bits;
    FWidth = dib.width;
    FHeight = dib.height;
    FBitCount = dib.bitCount;
    FPalette = std::move(dib.palette);
    Changed();
}

int TBitmap::RowBytes() const { return StrideOf(FWidth, FBitCount); }

WL_DEFINE_CLASS(TBitmap, [](ClassBuilder<TBitmap>& c) {
    // Stored only when fixed: the automatic colour is the pixels' own, and writing it would make
    // the bitmap read back with a fixed colour.
    c.Color("TransparentColor",
            [](const TBitmap& b) { return b.TransparentMode() == tmFixed ? b.TransparentColor() : clDefault; },
            &TBitmap::SetTransparentColor);
    c.Enum("TransparentMode", &TBitmap::TransparentMode, &TBitmap::SetTransparentMode,
           {{"tmAuto", tmAuto}, {"tmFixed", tmFixed}});
})

WL_DEFINE_CLASS(TIcon, WL_NO_PROPERTIES)

void TBitmap::Assign(const TPersistent& persistent) {
    const auto* bitmap = dynamic_cast<const TBitmap*>(&persistent);
    if (!bitmap) return inherited::Assign(persistent);
    const TBitmap& source = *bitmap;
    if (&source == this) return;
    GdiFlush();
    Dib d = Dib::Make(source.FWidth, source.FHeight, source.FBitCount, source.FPalette);
    if (d.bits) std::memcpy(d.bits, source.FBits, size_t(source.RowBytes()) * size_t(source.FHeight));
    FFormat = source.FFormat;
    FTransparent = source.FTransparent;
    FTransparentColor = source.FTransparentColor;
    FTransparentMode = source.FTransparentMode;
    Replace(std::move(d));
}

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0) throw EInvalidGraphicOperation("Invalid bitmap size");
    if (width == FWidth && height == FHeight) return;
    Dib d = Dib::Make(width, height, FBitCount, FPalette);
    if (d.bits && FBits) {
        GdiFlush();
        int rows = std::min(height, FHeight);
        size_t bytes = (size_t(std::min(width, FWidth)) * size_t(FBitCount) + 7) / 8;
        for (int y = 0; y < rows; ++y)
            std::memcpy(d.Row(y), FBits + size_t(FHeight - 1 - y) * size_t(RowBytes()), bytes);
    }
    Replace(std::move(d));
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == FFormat) return;
    int bits;
    switch (format) {
    case pf1bit: bits = 1; break;
    case pf24bit: bits = 24; break;
    case pf32bit: bits = 32; break;
    case pfDevice: bits = ScreenBitCount(); break;
    default: throw EInvalidGraphicOperation("Unsupported pixel format");
    }
    std::vector<RGBQUAD> palette = bits == 1 ? BlackAndWhite() : std::vector<RGBQUAD>{};
    Dib d = Dib::Make(FWidth, FHeight, bits, palette);
    if (d.bits) {
        GdiFlush();
        for (int y = 0; y < FHeight; ++y) {
            const uint8_t* src = FBits + size_t(FHeight - 1 - y) * size_t(RowBytes());
            uint8_t* dst = d.Row(y);
            for (int x = 0; x < FWidth; ++x) {
                TColor c = ReadPixel(src, x, FBitCount, FPalette);
                uint8_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
                if (bits == 1) {
                    // Nearer to white than to black: more than half the full brightness.
                    if (r + g + b > 3 * 255 / 2) dst[x >> 3] |= uint8_t(0x80 >> (x & 7));
                } else {
                    int n = bits / 8;
                    dst[x * n] = b;
                    dst[x * n + 1] = g;
                    dst[x * n + 2] = r;
                }
            }
        }
    }
    FFormat = format;
    Replace(std::move(d));
}

void* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= FHeight || !FBits) throw EInvalidGraphicOperation("Scan line index out of range");
    // Drawing through GDI may still be queued; rows must show it before they are read.
    GdiFlush();
    return FBits + size_t(FHeight - 1 - row) * size_t(RowBytes());
}

HBITMAP TBitmap::ReleaseHandle() {
    DetachCanvas();
    HBITMAP h = FHandle.release();
    FBits = nullptr;
    FWidth = FHeight = 0;
    Changed();
    return h;
}

void TBitmap::Clear() { Replace(Dib::Make(0, 0, FBitCount, FPalette)); }

TCanvas& TBitmap::Canvas() {
    if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(*this);
    return *FCanvas;
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed) return FTransparentColor;
    if (Empty()) return clDefault;
    GdiFlush();
    return ReadPixel(FBits, 0, FBitCount, FPalette); // row 0 in memory is the bottom row
}

void TBitmap::SetTransparentColor(TColor color) {
    FTransparentColor = color;
    FTransparentMode = color == clDefault ? tmAuto : tmFixed;
    Changed();
}

namespace {

// A device context with the bitmap selected for reading: the bitmap's own canvas context while
// it has one (a bitmap can be selected into one context only), else a temporary memory context.
class SourceDC {
public:
    SourceDC(HDC compatible, HBITMAP bitmap, TCanvas* own) {
        if (own && own->HandleAllocated()) {
            FDC = own->Handle();
            return;
        }
        FTemp.reset(CreateCompatibleDC(compatible));
        if (FTemp) FOld = SelectObject(FTemp.get(), bitmap);
        FDC = FTemp.get();
    }
    ~SourceDC() {
        if (FTemp && FOld) SelectObject(FTemp.get(), FOld);
    }
    HDC get() const { return FDC; }

private:
    UniqueDC FTemp;
    HGDIOBJ FOld = nullptr;
    HDC FDC = nullptr;
};

} // namespace

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
    if (Empty()) return;
    HDC dc = canvas.Handle();
    SourceDC src(dc, FHandle.get(), FCanvas && &canvas != FCanvas.get() ? FCanvas.get() : nullptr);
    if (!src.get()) return;
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (FTransparent) {
        GdiTransparentBlt(dc, rect.left, rect.top, w, h, src.get(), 0, 0, FWidth, FHeight,
                       static_cast<UINT>(ColorToRGB(TransparentColor())) & 0xFFFFFF);
    } else if (w == FWidth && h == FHeight) {
        BitBlt(dc, rect.left, rect.top, w, h, src.get(), 0, 0, canvas.CopyMode());
    } else {
        StretchBlt(dc, rect.left, rect.top, w, h, src.get(), 0, 0, FWidth, FHeight, canvas.CopyMode());
    }
}

void TCanvas::BrushCopy(const RECT& dest, TBitmap& source, const RECT& sourceRect, TColor transparent) {
    HDC dc = Handle();
    ::FillRect(dc, &dest, FBrush.Handle());
    if (source.Empty()) return;
    SourceDC src(dc, source.Handle(), source.HasCanvas() && &source.Canvas() != this ? &source.Canvas() : nullptr);
    GdiTransparentBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src.get(),
                   sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
                   sourceRect.bottom - sourceRect.top, static_cast<UINT>(ColorToRGB(transparent)) & 0xFFFFFF);
}

// ---- BMP reading and writing -----------------------------------------------------------------

std::string TBitmap::SaveToBytes() const {
    GdiFlush();
    const uint32_t paletteBytes = uint32_t(FPalette.size() * 4);
    const uint32_t imageBytes = uint32_t(RowBytes()) * uint32_t(FHeight);
    const uint32_t offset = 14 + 40 + paletteBytes;
    std::string out;
    out.reserve(offset + imageBytes);
    out += "BM";
    Put32(out, offset + imageBytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, uint32_t(FWidth));
    Put32(out, uint32_t(FHeight));
    Put16(out, 1);
    Put16(out, uint16_t(FBitCount));
    Put32(out, BI_RGB);
    Put32(out, imageBytes);
    Put32(out, 3780); // 96 dots per inch
    Put32(out, 3780);
    Put32(out, uint32_t(FPalette.size()));
    Put32(out, 0);
    for (const RGBQUAD& q : FPalette) {
        out.push_back(char(q.rgbBlue));
        out.push_back(char(q.rgbGreen));
        out.push_back(char(q.rgbRed));
        out.push_back(0);
    }
    if (FBits) out.append(reinterpret_cast<const char*>(FBits), imageBytes);
    return out;
}

void TBitmap::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    const std::string bytes = stream.ReadAll();
    LoadFromBytes(bytes);
    // Leave the stream after this file: whatever follows belongs to someone else.
    const uint32_t fileSize = U32(reinterpret_cast<const uint8_t*>(bytes.data()) + 2);
    if (fileSize >= 14 && fileSize < bytes.size()) stream.SetPosition(start + fileSize);
}

bool TBitmap::ReadBinaryProperty(const std::string& name, const std::string& bytes) {
    if (name != "Data") return inherited::ReadBinaryProperty(name, bytes);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    if (bytes.size() < 4 || U32(p) != bytes.size() - 4) throw EInvalidGraphic(kInvalidBitmap);
    if (bytes.size() == 4)
        Clear();
    else
        LoadFromBytes(std::string_view(bytes).substr(4));
    return true;
}

void TBitmap::WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const {
    inherited::WriteBinaryProperties(out);
    std::string data;
    if (!Empty()) {
        const std::string file = SaveToBytes();
        Put32(data, uint32_t(file.size()));
        data += file;
    } else {
        Put32(data, 0);
    }
    out.emplace_back("Data", std::move(data));
}

void TBitmap::LoadFromBytes(std::string_view bytes) {
    const auto layout = ParseBmpFile(bytes);
    if (!layout) throw EInvalidGraphic(kInvalidBitmap);
    LoadLayout(bytes, *layout);
}

// Builds the DIB section for a checked layout of `all`.
void TBitmap::LoadLayout(std::string_view all, const BmpLayout& l) {
    const auto* bits = reinterpret_cast<const uint8_t*>(all.data()) + l.bitsOffset;
    std::vector<RGBQUAD> palette;
    for (const auto& q : l.palette) palette.push_back(RGBQUAD{q[0], q[1], q[2], 0});
    const int w = l.width, h = l.height;
    if (w == 0 || h == 0) {
        FFormat = FormatOfBits(l.bitCount);
        Replace(Dib::Make(0, 0, l.bitCount, palette));
        return;
    }

    if (l.compression == BmpCompression::Rgb && l.bitCount != 16) {
        Dib d = Dib::Make(w, h, l.bitCount, palette);
        for (int y = 0; y < h; ++y) {
            // File row 0 is the bottom row unless the height was negative.
            const uint8_t* src = bits + l.stride * size_t(l.topDown ? y : h - 1 - y);
            std::memcpy(d.Row(y), src, l.stride);
        }
        FFormat = FormatOfBits(l.bitCount);
        Replace(std::move(d));
        return;
    }

    // Compressed, 16-bit and masked pixels: GDI decodes them into a plain 24- or 32-bit image.
    std::vector<uint8_t> input(bits, bits + l.bitsSize);
    const bool rle = l.compression == BmpCompression::Rle4 || l.compression == BmpCompression::Rle8;
    if (rle) {
        // An end-of-bitmap mark after the data stops a decoder that runs off a damaged stream.
        input.push_back(0);
        input.push_back(1);
    }
    InfoBuffer info;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = w;
    info.header.biHeight = l.topDown ? -h : h;
    info.header.biPlanes = 1;
    info.header.biBitCount = WORD(l.bitCount);
    info.header.biCompression = DWORD(l.compression);
    info.header.biSizeImage = rle ? DWORD(input.size()) : 0;
    info.header.biClrUsed = DWORD(palette.size());
    if (l.compression == BmpCompression::BitFields)
        std::memcpy(info.colors, l.masks.data(), sizeof(uint32_t) * 3);
    else
        std::copy(palette.begin(), palette.end(), info.colors);
    const int outBits = l.bitCount == 32 ? 32 : 24;
    Dib d = Dib::Make(w, h, outBits, {});
    WindowDC screen;
    if (SetDIBits(screen.get(), d.handle.get(), 0, UINT(h), input.data(), info.get(), DIB_RGB_COLORS) == 0)
        throw EInvalidGraphic(kInvalidBitmap);
    GdiFlush();
    FFormat = FormatOfBits(outBits);
    Replace(std::move(d));
}

namespace {

// The bytes of an RT_BITMAP resource (a packed DIB), or an EInvalidGraphic naming it.
std::string_view BitmapResource(HINSTANCE instance, const char* id, const std::string& shown) {
    HRSRC res = FindResourceA(instance, id, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!res) throw EInvalidGraphic("Bitmap resource " + shown + " not found");
    HGLOBAL global = LoadResource(instance, res);
    const void* data = global ? LockResource(global) : nullptr;
    if (!data) throw EInvalidGraphic(kInvalidBitmap);
    return std::string_view(static_cast<const char*>(data), SizeofResource(instance, res));
}

} // namespace

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    const std::string_view dib = BitmapResource(instance, name.c_str(), "\"" + name + "\"");
    const auto layout = ParsePackedDib(dib);
    if (!layout) throw EInvalidGraphic(kInvalidBitmap);
    LoadLayout(dib, *layout);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
    const std::string_view dib = BitmapResource(instance, MAKEINTRESOURCEA(id), std::to_string(id));
    const auto layout = ParsePackedDib(dib);
    if (!layout) throw EInvalidGraphic(kInvalidBitmap);
    LoadLayout(dib, *layout);
}

// ---- icons -----------------------------------------------------------------------------------

void TIcon::Take(HICON icon, const char* what) {
    if (!icon) throw EInvalidGraphic(std::string("Cannot load icon ") + what + ": " + Win32ErrorText(GetLastError()));
    SetHandle(icon);
}

void TIcon::SetHandle(HICON icon) {
    FHandle.reset(icon);
    FWidth = FHeight = 0;
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
        // GetIconInfo hands out copies of both bitmaps; they are ours to delete.
        UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
        BITMAP bm{};
        if (color && GetObject(color.get(), sizeof bm, &bm)) {
            FWidth = bm.bmWidth;
            FHeight = bm.bmHeight;
        } else if (mask && GetObject(mask.get(), sizeof bm, &bm)) {
            FWidth = bm.bmWidth;
            FHeight = bm.bmHeight / 2; // a monochrome icon stacks its AND and XOR masks
        }
    }
    Changed();
}

HICON TIcon::ReleaseHandle() {
    HICON h = FHandle.release();
    FWidth = FHeight = 0;
    Changed();
    return h;
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name, int cx, int cy) {
    UINT flags = (cx == 0 && cy == 0) ? LR_DEFAULTSIZE : 0;
    Take(static_cast<HICON>(LoadImageA(instance, name.c_str(), IMAGE_ICON, cx, cy, flags)), name.c_str());
}

void TIcon::LoadFromResourceID(HINSTANCE instance, int id, int cx, int cy) {
    UINT flags = (cx == 0 && cy == 0) ? LR_DEFAULTSIZE : 0;
    std::string what = std::to_string(id);
    Take(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, flags)),
         what.c_str());
}

void TIcon::LoadFromFile(const std::string& path) {
    TGraphic::LoadFromFile(path);
}

// An .ico file: a directory of images; the first one is taken.
void TIcon::LoadFromBytes(std::string_view bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const char* invalid = "Icon image is not valid";
    if (bytes.size() < 6 + 16 || U16(p) != 0 || U16(p + 2) != 1 || U16(p + 4) == 0)
        throw EInvalidGraphic(invalid);
    const uint8_t* entry = p + 6;
    uint32_t size = U32(entry + 8), offset = U32(entry + 12);
    if (offset > bytes.size() || size > bytes.size() - offset || size < 40) throw EInvalidGraphic(invalid);
    int w = entry[0] ? entry[0] : 256, h = entry[1] ? entry[1] : 256;
    // The image data is a DIB whose height counts both masks; it is copied because the
    // function wants a writable buffer.
    std::vector<uint8_t> image(p + offset, p + offset + size);
    HICON icon = CreateIconFromResourceEx(image.data(), size, TRUE, 0x00030000, w, h, LR_DEFAULTCOLOR);
    if (!icon) throw EInvalidGraphic(invalid);
    SetHandle(icon);
}

std::string TIcon::SaveToBytes() const { throw EInvalidGraphicOperation("Icons cannot be saved"); }

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
    if (!FHandle) return;
    DrawIconEx(canvas.Handle(), rect.left, rect.top, FHandle.get(), rect.right - rect.left,
               rect.bottom - rect.top, 0, nullptr, DI_NORMAL);
}

} // namespace wl
