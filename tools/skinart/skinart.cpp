// skinart: draws the default skin's bitmaps.
//   skinart PALETTE.ini OUTDIR     every bitmap that skins/default/skin.ini names
//   skinart --builtin OUTDIR       the program's own bitmap resources (track grooves, the four
//                                  system-menu glyphs)
// Output is a pure function of the palette, so builds are reproducible. Every shape is drawn
// without blending into the key colour 0xFF00FF, which marks transparent pixels.
#include "art.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using namespace skinart;

namespace {

// ---- palette file -------------------------------------------------------------------------

struct Palette {
    std::map<std::string, std::string> colours, geometry;
    Rgb C(const std::string& name) const {
        auto it = colours.find(name);
        if (it == colours.end()) throw std::runtime_error("palette has no colour " + name);
        return ParseRgb(it->second);
    }
    int G(const std::string& name) const {
        auto it = geometry.find(name);
        if (it == geometry.end()) throw std::runtime_error("palette has no size " + name);
        return std::stoi(it->second);
    }
};

std::string TrimText(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

Palette ReadPalette(const std::string& path) {
    std::ifstream f(path);
    if (!f) throw std::runtime_error("cannot read " + path);
    Palette p;
    std::string line, section;
    while (std::getline(f, line)) {
        line = TrimText(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) throw std::runtime_error("bad palette line: " + line);
        std::string key = TrimText(line.substr(0, eq)), value = TrimText(line.substr(eq + 1));
        if (section == "Colours") p.colours[key] = value;
        else if (section == "Geometry") p.geometry[key] = value;
    }
    return p;
}

// ---- shared shapes ------------------------------------------------------------------------

// Interactive states in the order most strips use them.
enum State { Normal, Pressed, Disabled, HotState, Focused };

// Arrow glyphs, pointing down; the others are rotations.
const std::vector<std::string> kArrowDown7 = {"#######", ".#####.", "..###..", "...#..."};
const std::vector<std::string> kArrowDown5 = {"#####", ".###.", "..#.."};

std::vector<std::string> Rotate(const std::vector<std::string>& rows, int quarterTurns) {
    std::vector<std::string> r = rows;
    for (int q = 0; q < quarterTurns; ++q) { // clockwise
        std::vector<std::string> t(r.empty() ? 0 : r[0].size(), std::string(r.size(), '.'));
        for (size_t y = 0; y < r.size(); ++y)
            for (size_t x = 0; x < r[y].size(); ++x) t[x][r.size() - 1 - y] = r[y][x];
        r = t;
    }
    return r;
}
// Direction: 0 down, 1 left, 2 up, 3 right.
std::vector<std::string> Arrow(const std::vector<std::string>& down, int dir) {
    return Rotate(down, dir);
}

void StampCentred(Image& img, int x, int y, int w, int h, const std::vector<std::string>& g,
                  Rgb c) {
    int gw = static_cast<int>(g[0].size()), gh = static_cast<int>(g.size());
    img.Stamp(x + (w - gw) / 2, y + (h - gh) / 2, g, c);
}

// A raised push-button face in the given state, rounded with radius r.
void ButtonFace(const Palette& p, Image& img, int x, int y, int w, int h, int r, State s) {
    Rgb top = p.C("FaceLight"), bottom = Mix(p.C("Face"), p.C("Line"), 0.25),
        line = p.C("Line");
    switch (s) {
    case Pressed: top = p.C("Pressed"), bottom = Mix(p.C("Pressed"), p.C("Hot"), 0.6),
                  line = p.C("HotLine"); break;
    case Disabled: top = bottom = p.C("Disabled"), line = Mix(p.C("Line"), p.C("Face"), 0.5);
                   break;
    case HotState: top = p.C("White"), bottom = p.C("Hot"), line = p.C("HotLine"); break;
    case Focused: line = p.C("Accent"); break;
    default: break;
    }
    img.RoundFill(x, y, w, h, r, [&](int row) { return Mix(top, bottom, row / (h - 1.0)); });
    img.RoundFrame(x, y, w, h, r, line);
    if (s == Focused) img.RoundFrame(x + 1, y + 1, w - 2, h - 2, std::max(0, r - 1),
                                     p.C("AccentLight"));
    else if (s != Pressed && s != Disabled)
        img.HLine(x + r, y + 1, w - 2 * r, p.C("White")); // a soft top highlight
}

// Strip of `n` cells of w x h, each drawn by `cell`.
Image Strip(int n, int w, int h, const std::function<void(Image&, int x, int index)>& cell) {
    Image img(n * w, h);
    for (int i = 0; i < n; ++i) cell(img, i * w, i);
    return img;
}

// ---- the skin's elements ------------------------------------------------------------------

struct Out {
    std::string dir;
    void operator()(const std::string& name, const Image& img) const {
        img.SaveBmp(dir + "/" + name);
    }
};

void Frame(const Palette& p, const Out& save) {
    const int th = p.G("TitleHeight"), r = p.G("CornerRadius"), bw = p.G("BorderWidth");
    const int tw = 120;
    Image top(tw, 2 * th);
    for (int cell = 0; cell < 2; ++cell) {
        const bool act = cell == 0;
        Rgb t = p.C(act ? "TitleTop" : "TitleInactiveTop");
        Rgb b = p.C(act ? "TitleBottom" : "TitleInactiveBottom");
        Rgb edge = p.C(act ? "TitleEdge" : "TitleInactiveEdge");
        // The shape runs r rows past the cell so only its top corners are rounded; the
        // overflow falls outside the cell image.
        Image c(tw, th);
        c.RoundFill(0, 0, tw, th + r, r, [&](int row) { return Mix(t, b, row / (th - 1.0)); },
                    3);
        c.RoundFrame(0, 0, tw, th + r, r, edge, 3);
        for (int x = r; x < tw - r; ++x) c.Set(x, 1, Mix(t, p.C("White"), 0.25));
        top.Blit(c, 0, cell * th);
    }
    save("frame_top.bmp", top);

    // Side and bottom borders: outer edge line, body, inner line.
    auto borderColour = [&](int depth, bool act) {
        if (depth == 0) return p.C(act ? "TitleEdge" : "TitleInactiveEdge");
        if (depth == bw - 1) return p.C(act ? "LineDark" : "Line");
        return p.C(act ? "TitleBottom" : "TitleInactiveBottom");
    };
    const int sideH = 40;
    Image left(2 * bw, sideH), right(2 * bw, sideH), bottom(40, 2 * bw);
    for (int cell = 0; cell < 2; ++cell)
        for (int d = 0; d < bw; ++d) {
            left.VLine(cell * bw + d, 0, sideH, borderColour(d, cell == 0));
            right.VLine(cell * bw + bw - 1 - d, 0, sideH, borderColour(d, cell == 0));
        }
    for (int cell = 0; cell < 2; ++cell)
        for (int y = 0; y < bw; ++y)
            for (int x = 0; x < 40; ++x) {
                int d = std::min({x, 39 - x, bw - 1 - y});
                bottom.Set(x, cell * bw + y, borderColour(d, cell == 0));
            }
    save("frame_left.bmp", left);
    save("frame_right.bmp", right);
    save("frame_bottom.bmp", bottom);
}

void TitleButtons(const Palette& p, const Out& save) {
    const int w = p.G("CaptionButtonWidth"), h = p.G("CaptionButtonHeight");
    const std::vector<std::string> close = {"##......##", ".##....##.", "..##..##..",
                                            "...####...", "....##....", "...####...",
                                            "..##..##..", ".##....##.", "##......##"};
    const std::vector<std::string> max = {"##########", "##########", "#........#", "#........#",
                                          "#........#", "#........#", "#........#",
                                          "##########"};
    const std::vector<std::string> restore = {"..########", "..########", "..#......#",
                                              "########.#", "########.#", "#......###",
                                              "#......#..", "#......#..", "########.."};
    const std::vector<std::string> min = {"..........", "..........", "..........",
                                          "..........", "..........", "..........",
                                          "##########", "##########"};
    struct Kind {
        const char* name;
        const std::vector<std::string>* glyph;
        bool warm; // the close button turns red when hot or pressed
    } kinds[] = {{"close", &close, true}, {"max", &max, false}, {"restore", &restore, false},
                 {"min", &min, false}};
    for (const Kind& k : kinds)
        for (int inactive = 0; inactive < 2; ++inactive) {
            Rgb strip = p.C(inactive ? "TitleInactiveTop" : "TitleTop");
            Rgb glyph = p.C(inactive ? "GlyphInactive" : "Glyph");
            // cells: normal, pressed, hot
            Image img = Strip(3, w, h, [&](Image& im, int x, int i) {
                if (i != 0) {
                    Rgb fill = k.warm ? p.C(i == 1 ? "ClosePressed" : "CloseHot")
                                      : (i == 1 ? Mix(strip, p.C("Text"), 0.35)
                                                : Mix(strip, p.C("White"), 0.22));
                    im.RoundFill(x + 1, 0, w - 2, h, 3, [&](int) { return fill; });
                }
                StampCentred(im, x, i == 1 ? 1 : 0, w, h, *k.glyph, glyph);
            });
            save(std::string("title_") + k.name + (inactive ? "_inactive" : "") + ".bmp", img);
        }
}

void MdiButtons(const Palette& p, const Out& save) {
    const std::vector<std::string> min = {"......", "......", "......", "......", "######",
                                          "######"};
    const std::vector<std::string> restore = {"..####", "..#..#", "####.#", "#..###", "#..#..",
                                              "####.."};
    const std::vector<std::string> close = {"#....#", ".#..#.", "..##..", "..##..", ".#..#.",
                                            "#....#"};
    const std::vector<std::string>* glyphs[] = {&min, &restore, &close};
    // four cells per button: normal, pressed, disabled, hot
    Image img(12 * 16, 14);
    for (int b = 0; b < 3; ++b)
        for (int s = 0; s < 4; ++s) {
            int x = (b * 4 + s) * 16;
            State st = s == 0 ? Normal : s == 1 ? Pressed : s == 2 ? Disabled : HotState;
            ButtonFace(p, img, x, 0, 16, 14, 2, st);
            StampCentred(img, x + (s == 1), s == 1, 16, 14, *glyphs[b],
                         s == 2 ? p.C("TextDisabled") : p.C("Text"));
        }
    save("mdi_buttons.bmp", img);
}

void Buttons(const Palette& p, const Out& save) {
    save("button.bmp", Strip(5, 22, 22, [&](Image& im, int x, int i) {
             ButtonFace(p, im, x, 0, 22, 22, 3, static_cast<State>(i));
         }));

    // Check boxes: unchecked, checked, grayed; each normal, hot, pressed, disabled.
    const std::vector<std::string> tick = {"......#", ".....##", "#...##.", "##.##..", ".###...",
                                           "..#...."};
    auto box = [&](Image& im, int x, int sub, bool round) {
        Rgb top = p.C("White"), bottom = p.C("FaceLight"), line = p.C("LineDark");
        if (sub == 1) top = p.C("White"), bottom = p.C("Hot"), line = p.C("HotLine");
        if (sub == 2) top = bottom = p.C("Pressed"), line = p.C("AccentDark");
        if (sub == 3) top = bottom = p.C("Disabled"), line = p.C("Line");
        int r = round ? 6 : 2;
        im.RoundFill(x, 0, 13, 13, r, [&](int row) { return Mix(top, bottom, row / 12.0); });
        im.RoundFrame(x, 0, 13, 13, r, line);
    };
    save("checkbox.bmp", Strip(12, 13, 13, [&](Image& im, int x, int i) {
             int group = i / 4, sub = i % 4;
             box(im, x, sub, false);
             Rgb mark = sub == 3 ? p.C("TextDisabled") : p.C("Accent");
             if (group == 1) im.Stamp(x + 3, 3, tick, mark);
             if (group == 2) im.FillRect(x + 4, 4, 5, 5, Mix(mark, p.C("White"), 0.3));
         }));
    save("radio.bmp", Strip(8, 13, 13, [&](Image& im, int x, int i) {
             int sub = i % 4;
             box(im, x, sub, true);
             if (i >= 4) {
                 Rgb dot = sub == 3 ? p.C("TextDisabled") : p.C("Accent");
                 im.RoundFill(x + 4, 4, 5, 5, 2, [&](int) { return dot; });
             }
         }));
}

void Menus(const Palette& p, const Out& save) {
    Image bar(40, 40);
    bar.Gradient(0, 0, 40, 19, p.C("FaceLight"), p.C("Face"));
    bar.HLine(0, 19, 40, p.C("Line"));
    bar.FillRect(0, 20, 40, 19, p.C("Face"));
    bar.HLine(0, 39, 40, p.C("Line"));
    save("menubar.bmp", bar);

    // normal, separator, disabled, selected, spare (selected)
    save("menuitem.bmp", Strip(5, 20, 20, [&](Image& im, int x, int i) {
             if (i == 1) {
                 im.HLine(x + 1, 14, 18, p.C("Line"));
                 im.HLine(x + 1, 15, 18, p.C("White"));
             } else if (i >= 3) {
                 im.FillRect(x, 0, 20, 20, p.C("MenuFace"));
                 im.RoundFill(x, 0, 20, 20, 3, [&](int) { return p.C("MenuSelect"); });
                 im.RoundFrame(x, 0, 20, 20, 3, p.C("MenuSelectLine"));
             } else {
                 im.FillRect(x, 0, 20, 20, p.C("MenuFace"));
             }
         }));
    Image back(20, 20, p.C("MenuFace"));
    back.FrameRect(0, 0, 20, 20, p.C("Line"));
    back.FrameRect(1, 1, 18, 18, p.C("White"));
    save("menu_background.bmp", back);
}

void Bars(const Palette& p, const Out& save) {
    save("progress.bmp", Strip(2, 20, 14, [&](Image& im, int x, int i) {
             Rgb t = i ? p.C("AccentLight") : Mix(p.C("Face"), p.C("Line"), 0.3);
             Rgb b = i ? p.C("Accent") : p.C("White");
             im.RoundFill(x, 0, 20, 14, 3, [&](int row) { return Mix(t, b, row / 13.0); });
             im.RoundFrame(x, 0, 20, 14, 3, i ? p.C("AccentDark") : p.C("Line"));
         }));
    Image chunk(8, 14);
    chunk.RoundFill(1, 2, 6, 10, 1,
                    [&](int row) { return Mix(p.C("AccentLight"), p.C("Accent"), row / 9.0); });
    save("progress_chunk.bmp", chunk);

    save("statusbar.bmp", Strip(3, 20, 20, [&](Image& im, int x, int i) {
             im.FillRect(x, 0, 20, 20, p.C("Face"));
             if (i == 0) im.FrameRect(x, 0, 20, 20, p.C("Line"));
             if (i == 1) {
                 im.HLine(x, 0, 20, p.C("White"));
                 im.VLine(x, 0, 20, p.C("White"));
                 im.HLine(x, 19, 20, p.C("Line"));
                 im.VLine(x + 19, 0, 20, p.C("Line"));
             }
         }));
    // toolbar buttons: normal and disabled show the bar through the key colour
    save("rebar.bmp", Strip(5, 22, 22, [&](Image& im, int x, int i) {
             if (i == 0 || i == 2) return;
             Rgb fill = i == 3 ? p.C("Hot") : p.C("Pressed");
             im.RoundFill(x, 0, 22, 22, 3, [&](int) { return fill; });
             im.RoundFrame(x, 0, 22, 22, 3, p.C("HotLine"));
         }));
    save("header.bmp", Strip(5, 20, 20, [&](Image& im, int x, int i) {
             Rgb t = p.C("White"), b = p.C("Face");
             if (i == 1) t = p.C("White"), b = p.C("Hot");
             if (i == 2) t = b = p.C("Pressed");
             im.Gradient(x, 0, 20, 20, t, b);
             im.HLine(x, 19, 20, p.C("Line"));
             im.VLine(x + 19, 4, 12, p.C("Line"));
             if (i == 1) im.HLine(x, 18, 19, p.C("HotLine"));
         }));
}

void Boxes(const Palette& p, const Out& save) {
    save("groupbox_edge.bmp", Strip(2, 20, 20, [&](Image& im, int x, int i) {
             im.RoundFrame(x, 0, 20, 20, 4, i ? Mix(p.C("Line"), p.C("Face"), 0.5) : p.C("Line"));
         }));
    Image label(20, 18);
    label.RoundFill(0, 0, 20, 18, 4, [&](int row) {
        return Mix(p.C("FaceLight"), p.C("Face"), row / 17.0);
    });
    label.RoundFrame(0, 0, 20, 18, 4, p.C("Line"));
    save("groupbox_label.bmp", label);

    // tabs: normal, selected, disabled, hot, focused
    save("tabs.bmp", Strip(5, 24, 22, [&](Image& im, int x, int i) {
             Rgb t = p.C("FaceLight"), b = Mix(p.C("Face"), p.C("Line"), 0.2);
             if (i == 1 || i == 4) t = b = p.C("White");
             if (i == 2) t = b = p.C("Disabled");
             if (i == 3) t = p.C("White"), b = p.C("Hot");
             int y0 = (i == 1 || i == 4) ? 0 : 2;
             im.RoundFill(x, y0, 24, 22 - y0 + 4, 4,
                          [&](int row) { return Mix(t, b, row / 21.0); }, 3);
             im.RoundFrame(x, y0, 24, 22 - y0 + 4, 4, p.C("Line"), 3);
             if (i == 1 || i == 4) {
                 im.HLine(x + 3, 0, 18, p.C("Accent"));
                 im.HLine(x + 1, 1, 22, p.C("Accent"));
             } else {
                 im.HLine(x, 21, 24, p.C("Line"));
             }
         }));
    Image border(20, 20, p.C("White"));
    border.FrameRect(0, 0, 20, 20, p.C("Line"));
    save("tab_border.bmp", border);
    Image pane(20, 20, p.C("FaceLight"));
    pane.FrameRect(0, 0, 20, 20, p.C("Line"));
    save("tab_pane.bmp", pane);
}

void Combo(const Palette& p, const Out& save) {
    // normal, pressed, disabled, hot
    auto edgeLine = [&](int i) {
        return i == 1 || i == 3 ? p.C("HotLine")
                                : i == 2 ? Mix(p.C("Line"), p.C("Face"), 0.5) : p.C("Line");
    };
    save("sunken_edge.bmp", Strip(4, 20, 21, [&](Image& im, int x, int i) {
             Rgb fill = i == 2 ? p.C("Disabled") : p.C("White");
             im.RoundFill(x, 0, 20, 21, 2, [&](int) { return fill; });
             im.RoundFrame(x, 0, 20, 21, 2, edgeLine(i));
         }));
    save("combo_button.bmp", Strip(4, 18, 21, [&](Image& im, int x, int i) {
             State s = i == 0 ? Normal : i == 1 ? Pressed : i == 2 ? Disabled : HotState;
             ButtonFace(p, im, x, 0, 18, 21, 2, s);
             im.RoundFrame(x, 0, 18, 21, 2, edgeLine(i));
         }));
    // drop-down arrow in four states, then the size grip
    save("combo_arrows.bmp", Strip(5, 13, 13, [&](Image& im, int x, int i) {
             if (i < 4) {
                 Rgb c = i == 2 ? p.C("TextDisabled") : i == 3 ? p.C("AccentDark") : p.C("Text");
                 StampCentred(im, x, i == 1 ? 1 : 0, 13, 13, kArrowDown7, c);
                 return;
             }
             for (int d = 0; d < 3; ++d)
                 for (int k = 0; k <= d; ++k) {
                     int gx = x + 11 - 4 * k, gy = 11 - 4 * (d - k);
                     im.FillRect(gx - 1, gy - 1, 2, 2, p.C("Line"));
                     im.Set(gx, gy, p.C("White"));
                 }
         }));
}

void Scrollbars(const Palette& p, const Out& save) {
    const int s = p.G("ScrollSize");
    // 1-16: left, right, up, down arrows (normal, pressed, disabled, hot);
    // 17-19 horizontal thumb gripper, 20-22 vertical gripper (normal, pressed, hot); 23 spare
    const int dirs[] = {1, 3, 2, 0};
    save("scroll_arrows.bmp", Strip(23, s, s, [&](Image& im, int x, int i) {
             if (i < 16) {
                 int a = i / 4, st = i % 4;
                 Rgb fill = st == 1 ? p.C("Pressed") : st == 3 ? p.C("Hot")
                                                               : Mix(p.C("Face"), p.C("White"), 0.4);
                 im.RoundFill(x, 0, s, s, 3, [&](int) { return fill; });
                 if (st == 1 || st == 3) im.RoundFrame(x, 0, s, s, 3, p.C("HotLine"));
                 Rgb g = st == 2 ? p.C("Line") : st == 1 ? p.C("AccentDark") : p.C("LineDark");
                 StampCentred(im, x, 0, s, s, Arrow(kArrowDown7, dirs[a]), g);
             } else if (i < 22) {
                 bool vert = i >= 19;
                 int st = (i - 16) % 3;
                 Rgb g = st == 0 ? p.C("White") : p.C("FaceLight");
                 for (int k = -1; k <= 1; ++k) {
                     if (vert) im.HLine(x + s / 2 - 3, s / 2 + 2 * k, 7, g);
                     else im.VLine(x + s / 2 + 2 * k, s / 2 - 3, 7, g);
                 }
             }
         }));
    auto shaft = [&](bool vert) {
        Image img = Strip(4, s, s, [&](Image& im, int x, int i) {
            Rgb fill = i == 2 ? Mix(p.C("Face"), p.C("White"), 0.5) : Mix(p.C("Face"),
                                                                           p.C("Line"), 0.15);
            im.FillRect(x, 0, s, s, fill);
            im.HLine(x, 0, s, Mix(fill, p.C("Line"), 0.5));
            im.HLine(x, s - 1, s, Mix(fill, p.C("White"), 0.5));
        });
        if (!vert) return img;
        // vertical: each cell transposed in place
        Image out(img.Width(), img.Height());
        for (int c = 0; c < 4; ++c)
            for (int y = 0; y < s; ++y)
                for (int x = 0; x < s; ++x) out.Set(c * s + x, y, img.Get(c * s + y, x));
        return out;
    };
    save("scroll_shaft_horz.bmp", shaft(false));
    save("scroll_shaft_vert.bmp", shaft(true));
    // thumbs: normal, pressed, hot
    Image thumb = Strip(3, 20, s, [&](Image& im, int x, int i) {
        Rgb fill = i == 1 ? p.C("Accent") : i == 2 ? p.C("AccentLight")
                                                   : Mix(p.C("Line"), p.C("Face"), 0.35);
        Rgb line = i == 1 ? p.C("AccentDark") : i == 2 ? p.C("HotLine") : p.C("Line");
        im.RoundFill(x, 2, 20, s - 4, 4, [&](int) { return fill; });
        im.RoundFrame(x, 2, 20, s - 4, 4, line);
    });
    save("scroll_thumb_horz.bmp", thumb);
    Image vthumb(3 * s, 20);
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < s; ++x) vthumb.Set(c * s + x, y, thumb.Get(c * 20 + y, x));
    save("scroll_thumb_vert.bmp", vthumb);
}

void Tracks(const Palette& p, const Out& save) {
    // thumbs: normal, pressed, disabled, hot, focused; 11 x 20 upright
    auto thumbCell = [&](Image& im, int x, int i, int shape) {
        Rgb t = p.C("White"), b = p.C("Face"), line = p.C("LineDark");
        if (i == 1) t = b = p.C("Pressed"), line = p.C("AccentDark");
        if (i == 2) t = b = p.C("Disabled"), line = p.C("Line");
        if (i == 3) t = p.C("White"), b = p.C("Hot"), line = p.C("HotLine");
        if (i == 4) line = p.C("Accent");
        if (shape == 0) { // plain rounded pill
            im.RoundFill(x, 0, 11, 20, 3, [&](int row) { return Mix(t, b, row / 19.0); });
            im.RoundFrame(x, 0, 11, 20, 3, line);
            return;
        }
        // pointing down: a body of 14 rows and a point of 6
        for (int y = 0; y < 20; ++y) {
            int inset = y < 14 ? 0 : y - 14;
            if (inset > 5) continue;
            for (int c = inset; c < 11 - inset; ++c) {
                bool edge = c == inset || c == 10 - inset || y == 0 || (y >= 14 && inset == 5);
                im.Set(x + c, y, edge ? line : Mix(t, b, y / 19.0));
            }
        }
    };
    auto strip = [&](int shape) {
        return Strip(5, 11, 20, [&](Image& im, int x, int i) { thumbCell(im, x, i, shape); });
    };
    auto cellsTransposed = [](const Image& img, int cw, int n) {
        Image out(n * img.Height(), cw);
        for (int c = 0; c < n; ++c)
            for (int y = 0; y < img.Height(); ++y)
                for (int x = 0; x < cw; ++x) out.Set(c * img.Height() + y, x, img.Get(c * cw + x, y));
        return out;
    };
    auto cellsFlipped = [](const Image& img) {
        Image out(img.Width(), img.Height());
        for (int y = 0; y < img.Height(); ++y)
            for (int x = 0; x < img.Width(); ++x) out.Set(x, img.Height() - 1 - y, img.Get(x, y));
        return out;
    };
    Image down = strip(1), up = cellsFlipped(down);
    save("track_thumb_horz.bmp", strip(0));
    save("track_thumb_vert.bmp", cellsTransposed(strip(0), 11, 5));
    save("track_thumb_down.bmp", down);
    save("track_thumb_up.bmp", up);
    save("track_thumb_right.bmp", cellsTransposed(down, 11, 5));
    save("track_thumb_left.bmp", cellsTransposed(up, 11, 5));

    Image groove(20, 6);
    groove.RoundFill(0, 0, 20, 6, 2, [&](int row) {
        return Mix(Mix(p.C("Line"), p.C("Face"), 0.4), p.C("White"), row / 5.0);
    });
    groove.RoundFrame(0, 0, 20, 6, 2, p.C("Line"));
    save("track.bmp", groove);
    save("track_vert.bmp", groove.Transposed());
}

void Spins(const Palette& p, const Out& save) {
    // eight cells: first arrow normal, pressed, disabled, hot; then the second arrow
    auto buttons = [&](int w, int h) {
        return Strip(8, w, h, [&](Image& im, int x, int i) {
            int st = i % 4;
            State s = st == 0 ? Normal : st == 1 ? Pressed : st == 2 ? Disabled : HotState;
            ButtonFace(p, im, x, 0, w, h, 2, s);
        });
    };
    auto glyphs = [&](int w, int h, int dirFirst, int dirSecond) {
        return Strip(8, w, h, [&](Image& im, int x, int i) {
            int st = i % 4;
            Rgb c = st == 2 ? p.C("TextDisabled") : st == 1 ? p.C("AccentDark") : p.C("Text");
            StampCentred(im, x, 0, w, h, Arrow(kArrowDown5, i < 4 ? dirFirst : dirSecond), c);
        });
    };
    save("updown_horz.bmp", buttons(16, 18));
    save("updown_horz_glyph.bmp", glyphs(5, 5, 1, 3));
    save("updown_vert.bmp", buttons(16, 10));
    save("updown_vert_glyph.bmp", glyphs(5, 3, 2, 0));
}

// ---- built-in resources -------------------------------------------------------------------

// Rows of letters: s silver, g grey, w white.
Image FromLetters(const std::vector<std::string>& rows) {
    Image img(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) {
            char c = rows[y][x];
            Rgb v = c == 's' ? Rgb{192, 192, 192} : c == 'g' ? Rgb{128, 128, 128}
                                                              : Rgb{255, 255, 255};
            img.Set(static_cast<int>(x), static_cast<int>(y), v);
        }
    return img;
}

// Writes a 1-bit BMP: '#' black (index 0), anything else white (index 1).
void SaveMonoBmp(const std::string& path, const std::vector<std::string>& rows) {
    const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
    const uint32_t stride = ((static_cast<uint32_t>(w) + 31) / 32) * 4;
    const uint32_t off = 14 + 40 + 8, size = off + stride * h;
    std::vector<uint8_t> out(size, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k) out[at + k] = (v >> (8 * k)) & 0xFF;
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, size);
    put32(10, off);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    out[26] = 1;
    out[28] = 1;
    put32(34, stride * h);
    put32(46, 2);
    // palette: 0 black, 1 white
    out[58] = out[59] = out[60] = 0xFF;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (rows[y][x] != '#')
                out[off + (h - 1 - y) * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

// The media player's nine button glyphs (play, pause, stop, next, previous, step, back, record,
// eject) as 15 x 11 masks, '#' for ink.
constexpr int kMediaGlyphW = 15, kMediaGlyphH = 11;

std::vector<std::string> MediaGlyphMask(int button) {
    constexpr int w = kMediaGlyphW, h = kMediaGlyphH, m = h / 2;
    std::vector<std::string> rows(h, std::string(w, '.'));
    auto bar = [&](int x, int width, int top = 0, int bottom = kMediaGlyphH) {
        for (int y = top; y < bottom; ++y)
            for (int i = x; i < x + width; ++i) rows[y][i] = '#';
    };
    // A triangle standing on column `base`, its tip `len - 1` columns away on the middle row,
    // pointing right (dir 1) or left (dir -1).
    auto tri = [&](int base, int len, int dir) {
        for (int y = 0; y < h; ++y) {
            const int reach = (len - 1) * (m - std::abs(y - m)) / m;
            for (int i = 0; i <= reach; ++i) rows[y][base + dir * i] = '#';
        }
    };
    switch (button) {
    case 0: tri(5, 6, 1); break;
    case 1: bar(3, 3); bar(9, 3); break;
    case 2: bar(2, 11); break;
    case 3: tri(1, 6, 1); tri(6, 6, 1); bar(12, 2); break;
    case 4: bar(1, 2); tri(8, 6, -1); tri(13, 6, -1); break;
    case 5: tri(3, 6, 1); bar(10, 2); break;
    case 6: bar(3, 2); tri(11, 6, -1); break;
    case 7:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((x - 7) * (x - 7) + (y - m) * (y - m) <= 30) rows[y][x] = '#';
        break;
    case 8:
        for (int y = 0; y < 6; ++y) bar(7 - y, 2 * y + 1, y, y + 1);
        bar(2, 11, 8, 11);
        break;
    default: break;
    }
    return rows;
}

// Each media glyph in three forms: enabled (black), disabled (grey with a white shadow, as an
// engraved button label) and coloured (a colour per kind of action). Olive is the background,
// which the player's panel replaces with its face colour.
void MediaGlyphs(const std::string& dir) {
    static const char* const names[] = {"mpplay", "mppause", "mpstop", "mpnext", "mpprev",
                                        "mpstep", "mpback", "mprecord", "mpeject"};
    static const Rgb colours[] = {{0, 128, 0},  {176, 144, 0}, {192, 0, 0},  {0, 0, 160}, {0, 0, 160},
                                  {0, 0, 160}, {0, 0, 160},   {192, 0, 0},  {0, 0, 0}};
    constexpr Rgb olive{128, 128, 0};
    for (int i = 0; i < 9; ++i) {
        const std::vector<std::string> mask = MediaGlyphMask(i);
        const int w = static_cast<int>(mask[0].size()), h = static_cast<int>(mask.size());
        Image enabled(w, h, olive), disabled(w + 1, h + 1, olive), coloured(w, h, olive);
        enabled.Stamp(0, 0, mask, Rgb{0, 0, 0});
        disabled.Stamp(1, 1, mask, Rgb{255, 255, 255});
        disabled.Stamp(0, 0, mask, Rgb{128, 128, 128});
        coloured.Stamp(0, 0, mask, colours[i]);
        enabled.SaveBmp(dir + "/en_" + names[i] + ".bmp");
        disabled.SaveBmp(dir + "/di_" + names[i] + ".bmp");
        coloured.SaveBmp(dir + "/cl_" + names[i] + ".bmp");
    }
}

void Builtin(const std::string& dir) {
    MediaGlyphs(dir);

    FromLetters({"ssggggggggggggww", "sswwwwwwwwwwwwww", "gswwwwwwwwwwwwww", "sswwwwwwwwwwwwww"})
        .SaveBmp(dir + "/builtin_track.bmp");
    std::vector<std::string> vert = {"ssgs", "ssss"};
    for (int i = 0; i < 12; ++i) vert.push_back("gwww");
    vert.push_back("wwww");
    vert.push_back("wwww");
    FromLetters(vert).SaveBmp(dir + "/builtin_trackvert.bmp");

    // The four system-menu glyphs (restore, maximize, minimize, close), 16 x 16 each.
    const std::string dots(16, '.');
    std::vector<std::string> g[4];
    for (auto& v : g) v.assign(16, dots);
    auto setRows = [](std::vector<std::string>& v, int first, std::vector<std::string> rows) {
        for (size_t i = 0; i < rows.size(); ++i) v[first - 1 + i] = rows[i];
    };
    setRows(g[0], 5, {".....XXXXXXXX...", ".....XXXXXXXX...", ".....X......X...",
                      "...XXXXXXXX.X...", "...XXXXXXXX.X...", "...X......XXX...",
                      "...X......X.....", "...X......X.....", "...XXXXXXXX....."});
    setRows(g[1], 4, {"...XXXXXXXXXX...", "...XXXXXXXXXX..."});
    for (int r = 6; r <= 12; ++r) g[1][r - 1] = "...X........X...";
    g[1][12] = "...XXXXXXXXXX...";
    setRows(g[2], 8, {".....XXXXXXX....", ".....XXXXXXX...."});
    setRows(g[3], 5, {"...XX.....XX....", "...XXX...XXX....", "....XXX.XXX.....",
                      ".....XXXXX......", "......XXX.......", ".....XXXXX......",
                      "....XXX.XXX.....", "...XXX...XXX....", "...XX.....XX...."});
    std::vector<std::string> sheet(16);
    for (int y = 0; y < 16; ++y) {
        for (auto& v : g) sheet[y] += v[y];
        for (char& c : sheet[y]) c = c == 'X' ? '#' : '.';
    }
    SaveMonoBmp(dir + "/builtin_tervikmenu.bmp", sheet);
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "--builtin") {
            Builtin(argv[2]);
            return 0;
        }
        if (argc != 3) {
            std::fprintf(stderr, "usage: skinart PALETTE.ini OUTDIR | skinart --builtin OUTDIR\n");
            return 2;
        }
        Palette p = ReadPalette(argv[1]);
        Out save{argv[2]};
        Frame(p, save);
        TitleButtons(p, save);
        MdiButtons(p, save);
        Buttons(p, save);
        Menus(p, save);
        Bars(p, save);
        Boxes(p, save);
        Combo(p, save);
        Scrollbars(p, save);
        Tracks(p, save);
        Spins(p, save);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinart: %s\n", e.what());
        return 1;
    }
}
