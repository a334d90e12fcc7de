// Graphics of the user-interface library, checked by drawing into real DIB sections under Wine
// and reading the pixels back through ScanLine and GetPixel.
#include "ui/graphics.h"

#include "support/gdi_count.h"
#include "support/leak_loop.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace wl {
namespace {

// Pixel (x, y) of a 24- or 32-bit bitmap as 0x00BBGGRR, read from its rows.
TColor RowPixel(TBitmap& bmp, int x, int y) {
    const auto* row = static_cast<const uint8_t*>(bmp.ScanLine(y));
    int n = bmp.BitsPerPixel() / 8;
    return row[x * n + 2] | (row[x * n + 1] << 8) | (row[x * n] << 16);
}

void FillWith(TBitmap& bmp, TColor color) {
    bmp.Canvas().Brush().SetColor(color);
    bmp.Canvas().FillRect(RECT{0, 0, bmp.Width(), bmp.Height()});
}

// ---- colours ---------------------------------------------------------------------------------

TEST(Colors, NamesAndHexRoundTrip) {
    struct Case {
        TColor color;
        const char* text;
    } cases[] = {
        {clBlack, "clBlack"},         {clWhite, "clWhite"},     {clRed, "clRed"},
        {clGray, "clGray"},           {clSilver, "clSilver"},   {clFuchsia, "clFuchsia"},
        {clBtnFace, "clBtnFace"},     {clWindowText, "clWindowText"},
        {clHighlight, "clHighlight"}, {clNone, "clNone"},       {clDefault, "clDefault"},
        {clMenuBar, "clMenuBar"},     {0x00123456, "$00123456"}, {0x00FF8000, "$00FF8000"},
        {TColor(0x80000019), "$80000019"}, // system colour index 25 has no name
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorToString(c.color), c.text);
        EXPECT_EQ(StringToColor(c.text), c.color) << c.text;
    }
}

TEST(Colors, ReadingAcceptsAliasesCaseAndNumbers) {
    struct Case {
        const char* text;
        TColor color;
    } cases[] = {
        {"clbtnface", clBtnFace}, {"CLRED", clRed},   {"clDkGray", clGray}, {"clLtGray", clSilver},
        {"255", 255},             {"$FF", 255},       {"-2147483633", clBtnFace},
    };
    for (const auto& c : cases) EXPECT_EQ(StringToColor(c.text), c.color) << c.text;
    for (const char* bad : {"", "clNoSuchColour", "$G0", "red"})
        EXPECT_THROW(StringToColor(bad), EConvertError) << bad;
}

TEST(Colors, SystemColoursResolveThroughTheSystem) {
    for (int index : {COLOR_BTNFACE, COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_3DDKSHADOW})
        EXPECT_EQ(ColorToRGB(SysColor(index)), TColor(GetSysColor(index))) << index;
    for (TColor plain : {clBlack, clWhite, TColor(0x00123456), clNone})
        EXPECT_EQ(ColorToRGB(plain), plain);
}

// ---- fonts, brushes, pens --------------------------------------------------------------------

TEST(Font, SizeAndHeightFollowTheResolution) {
    struct Case {
        int ppi, size, height;
    } cases[] = {{96, 8, -11}, {96, 9, -12}, {96, 12, -16}, {120, 9, -15}, {600, 10, -83}};
    for (const auto& c : cases) {
        TFont f;
        f.SetPixelsPerInch(c.ppi);
        f.SetSize(c.size);
        EXPECT_EQ(f.Height(), c.height) << c.ppi << "/" << c.size;
        EXPECT_EQ(f.Size(), c.size) << c.ppi << "/" << c.size;
    }
}

TEST(Font, ChangesNotifyOnceAndRebuildTheHandle) {
    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &f);
        ++changes;
    };
    f.SetName("Arial");
    f.SetName("Arial"); // no change
    f.SetStyle(FontStyles({fsBold, fsItalic}));
    f.SetHeight(-20);
    EXPECT_EQ(changes, 3);

    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(f.Handle(), sizeof lf, &lf), int(sizeof lf));
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);

    f.SetStyle(FontStyles({fsUnderline}));
    ASSERT_EQ(GetObjectA(f.Handle(), sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_TRUE(lf.lfUnderline);

    TFont copy;
    copy.Assign(f);
    EXPECT_EQ(copy.Name(), "Arial");
    EXPECT_EQ(copy.Height(), -20);
    EXPECT_EQ(copy.Style(), FontStyles({fsUnderline}));
}

TEST(Brush, SettingAColourMakesAClearBrushSolid) {
    TBrush b;
    b.SetStyle(bsClear);
    EXPECT_EQ(b.Handle(), GetStockObject(NULL_BRUSH));
    b.SetColor(clRed);
    EXPECT_EQ(b.Style(), bsSolid);
    LOGBRUSH lb{};
    ASSERT_TRUE(GetObjectA(b.Handle(), sizeof lb, &lb));
    EXPECT_EQ(lb.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(lb.lbColor, COLORREF(clRed));
}

// ---- published properties --------------------------------------------------------------------

TEST(GraphicsProperties, ReadAndWrittenByName) {
    TCanvas canvas;
    struct Case {
        const char* path;
        const char* text;
        const char* readBack; // nullptr: same as text
    } cases[] = {
        {"Font.Name", "MS Sans Serif", nullptr},
        {"Font.Style", "[fsBold, fsUnderline]", nullptr},
        {"Font.Style", "[]", nullptr},
        {"Font.Color", "clBtnFace", nullptr},
        {"Font.Color", "$00123456", nullptr},
        {"Font.Color", "clDkGray", "clGray"},
        {"Font.Height", "-13", nullptr},
        {"Font.Size", "12", nullptr},
        {"Font.Charset", "134", nullptr},
        {"Font.Pitch", "fpFixed", nullptr},
        {"Brush.Color", "clWindow", nullptr},
        {"Brush.Style", "bsClear", nullptr},
        {"Pen.Color", "clRed", nullptr},
        {"Pen.Width", "3", nullptr},
        {"Pen.Style", "psDot", nullptr},
        {"Pen.Mode", "pmXor", nullptr},
    };
    for (const auto& c : cases) {
        SetPropertyText(canvas, c.path, c.text);
        EXPECT_EQ(GetPropertyText(canvas, c.path), c.readBack ? c.readBack : c.text) << c.path;
    }
    EXPECT_EQ(canvas.Font().Height(), -16); // Size 12 at 96 pixels per inch
    EXPECT_EQ(canvas.Pen().Mode(), pmXor);
    EXPECT_THROW(SetPropertyText(canvas, "Font.Style", "[fsHeavy]"), Exception);
    EXPECT_THROW(SetPropertyText(canvas, "Font.Color", "clNoSuchColour"), Exception);
    EXPECT_THROW(SetPropertyText(canvas, "Font.Weight", "1"), EPropertyError);
}

TEST(GraphicsProperties, ClassesByNameAndAssignRules) {
    for (const char* name : {"TFont", "TBrush", "TPen", "TBitmap", "TIcon", "TCanvas"}) {
        std::unique_ptr<TObject> obj(CreateObjectByName(name, nullptr));
        ASSERT_TRUE(obj) << name;
        EXPECT_EQ(obj->ClassName(), name);
        EXPECT_TRUE(obj->InheritsFrom("TPersistent")) << name;
    }
    EXPECT_TRUE(TBitmap().InheritsFrom("TGraphic"));
    EXPECT_THROW(CreateObjectByName("TGraphic", nullptr), EClassNotFound);
    TFont font;
    TBrush brush;
    EXPECT_THROW(font.Assign(brush), EConvertError);
    TBitmap bmp;
    EXPECT_THROW(bmp.Assign(font), EConvertError);
}

TEST(GraphicsProperties, BitmapDataTravelsAsBinaryProperty) {
    TBitmap bmp(3, 2);
    bmp.Canvas().SetPixel(2, 1, clRed);
    std::vector<std::pair<std::string, std::string>> props;
    bmp.WriteBinaryProperties(props);
    ASSERT_EQ(props.size(), 1u);
    EXPECT_EQ(props[0].first, "Data");
    TBitmap back;
    EXPECT_TRUE(back.ReadBinaryProperty("Data", props[0].second));
    EXPECT_EQ(back.Canvas().Pixel(2, 1), clRed);
    EXPECT_FALSE(back.ReadBinaryProperty("Other", props[0].second));
    std::string wrongLength = props[0].second;
    wrongLength[0] = char(wrongLength[0] + 1);
    EXPECT_THROW(back.ReadBinaryProperty("Data", wrongLength), EInvalidGraphic);
    EXPECT_EQ(back.Width(), 3);
}

TEST(GraphicsProperties, StreamsHoldOneBitmapAfterAnother) {
    TBitmap a(2, 2), b(5, 1);
    a.Canvas().SetPixel(0, 0, clLime);
    b.Canvas().SetPixel(4, 0, clBlue);
    TMemoryStream stream;
    a.SaveToStream(stream);
    b.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap first, second;
    first.LoadFromStream(stream);
    second.LoadFromStream(stream);
    EXPECT_EQ(first.Width(), 2);
    EXPECT_EQ(first.Canvas().Pixel(0, 0), clLime);
    EXPECT_EQ(second.Width(), 5);
    EXPECT_EQ(second.Canvas().Pixel(4, 0), clBlue);
    EXPECT_EQ(stream.Position(), stream.Size());
}

// ---- canvas on a bitmap ----------------------------------------------------------------------

TEST(Canvas, FillFrameAndRectangleReadBack) {
    TBitmap bmp(10, 8);
    FillWith(bmp, clWhite);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(clBlue);
    c.FrameRect(RECT{1, 1, 5, 5});
    c.Pen().SetColor(clRed);
    c.Brush().SetColor(clLime);
    c.Rectangle(5, 3, 9, 8);
    struct Case {
        int x, y;
        TColor color;
    } cases[] = {
        {0, 0, clWhite}, {1, 1, clBlue},  {4, 4, clBlue}, {2, 2, clWhite}, // frame, inside untouched
        {5, 3, clRed},   {8, 7, clRed},   {6, 4, clLime}, {7, 6, clLime},  // outline and filling
        {9, 7, clWhite},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(RowPixel(bmp, k.x, k.y), k.color) << k.x << "," << k.y;
        EXPECT_EQ(c.Pixel(k.x, k.y), k.color) << k.x << "," << k.y;
    }
}

TEST(Canvas, LinesPixelsAndPenModes) {
    TBitmap bmp(8, 8);
    FillWith(bmp, clBlack);
    TCanvas& c = bmp.Canvas();
    c.Pen().SetColor(clYellow);
    c.MoveTo(0, 2);
    c.LineTo(8, 2);
    EXPECT_EQ(c.PenPos().x, 8);
    c.SetPixel(3, 5, clAqua);
    c.Pen().SetMode(pmNot); // inverts what is underneath whatever the pen colour
    c.MoveTo(0, 6);
    c.LineTo(8, 6);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(RowPixel(bmp, x, 2), clYellow) << x;
        EXPECT_EQ(RowPixel(bmp, x, 6), clWhite) << x;
        EXPECT_EQ(RowPixel(bmp, x, 1), clBlack) << x;
    }
    EXPECT_EQ(RowPixel(bmp, 3, 5), clAqua);
    EXPECT_EQ(c.Pixel(3, 5), clAqua);

    // The focus outline inverts, so a second one restores the pixels.
    TBitmap before;
    before.Assign(bmp);
    c.DrawFocusRect(RECT{1, 1, 7, 7});
    EXPECT_NE(bmp.SaveToBytes(), before.SaveToBytes());
    c.DrawFocusRect(RECT{1, 1, 7, 7});
    EXPECT_EQ(bmp.SaveToBytes(), before.SaveToBytes());
    RECT clip = c.ClipRect();
    EXPECT_EQ(clip.right, 8);
    EXPECT_EQ(clip.bottom, 8);
}

TEST(Canvas, TextUsesFontColourAndBrushBackground) {
    TBitmap bmp(80, 60);
    FillWith(bmp, clWhite);
    TCanvas& c = bmp.Canvas();
    c.Font().SetColor(clRed);
    c.Font().SetHeight(-16);
    c.Brush().SetColor(clLime);
    SIZE ext = c.TextExtent("WWW");
    ASSERT_GT(ext.cx, 0);
    ASSERT_LT(ext.cy, 30);
    EXPECT_GT(c.TextWidth("WWWWWW"), ext.cx);
    c.TextOut(0, 0, "WWW");
    EXPECT_EQ(c.PenPos().x, ext.cx);
    // Glyph edges may be smoothed, so ink is counted as strongly red pixels.
    int red = 0, lime = 0;
    for (int y = 0; y < ext.cy; ++y)
        for (int x = 0; x < ext.cx; ++x) {
            TColor p = RowPixel(bmp, x, y);
            if (p == clLime) ++lime;
            if ((p & 0xFF) >= 200 && ((p >> 8) & 0xFF) <= 80) ++red;
        }
    EXPECT_GT(red, 0);
    EXPECT_GT(lime, 0);
    EXPECT_EQ(RowPixel(bmp, ext.cx + 2, 2), clWhite);

    // A clear brush leaves the background; TextRect clips to its rectangle.
    c.Brush().SetStyle(bsClear);
    const int clipRight = ext.cx / 3 + 2; // a little of the second character
    c.TextRect(RECT{0, 30, clipRight, 60}, 0, 30, "WWWW");
    int ink = 0;
    for (int y = 30; y < 60; ++y) {
        for (int x = 0; x < clipRight; ++x) ink += RowPixel(bmp, x, y) != clWhite;
        for (int x = clipRight; x < 80; ++x) ASSERT_EQ(RowPixel(bmp, x, y), clWhite) << x << "," << y;
    }
    EXPECT_GT(ink, 0);
    for (int y = 30; y < 60; ++y) EXPECT_NE(RowPixel(bmp, 0, y), clLime);
}

TEST(Canvas, DrawStretchCopyAndTransparentDraws) {
    TBitmap src(2, 2);
    src.Canvas().SetPixel(0, 0, clRed);
    src.Canvas().SetPixel(1, 0, clLime);
    src.Canvas().SetPixel(0, 1, clFuchsia);
    src.Canvas().SetPixel(1, 1, clBlue);

    TBitmap dst(8, 8);
    FillWith(dst, clWhite);
    dst.Canvas().Draw(1, 1, src);
    EXPECT_EQ(RowPixel(dst, 1, 1), clRed);
    EXPECT_EQ(RowPixel(dst, 2, 2), clBlue);
    EXPECT_EQ(RowPixel(dst, 3, 3), clWhite);

    dst.Canvas().StretchDraw(RECT{4, 4, 8, 8}, src); // each pixel becomes 2 x 2
    EXPECT_EQ(RowPixel(dst, 5, 5), clRed);
    EXPECT_EQ(RowPixel(dst, 6, 5), clLime);
    EXPECT_EQ(RowPixel(dst, 5, 7), clFuchsia);
    EXPECT_EQ(RowPixel(dst, 7, 7), clBlue);

    FillWith(dst, clWhite);
    src.SetTransparent(true);
    EXPECT_EQ(src.TransparentColor(), clFuchsia); // bottom-left pixel while automatic
    dst.Canvas().Draw(0, 0, src);
    EXPECT_EQ(RowPixel(dst, 0, 1), clWhite);
    EXPECT_EQ(RowPixel(dst, 1, 1), clBlue);
    src.SetTransparentColor(clRed);
    EXPECT_EQ(src.TransparentMode(), tmFixed);
    FillWith(dst, clWhite);
    dst.Canvas().Draw(0, 0, src);
    EXPECT_EQ(RowPixel(dst, 0, 0), clWhite);
    EXPECT_EQ(RowPixel(dst, 0, 1), clFuchsia);

    FillWith(dst, clBlack);
    dst.Canvas().CopyRect(RECT{0, 0, 1, 1}, src.Canvas(), RECT{1, 1, 2, 2});
    EXPECT_EQ(RowPixel(dst, 0, 0), clBlue);

    dst.Canvas().Brush().SetColor(clYellow);
    dst.Canvas().BrushCopy(RECT{2, 2, 4, 4}, src, RECT{0, 0, 2, 2}, clFuchsia);
    EXPECT_EQ(RowPixel(dst, 2, 3), clYellow);
    EXPECT_EQ(RowPixel(dst, 2, 2), clRed);
}

TEST(Canvas, BorrowedContextIsLeftAsFound) {
    TBitmap bmp(4, 4);
    HDC dc = bmp.Canvas().Handle();
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    {
        TCanvas c;
        EXPECT_THROW(c.Handle(), EInvalidGraphicOperation);
        c.SetHandle(dc);
        c.Font().SetName("Arial");
        c.TextOut(0, 0, "x");
        EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), font);
        c.Font().SetHeight(-30); // the old font must be deselected before it is deleted
        c.TextOut(0, 0, "x");
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
}

// ---- bitmaps ---------------------------------------------------------------------------------

TEST(Bitmap, SizeKeepsTheTopLeftAndRowsAreTopDown) {
    TBitmap bmp;
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(bmp.Handle(), nullptr);
    bmp.SetSize(3, 2);
    FillWith(bmp, clWhite);
    bmp.Canvas().SetPixel(0, 0, clRed);
    bmp.Canvas().SetPixel(2, 1, clBlue);
    EXPECT_EQ(RowPixel(bmp, 0, 0), clRed);
    EXPECT_EQ(RowPixel(bmp, 2, 1), clBlue);
    bmp.SetSize(5, 4);
    EXPECT_EQ(RowPixel(bmp, 0, 0), clRed);
    EXPECT_EQ(RowPixel(bmp, 2, 1), clBlue);
    EXPECT_EQ(RowPixel(bmp, 4, 3), clBlack);
    EXPECT_EQ(bmp.Canvas().Pixel(0, 0), clRed); // canvas follows the new pixels
    bmp.SetSize(1, 1);
    EXPECT_EQ(RowPixel(bmp, 0, 0), clRed);
    EXPECT_THROW(bmp.ScanLine(1), EInvalidGraphicOperation);
    EXPECT_THROW(bmp.ScanLine(-1), EInvalidGraphicOperation);
    EXPECT_THROW(bmp.SetSize(-1, 3), EInvalidGraphicOperation);
    bmp.Clear();
    EXPECT_TRUE(bmp.Empty());
}

TEST(Bitmap, PixelFormatConversions) {
    TBitmap bmp(4, 1);
    TColor colors[] = {clWhite, clBlack, TColor(0x00C0C0C0), TColor(0x00404040)};
    for (int x = 0; x < 4; ++x) bmp.Canvas().SetPixel(x, 0, colors[x]);

    bmp.SetPixelFormat(pf32bit);
    EXPECT_EQ(bmp.BitsPerPixel(), 32);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(RowPixel(bmp, x, 0), colors[x]);

    bmp.SetPixelFormat(pf1bit);
    EXPECT_EQ(bmp.BitsPerPixel(), 1);
    const uint8_t bits = *static_cast<uint8_t*>(bmp.ScanLine(0));
    EXPECT_EQ(bits & 0xF0, 0xA0); // white, black, light grey -> white, dark grey -> black
    EXPECT_EQ(bmp.Canvas().Pixel(0, 0), clWhite);
    EXPECT_EQ(bmp.Canvas().Pixel(1, 0), clBlack);

    bmp.SetPixelFormat(pf24bit);
    TColor expected[] = {clWhite, clBlack, clWhite, clBlack};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(RowPixel(bmp, x, 0), expected[x]);
    EXPECT_THROW(bmp.SetPixelFormat(pf8bit), EInvalidGraphicOperation);
}

TEST(Bitmap, AssignIsADeepCopy) {
    TBitmap a(3, 3);
    FillWith(a, clRed);
    a.SetTransparent(true);
    a.SetTransparentColor(clLime);
    TBitmap b;
    b.Assign(a);
    FillWith(a, clBlue);
    EXPECT_EQ(RowPixel(b, 1, 1), clRed);
    EXPECT_NE(b.Handle(), a.Handle());
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), clLime);
}

// Writes a pattern, saves it at the given format, reads it back and compares every pixel.
TEST(Bitmap, BmpRoundTripAtEveryWritableFormat) {
    for (TPixelFormat format : {pf1bit, pf24bit, pf32bit}) {
        TBitmap bmp(13, 7); // odd width exercises the row padding
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                bmp.Canvas().SetPixel(x, y, (x + y) % 3 == 0 ? clWhite : (format == pf1bit ? clBlack : TColor(x * 19 + y * 0x1300 + 0x50000)));
        bmp.SetPixelFormat(format);
        std::string bytes = bmp.SaveToBytes();
        TBitmap back;
        back.LoadFromBytes(bytes);
        EXPECT_EQ(back.PixelFormat(), format);
        ASSERT_EQ(back.Width(), 13);
        ASSERT_EQ(back.Height(), 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(back.Canvas().Pixel(x, y), bmp.Canvas().Pixel(x, y)) << format << ":" << x << "," << y;
        EXPECT_EQ(back.SaveToBytes(), bytes);
    }
}

TEST(Bitmap, FilesAndResources) {
    const std::string path = test::ArtifactDir() + "/graphics_roundtrip.bmp";
    TBitmap bmp;
    bmp.LoadFromResourceName(GetModuleHandleA(nullptr), "RGB3X2");
    ASSERT_EQ(bmp.Width(), 3);
    ASSERT_EQ(bmp.Height(), 2);
    TColor expected[2][3] = {{clRed, clLime, clBlue}, {clWhite, clBlack, clFuchsia}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(RowPixel(bmp, x, y), expected[y][x]);
    bmp.SaveToFile(path);
    TBitmap back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.SaveToBytes(), bmp.SaveToBytes());

    EXPECT_THROW(bmp.LoadFromResourceName(GetModuleHandleA(nullptr), "NOSUCHBITMAP"), EInvalidGraphic);
    EXPECT_THROW(bmp.LoadFromFile(test::ArtifactDir() + "/no-such-file.bmp"), Exception);
    EXPECT_EQ(bmp.Width(), 3); // a failed load leaves the picture alone
}

std::string Bmp(int width, int height, int bits, uint32_t compression, const std::string& palette,
                const std::string& pixels, uint32_t sizeImage = 0) {
    std::string h;
    auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) h.push_back(char(v >> (8 * i))); };
    auto put16 = [&](uint16_t v) { h.push_back(char(v)); h.push_back(char(v >> 8)); };
    h += "BM";
    put32(uint32_t(54 + palette.size() + pixels.size()));
    put32(0);
    put32(uint32_t(54 + palette.size()));
    put32(40);
    put32(uint32_t(width));
    put32(uint32_t(height));
    put16(1);
    put16(uint16_t(bits));
    put32(compression);
    put32(sizeImage);
    put32(0); put32(0); put32(uint32_t(palette.size() / 4)); put32(0);
    return h + palette + pixels;
}

TEST(Bitmap, ReadsOtherBmpLayouts) {
    const std::string pal2("\x00\x00\xFF\x00" "\xFF\x00\x00\x00", 8); // red, blue
    struct Case {
        const char* name;
        std::string file;
        TColor topLeft, topRight, bottomLeft;
    } cases[] = {
        // 2 x 2 top-down 24 bits: first row in the file is the top row.
        {"top-down", Bmp(2, -2, 24, BI_RGB, "", std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00" "\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 16)),
         clRed, clLime, clBlue},
        // 8 bits with a two-entry palette; bottom row first.
        {"8-bit", Bmp(2, 2, 8, BI_RGB, pal2, std::string("\x01\x00\x00\x00" "\x00\x01\x00\x00", 8)), clRed, clBlue, clBlue},
        // RLE8: bottom row "1,0", end of line, top row "0,1", end of bitmap.
        {"rle8", Bmp(2, 2, 8, BI_RLE8, pal2, std::string("\x01\x01\x01\x00\x00\x00" "\x01\x00\x01\x01\x00\x01", 12), 12),
         clRed, clBlue, clBlue},
        // 16 bits 5-5-5: 0x7C00 red, 0x03E0 green, 0x001F blue, 0x7FFF white.
        {"16-bit", Bmp(2, 2, 16, BI_RGB, "", std::string("\x1F\x00\xFF\x7F" "\x00\x7C\xE0\x03", 8)), clRed, clLime, clBlue},
    };
    for (const auto& c : cases) {
        TBitmap bmp;
        ASSERT_NO_THROW(bmp.LoadFromBytes(c.file)) << c.name;
        ASSERT_EQ(bmp.Width(), 2) << c.name;
        ASSERT_EQ(bmp.Height(), 2) << c.name;
        EXPECT_EQ(bmp.Canvas().Pixel(0, 0), c.topLeft) << c.name;
        EXPECT_EQ(bmp.Canvas().Pixel(1, 0), c.topRight) << c.name;
        EXPECT_EQ(bmp.Canvas().Pixel(0, 1), c.bottomLeft) << c.name;
    }
}

// The layout checks themselves are tested natively (bmp_format_test); here a refused load must
// leave the bitmap as it was, and a damaged RLE stream must not run off its buffer.
TEST(Bitmap, DamagedFilesLeaveTheBitmapAlone) {
    const std::string good = Bmp(2, 2, 24, BI_RGB, "", std::string(16, '\x7F'));
    const std::string pal2(8, '\0');
    struct Case {
        const char* name;
        std::string file;
        bool loads;
    } cases[] = {
        {"empty", "", false},
        {"pixels truncated", good.substr(0, good.size() - 1), false},
        {"bit count 7", std::string(good).replace(28, 2, std::string("\x07\x00", 2)), false},
        {"rle runs past the picture", Bmp(2, 2, 8, BI_RLE8, pal2, std::string("\xFF\x01\xFF\x01\x00\x02\xFF\xFF", 8), 8), true},
        {"rle without end mark", Bmp(2, 2, 8, BI_RLE8, pal2, std::string("\x00\x05\x01\x01", 4), 4), true},
    };
    for (const auto& c : cases) {
        TBitmap bmp(1, 1);
        if (c.loads) {
            // GDI decides how much of a damaged stream it draws; it must not crash or overrun.
            try {
                bmp.LoadFromBytes(c.file);
                EXPECT_EQ(bmp.Width(), 2) << c.name;
            } catch (const EInvalidGraphic&) {
                EXPECT_EQ(bmp.Width(), 1) << c.name;
            }
        } else {
            EXPECT_THROW(bmp.LoadFromBytes(c.file), EInvalidGraphic) << c.name;
            EXPECT_EQ(bmp.Width(), 1) << c.name;
        }
    }
}

// ---- icons -----------------------------------------------------------------------------------

// A 16 x 16 32-bit icon file: left half opaque red, right half transparent.
std::string RedHalfIcon() {
    std::string image;
    auto put32 = [&](std::string& s, uint32_t v) { for (int i = 0; i < 4; ++i) s.push_back(char(v >> (8 * i))); };
    auto put16 = [&](std::string& s, uint16_t v) { s.push_back(char(v)); s.push_back(char(v >> 8)); };
    put32(image, 40); put32(image, 16); put32(image, 32); put16(image, 1); put16(image, 32);
    for (int i = 0; i < 6; ++i) put32(image, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) put32(image, x < 8 ? 0xFFFF0000u : 0x00000000u);
    for (int y = 0; y < 16; ++y) put32(image, 0x00FF0000u); // AND mask: right half transparent
    std::string file;
    put16(file, 0); put16(file, 1); put16(file, 1);
    file += std::string("\x10\x10\x00\x00", 4);
    put16(file, 1); put16(file, 32);
    put32(file, uint32_t(image.size()));
    put32(file, 22);
    return file + image;
}

TEST(Icon, LoadsDrawsAndRejects) {
    TIcon icon;
    EXPECT_TRUE(icon.Empty());
    icon.LoadFromBytes(RedHalfIcon());
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Height(), 16);
    TBitmap bmp(16, 16);
    FillWith(bmp, clWhite);
    bmp.Canvas().Draw(0, 0, icon);
    EXPECT_EQ(RowPixel(bmp, 2, 5), clRed);
    EXPECT_EQ(RowPixel(bmp, 12, 5), clWhite);

    const std::string path = test::ArtifactDir() + "/graphics_icon.ico";
    std::ofstream(path, std::ios::binary) << RedHalfIcon();
    TIcon fromFile;
    fromFile.LoadFromFile(path);
    EXPECT_EQ(fromFile.Width(), 16);

    std::string bad = RedHalfIcon();
    bad[18] = char(0x7F); // image offset far past the end
    for (const std::string& b : {std::string(), std::string("\0\0\1\0\0\0", 6), bad})
        EXPECT_THROW(icon.LoadFromBytes(b), EInvalidGraphic);
    EXPECT_EQ(icon.Width(), 16);
    HICON h = icon.ReleaseHandle();
    EXPECT_TRUE(icon.Empty());
    EXPECT_TRUE(DestroyIcon(h));
}

// ---- handle ownership ------------------------------------------------------------------------

using test::ExpectNoLeak;
using test::LiveGdiObjects;

TEST(Graphics, GdiObjectCountStaysFlat) {
    auto cycle = [](int i) {
        TBitmap bmp(20, 20, i % 2 ? pf24bit : pf32bit);
        TCanvas& c = bmp.Canvas();
        c.Brush().SetColor(TColor(i * 1000));
        c.FillRect(RECT{0, 0, 20, 20});
        c.Font().SetHeight(-10 - i % 5);
        c.Font().SetStyle(FontStyles({fsBold}));
        c.Pen().SetWidth(1 + i % 3);
        c.TextOut(0, 0, "ab");
        c.Rectangle(1, 1, 5, 5);
        TBitmap copy;
        copy.Assign(bmp);
        copy.SetPixelFormat(pf1bit);
        copy.Canvas().StretchDraw(RECT{0, 0, 10, 10}, bmp);
        copy.SetSize(30, 5);
        bmp.Canvas().Draw(0, 0, copy);
        TIcon icon;
        icon.LoadFromBytes(RedHalfIcon());
        bmp.Canvas().Draw(0, 0, icon);
    };
    ASSERT_GT(LiveGdiObjects(), 0) << "GDI objects cannot be counted here";
    // The first cycles may create lasting stock objects: the warm-up takes them.
    ExpectNoLeak(cycle);
    // The counter itself must see a leak.
    const long before = LiveGdiObjects();
    HBRUSH leak = CreateSolidBrush(0);
    EXPECT_EQ(LiveGdiObjects(), before + 1);
    DeleteObject(leak);
}

} // namespace
} // namespace wl
