// Graphics of the user-interface library: fonts, brushes and pens that own their GDI handles
// lazily, the canvas that draws with them on a device context, and the pictures (device-
// independent bitmaps with direct row access, icons) that canvases draw.
#pragma once

#include "ui/classes.h"
#include "ui/graphics_colors.h"
#include "ui/graphics_handles.h"
#include "ui/streams.h"
#include "ui/sysutils.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace wl {

// A picture's data or an operation on it is not valid ("Bitmap image is not valid").
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// Common part of fonts, brushes and pens: a change drops the cached handle and tells the owner
// (OnChange, with the object as sender). The old handle lives until the owner has been told, so
// a canvas can deselect it first.
class TGraphicsObject : public TPersistent {
    WL_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    void Changed();
    // Hands over the cached handle (if any) so that it can be freed after OnChange.
    virtual UniqueHandle<HGDIOBJ, GdiObjectFree> TakeHandle() = 0;
};

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
// A set of font styles as bits: 1 << fsBold, ...
using TFontStyles = uint8_t;
constexpr TFontStyles FontStyles(std::initializer_list<TFontStyle> styles) {
    TFontStyles s = 0;
    for (auto st : styles) s = TFontStyles(s | (1u << st));
    return s;
}
enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;

// Published: Charset, Color, Height, Name, Pitch, Size, Style.
class TFont : public TGraphicsObject {
    WL_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    ~TFont() override;

    // Copies every property of another font (not the handle or the change event) and reports
    // one change; other sources throw.
    void Assign(const TPersistent& source) override;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& name);
    // Cell height in pixels as LOGFONT has it: negative means character height.
    int Height() const { return FHeight; }
    void SetHeight(int height);
    // Size in points at PixelsPerInch: Size = -Height * 72 / PixelsPerInch.
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset charset);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch pitch);
    int PixelsPerInch() const { return FPixelsPerInch; }
    // Keeps Size: a printer canvas's font has the printer's resolution.
    void SetPixelsPerInch(int ppi);

    // The font, created on first use; owned by this object.
    HFONT Handle();

protected:
    UniqueHandle<HGDIOBJ, GdiObjectFree> TakeHandle() override {
        return UniqueHandle<HGDIOBJ, GdiObjectFree>(FHandle.release());
    }

private:
    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FPixelsPerInch = 96;
    UniqueFont FHandle;
};

enum TBrushStyle : uint8_t {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

// Published: Color, Style.
class TBrush : public TGraphicsObject {
    WL_CLASS(TBrush, TGraphicsObject)
public:
    TBrush() = default;
    void Assign(const TPersistent& source) override;

    TColor Color() const { return FColor; }
    // Setting a colour on a clear brush makes it solid.
    void SetColor(TColor color);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle style);
    // The brush, created on first use; a clear brush is the stock null brush (never freed).
    HBRUSH Handle();

protected:
    UniqueHandle<HGDIOBJ, GdiObjectFree> TakeHandle() override {
        return UniqueHandle<HGDIOBJ, GdiObjectFree>(FHandle.release());
    }

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    UniqueBrush FHandle;
};

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Raster operations of lines and filled shapes (R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, ...).
enum TPenMode : uint8_t {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

// Published: Color, Mode, Style, Width.
class TPen : public TGraphicsObject {
    WL_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;
    void Assign(const TPersistent& source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    int Width() const { return FWidth; }
    void SetWidth(int width);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode mode);
    HPEN Handle();

protected:
    UniqueHandle<HGDIOBJ, GdiObjectFree> TakeHandle() override {
        return UniqueHandle<HGDIOBJ, GdiObjectFree>(FHandle.release());
    }

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    UniquePen FHandle;
};

class TGraphic;
class TBitmap;
struct BmpLayout;

// Draws on a device context with its own font, brush and pen. A plain canvas only borrows the
// device context given to SetHandle; kinds of canvas that create their own (bitmaps, windows,
// printers) override CreateHandle. Whenever the canvas lets a context go, the objects it
// selected are deselected first, so the context is left as it was found.
// Published: Brush, Font, Pen (nested objects).
class TCanvas : public TPersistent {
    WL_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    // The device context with font, brush and pen selected; created on demand. Throws
    // EInvalidGraphicOperation ("Canvas does not allow drawing") when there is none.
    HDC Handle();
    // Attaches a borrowed device context (or detaches with nullptr).
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont& Font() { return FFont; }
    TBrush& Brush() { return FBrush; }
    TPen& Pen() { return FPen; }
    // Raster operation of CopyRect and Draw (SRCCOPY by default).
    DWORD CopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD rop) { FCopyMode = rop; }
    POINT PenPos() const { return FPenPos; }

    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
    // The dotted focus outline (drawn by inversion: drawing it twice removes it).
    void DrawFocusRect(const RECT& rect);
    // The clipping box of the device context in logical coordinates.
    RECT ClipRect();
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<POINT>& points);
    void Polygon(const std::vector<POINT>& points);

    // Text in the ANSI code page. With a clear brush the background is left; otherwise it is
    // filled with the brush colour. TextOut moves the pen position to the end of the text.
    void TextOut(int x, int y, std::string_view text);
    // Text at (x, y), clipped to rect (and the rect filled unless the brush is clear).
    void TextRect(const RECT& rect, int x, int y, std::string_view text);
    SIZE TextExtent(std::string_view text);
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }

    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const RECT& rect, TGraphic& graphic);
    // Copies (and stretches) part of another canvas with CopyMode.
    void CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect);
    // Copies part of a bitmap, showing the brush colour where the bitmap has `transparent`.
    void BrushCopy(const RECT& dest, TBitmap& source, const RECT& sourceRect, TColor transparent);

    // CLR_INVALID (as TColor -1) outside the context's clipping area.
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

protected:
    virtual void CreateHandle() {}
    // Deselects everything and forgets the device context (the owner frees it).
    void ReleaseDC();

private:
    enum : unsigned { kFont = 1, kBrush = 2, kPen = 4 };
    void Require(unsigned what);
    void Deselect(unsigned what);
    void ApplyBrushBackground();

    HDC FHandle = nullptr;
    unsigned FSelected = 0;
    HGDIOBJ FOldFont = nullptr, FOldBrush = nullptr, FOldPen = nullptr;
    TFont FFont;
    TBrush FBrush;
    TPen FPen;
    DWORD FCopyMode = SRCCOPY;
    POINT FPenPos{0, 0};
};

// Any picture a canvas can draw: bitmaps and icons. Published: Transparent.
class TGraphic : public TPersistent {
    WL_CLASS(TGraphic, TPersistent)
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);

    // Whole files and their bytes; failures throw (EInvalidGraphic for bad data).
    virtual void LoadFromFile(const std::string& path);
    virtual void SaveToFile(const std::string& path) const;
    virtual void LoadFromBytes(std::string_view bytes) = 0;
    virtual std::string SaveToBytes() const = 0;
    // The rest of the stream from its position; writing appends SaveToBytes.
    virtual void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
    void Changed();
    bool FTransparent = false;
};

enum TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode : uint8_t { tmAuto, tmFixed };

class TBitmapCanvas;

// A device-independent bitmap (DIB section): pixels in memory that both GDI and ScanLine reach.
// A new bitmap is empty (0 x 0) and 24 bits per pixel. Pixel formats that can be chosen are
// pf1bit (black and white), pf24bit, pf32bit and pfDevice (the screen's depth); loaded files may
// also give pf4bit, pf8bit or pf16bit, which can be converted away from but not to.
// Published: Transparent, TransparentColor, TransparentMode, and the binary property "Data"
// (a 32-bit length followed by a BMP file) through which form files carry the pixels.
class TBitmap : public TGraphic {
    WL_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pf24bit);
    ~TBitmap() override;

    // Deep copy of pixels, format, palette and transparency settings of another bitmap; other
    // sources throw.
    void Assign(const TPersistent& source) override;
    bool ReadBinaryProperty(const std::string& name, const std::string& bytes) override;
    void WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const override;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    void SetWidth(int width) { SetSize(width, FHeight); }
    void SetHeight(int height) { SetSize(FWidth, height); }
    // Keeps the pixels of the overlapping top-left part; new pixels are zero (black).
    // Negative sizes throw EInvalidGraphicOperation.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return FFormat; }
    // Converts the pixels to the new format (colours to black and white for pf1bit by nearness).
    void SetPixelFormat(TPixelFormat format);
    int BitsPerPixel() const { return FBitCount; }
    // Bytes from one row to the next (rows are DWORD aligned).
    int RowBytes() const;

    // Row y (0 = top) of the pixels, for direct access; pending GDI drawing is flushed first.
    // Throws EInvalidGraphicOperation for a row outside the bitmap.
    void* ScanLine(int row);

    // The DIB section (owned by the bitmap; null while empty).
    HBITMAP Handle() const { return FHandle.get(); }
    // Gives up the DIB section to the caller, who must free it; the bitmap becomes empty.
    HBITMAP ReleaseHandle();

    // The bitmap's own canvas (a memory device context selected with this bitmap).
    TCanvas& Canvas();
    bool HasCanvas() const { return FCanvas != nullptr; }

    // Colour of pixels left out when drawn transparently: tmAuto takes the bottom-left pixel,
    // setting a colour switches to tmFixed.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode mode) { FTransparentMode = mode; }

    // BMP files and their bytes: any common BMP (1/4/8/16/24/32 bits, RLE, top-down, core
    // headers) is read; writing keeps the pixel format. Damaged data throws EInvalidGraphic.
    void LoadFromBytes(std::string_view bytes) override;
    std::string SaveToBytes() const override;
    // Reads one BMP file and leaves the stream just after it (its size is in its header).
    void LoadFromStream(TStream& stream) override;
    // An RT_BITMAP resource; throws EInvalidGraphic when it is missing or damaged.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    void LoadFromResourceID(HINSTANCE instance, int id);

    // Frees the pixels; the bitmap becomes 0 x 0 (format kept).
    void Clear();

protected:
    void Draw(TCanvas& canvas, const RECT& rect) override;

private:
    friend class TBitmapCanvas;
    struct Dib;
    void Replace(Dib&& dib);
    void LoadLayout(std::string_view all, const BmpLayout& layout);
    void DetachCanvas();

    int FWidth = 0, FHeight = 0;
    TPixelFormat FFormat = pf24bit;
    int FBitCount = 24;
    std::vector<RGBQUAD> FPalette; // for 1, 4 and 8 bits per pixel
    UniqueBitmap FHandle;
    uint8_t* FBits = nullptr;
    std::unique_ptr<TBitmapCanvas> FCanvas;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
};

// An icon (or cursor-sized image with a mask); owns its HICON.
class TIcon : public TGraphic {
    WL_CLASS(TIcon, TGraphic)
public:
    TIcon() = default;
    ~TIcon() override = default;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    bool Empty() const override { return !FHandle; }
    HICON Handle() const { return FHandle.get(); }
    // Takes ownership of an icon handle (null empties the icon).
    void SetHandle(HICON icon);
    HICON ReleaseHandle();

    // An icon resource of the given size (0 x 0: the system's default icon size).
    void LoadFromResourceName(HINSTANCE instance, const std::string& name, int cx = 0, int cy = 0);
    void LoadFromResourceID(HINSTANCE instance, int id, int cx = 0, int cy = 0);
    void LoadFromFile(const std::string& path) override;
    void LoadFromBytes(std::string_view bytes) override;
    // Not supported: icons are only read. Throws EInvalidGraphicOperation.
    std::string SaveToBytes() const override;

protected:
    void Draw(TCanvas& canvas, const RECT& rect) override;

private:
    void Take(HICON icon, const char* what);
    UniqueIcon FHandle;
    int FWidth = 0, FHeight = 0;
};

// The text of a Win32 error code (FormatMessage), without trailing line breaks.
std::string Win32ErrorText(DWORD code);

} // namespace wl
