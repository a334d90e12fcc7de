// Fonts, brushes, pens and the canvas; file helpers shared by every picture.
#include "ui/graphics.h"

#include <climits>
#include <cstring>

namespace wl {

std::string Win32ErrorText(DWORD code) {
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (n && buffer) text.assign(buffer, n);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) text = "System error, code " + std::to_string(code);
    return text;
}

namespace {

// GDI reads the top byte of a COLORREF as palette flags; plain colours must not carry any.
COLORREF ToColorRef(TColor color) { return static_cast<COLORREF>(ColorToRGB(color)) & 0xFFFFFF; }

int ClampLength(std::string_view text) {
    return text.size() > size_t(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
}

} // namespace

// ---- graphics objects ------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TGraphicsObject, WL_NO_PROPERTIES)

WL_DEFINE_CLASS(TFont, [](ClassBuilder<TFont>& c) {
    c.Int("Charset", &TFont::Charset, &TFont::SetCharset);
    c.Color("Color", &TFont::Color, &TFont::SetColor);
    c.Int("Height", &TFont::Height, &TFont::SetHeight);
    c.Str("Name", &TFont::Name, &TFont::SetName);
    c.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch,
           {{"fpDefault", fpDefault}, {"fpVariable", fpVariable}, {"fpFixed", fpFixed}});
    c.Int("Size", &TFont::Size, &TFont::SetSize);
    c.Set("Style", &TFont::Style, &TFont::SetStyle,
          {{"fsBold", 1 << fsBold}, {"fsItalic", 1 << fsItalic}, {"fsUnderline", 1 << fsUnderline},
           {"fsStrikeOut", 1 << fsStrikeOut}});
})

WL_DEFINE_CLASS(TBrush, [](ClassBuilder<TBrush>& c) {
    c.Color("Color", &TBrush::Color, &TBrush::SetColor);
    c.Enum("Style", &TBrush::Style, &TBrush::SetStyle,
           {{"bsSolid", bsSolid}, {"bsClear", bsClear}, {"bsHorizontal", bsHorizontal},
            {"bsVertical", bsVertical}, {"bsFDiagonal", bsFDiagonal}, {"bsBDiagonal", bsBDiagonal},
            {"bsCross", bsCross}, {"bsDiagCross", bsDiagCross}});
})

WL_DEFINE_CLASS(TPen, [](ClassBuilder<TPen>& c) {
    c.Color("Color", &TPen::Color, &TPen::SetColor);
    c.Enum("Mode", &TPen::Mode, &TPen::SetMode,
           {{"pmBlack", pmBlack}, {"pmWhite", pmWhite}, {"pmNop", pmNop}, {"pmNot", pmNot},
            {"pmCopy", pmCopy}, {"pmNotCopy", pmNotCopy}, {"pmMergePenNot", pmMergePenNot},
            {"pmMaskPenNot", pmMaskPenNot}, {"pmMergeNotPen", pmMergeNotPen},
            {"pmMaskNotPen", pmMaskNotPen}, {"pmMerge", pmMerge}, {"pmNotMerge", pmNotMerge},
            {"pmMask", pmMask}, {"pmNotMask", pmNotMask}, {"pmXor", pmXor}, {"pmNotXor", pmNotXor}});
    c.Enum("Style", &TPen::Style, &TPen::SetStyle,
           {{"psSolid", psSolid}, {"psDash", psDash}, {"psDot", psDot}, {"psDashDot", psDashDot},
            {"psDashDotDot", psDashDotDot}, {"psClear", psClear}, {"psInsideFrame", psInsideFrame}});
    c.Int("Width", &TPen::Width, &TPen::SetWidth);
})

WL_DEFINE_CLASS(TCanvas, [](ClassBuilder<TCanvas>& c) {
    c.Object("Brush", [](TCanvas& canvas) { return &canvas.Brush(); });
    c.Object("Font", [](TCanvas& canvas) { return &canvas.Font(); });
    c.Object("Pen", [](TCanvas& canvas) { return &canvas.Pen(); });
})

WL_DEFINE_ABSTRACT_CLASS(TGraphic, [](ClassBuilder<TGraphic>& c) {
    c.Bool("Transparent", &TGraphic::Transparent, &TGraphic::SetTransparent);
})

void TGraphicsObject::Changed() {
    // The old handle stays alive until the owner has deselected it (deleting an object that is
    // still selected into a device context fails and leaks it); a handle asked for meanwhile
    // is already the new one.
    UniqueHandle<HGDIOBJ, GdiObjectFree> old = TakeHandle();
    OnChange(this);
}

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::Assign(const TPersistent& persistent) {
    const auto* font = dynamic_cast<const TFont*>(&persistent);
    if (!font) return inherited::Assign(persistent);
    const TFont& source = *font;
    if (&source == this) return;
    FName = source.FName;
    FHeight = source.FHeight;
    FStyle = source.FStyle;
    FColor = source.FColor;
    FCharset = source.FCharset;
    FPitch = source.FPitch;
    if (source.FPixelsPerInch != FPixelsPerInch) FHeight = -MulDiv(source.Size(), FPixelsPerInch, 72);
    Changed();
}

void TFont::SetName(const std::string& name) {
    if (name == FName || name.empty()) return;
    FName = name;
    Changed();
}
void TFont::SetHeight(int height) {
    if (height == FHeight) return;
    FHeight = height;
    Changed();
}
int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, FPixelsPerInch, 72)); }
void TFont::SetStyle(TFontStyles style) {
    if (style == FStyle) return;
    FStyle = style;
    Changed();
}
void TFont::SetColor(TColor color) {
    if (color == FColor) return;
    FColor = color;
    Changed();
}
void TFont::SetCharset(TFontCharset charset) {
    if (charset == FCharset) return;
    FCharset = charset;
    Changed();
}
void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == FPitch) return;
    FPitch = pitch;
    Changed();
}
void TFont::SetPixelsPerInch(int ppi) {
    if (ppi <= 0 || ppi == FPixelsPerInch) return;
    int size = Size();
    FPixelsPerInch = ppi;
    FHeight = -MulDiv(size, ppi, 72);
    Changed();
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONTA lf{};
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & (1u << fsBold)) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & (1u << fsItalic)) ? TRUE : FALSE;
        lf.lfUnderline = (FStyle & (1u << fsUnderline)) ? TRUE : FALSE;
        lf.lfStrikeOut = (FStyle & (1u << fsStrikeOut)) ? TRUE : FALSE;
        lf.lfCharSet = FCharset;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                              : FPitch == fpVariable ? VARIABLE_PITCH
                                                     : DEFAULT_PITCH;
        std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
        FHandle.reset(CreateFontIndirectA(&lf));
        if (!FHandle) throw EInvalidGraphicOperation("Cannot create font: " + Win32ErrorText(GetLastError()));
    }
    return FHandle.get();
}

void TBrush::Assign(const TPersistent& persistent) {
    const auto* brush = dynamic_cast<const TBrush*>(&persistent);
    if (!brush) return inherited::Assign(persistent);
    const TBrush& source = *brush;
    if (&source == this) return;
    FColor = source.FColor;
    FStyle = source.FStyle;
    Changed();
}
void TBrush::SetColor(TColor color) {
    if (color == FColor && FStyle != bsClear) return;
    FColor = color;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}
void TBrush::SetStyle(TBrushStyle style) {
    if (style == FStyle) return;
    FStyle = style;
    Changed();
}
HBRUSH TBrush::Handle() {
    if (FStyle == bsClear) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!FHandle) {
        if (FStyle == bsSolid)
            FHandle.reset(CreateSolidBrush(ToColorRef(FColor)));
        else
            FHandle.reset(CreateHatchBrush(int(FStyle) - int(bsHorizontal) + HS_HORIZONTAL,
                                           ToColorRef(FColor)));
        if (!FHandle) throw EInvalidGraphicOperation("Cannot create brush: " + Win32ErrorText(GetLastError()));
    }
    return FHandle.get();
}

void TPen::Assign(const TPersistent& persistent) {
    const auto* pen = dynamic_cast<const TPen*>(&persistent);
    if (!pen) return inherited::Assign(persistent);
    const TPen& source = *pen;
    if (&source == this) return;
    FColor = source.FColor;
    FWidth = source.FWidth;
    FStyle = source.FStyle;
    FMode = source.FMode;
    Changed();
}
void TPen::SetColor(TColor color) {
    if (color == FColor) return;
    FColor = color;
    Changed();
}
void TPen::SetWidth(int width) {
    if (width < 0) width = 0;
    if (width == FWidth) return;
    FWidth = width;
    Changed();
}
void TPen::SetStyle(TPenStyle style) {
    if (style == FStyle) return;
    FStyle = style;
    Changed();
}
void TPen::SetMode(TPenMode mode) {
    if (mode == FMode) return;
    FMode = mode;
    Changed();
}
HPEN TPen::Handle() {
    if (FStyle == psClear) return static_cast<HPEN>(GetStockObject(NULL_PEN));
    if (!FHandle) {
        // The enumeration follows the PS_* numbering (PS_SOLID .. PS_INSIDEFRAME).
        FHandle.reset(CreatePen(int(FStyle), FWidth, ToColorRef(FColor)));
        if (!FHandle) throw EInvalidGraphicOperation("Cannot create pen: " + Win32ErrorText(GetLastError()));
    }
    return FHandle.get();
}

// ---- canvas ----------------------------------------------------------------------------------

TCanvas::TCanvas() {
    FFont.OnChange = [this](TObject*) { Deselect(kFont); };
    FBrush.OnChange = [this](TObject*) { Deselect(kBrush); };
    FPen.OnChange = [this](TObject*) { Deselect(kPen); };
}

TCanvas::~TCanvas() {
    if (FHandle) Deselect(kFont | kBrush | kPen);
}

HDC TCanvas::Handle() {
    if (!FHandle) CreateHandle();
    if (!FHandle) throw EInvalidGraphicOperation("Canvas does not allow drawing");
    Require(kFont | kBrush | kPen);
    return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == FHandle) return;
    if (FHandle) Deselect(kFont | kBrush | kPen);
    FHandle = dc;
    if (dc) {
        POINT p{};
        if (GetCurrentPositionEx(dc, &p)) FPenPos = p;
    }
}

void TCanvas::ReleaseDC() {
    if (FHandle) Deselect(kFont | kBrush | kPen);
    FHandle = nullptr;
}

void TCanvas::Require(unsigned what) {
    unsigned missing = what & ~FSelected;
    if (missing & kFont) {
        FOldFont = SelectObject(FHandle, FFont.Handle());
        SetTextColor(FHandle, ToColorRef(FFont.Color()));
        FSelected |= kFont;
    }
    if (missing & kBrush) {
        FOldBrush = SelectObject(FHandle, FBrush.Handle());
        ApplyBrushBackground();
        FSelected |= kBrush;
    }
    if (missing & kPen) {
        FOldPen = SelectObject(FHandle, FPen.Handle());
        static const int kRop2[] = {R2_BLACK,       R2_WHITE,       R2_NOP,       R2_NOT,
                                    R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                    R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,  R2_NOTMERGEPEN,
                                    R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,    R2_NOTXORPEN};
        SetROP2(FHandle, kRop2[FPen.Mode()]);
        FSelected |= kPen;
    }
}

void TCanvas::ApplyBrushBackground() {
    // Text and hatch backgrounds follow the brush: a clear brush leaves what is underneath.
    if (FBrush.Style() == bsClear) {
        SetBkMode(FHandle, TRANSPARENT);
    } else {
        SetBkMode(FHandle, OPAQUE);
        SetBkColor(FHandle, ToColorRef(FBrush.Color()));
    }
}

void TCanvas::Deselect(unsigned what) {
    unsigned selected = what & FSelected;
    if (!FHandle) {
        FSelected = 0;
        return;
    }
    if ((selected & kFont) && FOldFont) SelectObject(FHandle, FOldFont);
    if ((selected & kBrush) && FOldBrush) SelectObject(FHandle, FOldBrush);
    if ((selected & kPen) && FOldPen) SelectObject(FHandle, FOldPen);
    if (selected & kFont) FOldFont = nullptr;
    if (selected & kBrush) FOldBrush = nullptr;
    if (selected & kPen) FOldPen = nullptr;
    FSelected &= ~selected;
}

void TCanvas::FillRect(const RECT& rect) {
    HDC dc = Handle();
    ::FillRect(dc, &rect, FBrush.Handle());
}

void TCanvas::FrameRect(const RECT& rect) {
    HDC dc = Handle();
    ::FrameRect(dc, &rect, FBrush.Handle());
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) { ::Rectangle(Handle(), x1, y1, x2, y2); }

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) { ::Ellipse(Handle(), x1, y1, x2, y2); }

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) {
    ::RoundRect(Handle(), x1, y1, x2, y2, cornerWidth, cornerHeight);
}

void TCanvas::DrawFocusRect(const RECT& rect) { ::DrawFocusRect(Handle(), &rect); }

RECT TCanvas::ClipRect() {
    RECT r{0, 0, 0, 0};
    GetClipBox(Handle(), &r);
    return r;
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(Handle(), x, y, nullptr);
    FPenPos = {x, y};
}

void TCanvas::LineTo(int x, int y) {
    ::LineTo(Handle(), x, y);
    FPenPos = {x, y};
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
    if (points.empty()) return;
    ::Polyline(Handle(), points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
    if (points.empty()) return;
    ::Polygon(Handle(), points.data(), static_cast<int>(points.size()));
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    HDC dc = Handle();
    ExtTextOutA(dc, x, y, 0, nullptr, text.data(), ClampLength(text), nullptr);
    MoveTo(x + TextExtent(text).cx, y);
}

void TCanvas::TextRect(const RECT& rect, int x, int y, std::string_view text) {
    HDC dc = Handle();
    UINT options = ETO_CLIPPED | (FBrush.Style() != bsClear ? ETO_OPAQUE : 0);
    ExtTextOutA(dc, x, y, options, &rect, text.data(), ClampLength(text), nullptr);
}

SIZE TCanvas::TextExtent(std::string_view text) {
    SIZE size{0, 0};
    GetTextExtentPoint32A(Handle(), text.data(), ClampLength(text), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
    if (graphic.Empty()) return;
    graphic.Draw(*this, RECT{x, y, x + graphic.Width(), y + graphic.Height()});
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic& graphic) {
    if (graphic.Empty()) return;
    graphic.Draw(*this, rect);
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect) {
    HDC dc = Handle();
    HDC src = source.Handle();
    StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src,
               sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
               sourceRect.bottom - sourceRect.top, FCopyMode);
}

TColor TCanvas::Pixel(int x, int y) { return static_cast<TColor>(GetPixel(Handle(), x, y)); }

void TCanvas::SetPixel(int x, int y, TColor color) { ::SetPixel(Handle(), x, y, ToColorRef(color)); }

// ---- pictures --------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    Changed();
}

void TGraphic::Changed() { OnChange(this); }

void TGraphic::LoadFromStream(TStream& stream) { LoadFromBytes(stream.ReadAll()); }

void TGraphic::SaveToStream(TStream& stream) const {
    const std::string bytes = SaveToBytes();
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TGraphic::LoadFromFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw EFOpenError("Cannot open file \"" + path + "\". " + Win32ErrorText(GetLastError()));
    std::string bytes;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (1LL << 30);
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
              got == bytes.size());
    }
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) throw Exception("Cannot read file \"" + path + "\". " + Win32ErrorText(error));
    LoadFromBytes(bytes);
}

void TGraphic::SaveToFile(const std::string& path) const {
    std::string bytes = SaveToBytes();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw EFOpenError("Cannot create file \"" + path + "\". " + Win32ErrorText(GetLastError()));
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) throw Exception("Cannot write file \"" + path + "\". " + Win32ErrorText(error));
}

} // namespace wl
