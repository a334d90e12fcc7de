// Draws the program's icon, a lark perched on an open book, and writes it as a Windows icon
// file with five 32-bit images (128, 96, 64, 48 and 32 pixels). The picture is defined as a few
// shapes in a 128-unit square and rasterised with 4x4 supersampling, so every size is drawn from
// the same geometry and the output is byte-for-byte reproducible.
//   icongen OUT.ico
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Rgba {
    double r, g, b, a;
};

struct Shape {
    std::function<bool(double, double)> contains;
    Rgba colour;
};

struct Point {
    double x, y;
};

std::function<bool(double, double)> Polygon(std::vector<Point> pts) {
    return [pts](double x, double y) {
        bool inside = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            if ((pts[i].y > y) != (pts[j].y > y) &&
                x < (pts[j].x - pts[i].x) * (y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
                inside = !inside;
        }
        return inside;
    };
}

std::function<bool(double, double)> Ellipse(double cx, double cy, double rx, double ry, double angleDeg) {
    double a = angleDeg * 3.14159265358979 / 180.0, c = std::cos(a), s = std::sin(a);
    return [=](double x, double y) {
        double dx = x - cx, dy = y - cy;
        double u = dx * c + dy * s, v = -dx * s + dy * c;
        return (u * u) / (rx * rx) + (v * v) / (ry * ry) <= 1.0;
    };
}

std::function<bool(double, double)> Line(Point a, Point b, double width) {
    return [=](double x, double y) {
        double vx = b.x - a.x, vy = b.y - a.y;
        double t = ((x - a.x) * vx + (y - a.y) * vy) / (vx * vx + vy * vy);
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
        double px = a.x + t * vx - x, py = a.y + t * vy - y;
        return px * px + py * py <= width * width / 4;
    };
}

Rgba Hex(uint32_t rgb) {
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, 1.0};
}

// Back to front: later shapes cover earlier ones.
std::vector<Shape> Picture() {
    return {
        // Book: cover, pages, spine.
        {Polygon({{8, 84}, {64, 96}, {120, 84}, {120, 114}, {64, 124}, {8, 114}}), Hex(0x1F4E8C)},
        {Polygon({{14, 80}, {62, 90}, {62, 116}, {14, 106}}), Hex(0xFBF6E9)},
        {Polygon({{66, 90}, {114, 80}, {114, 106}, {66, 116}}), Hex(0xF3ECD8)},
        {Line({22, 92}, {54, 99}, 2.2), Hex(0xB9B2A0)},
        {Line({22, 99}, {54, 106}, 2.2), Hex(0xB9B2A0)},
        {Line({74, 99}, {106, 92}, 2.2), Hex(0xB9B2A0)},
        {Line({74, 106}, {106, 99}, 2.2), Hex(0xB9B2A0)},
        {Line({64, 90}, {64, 118}, 3.0), Hex(0x163A69)},
        // Lark: legs, tail, body, belly, wing, head, crest, beak, eye.
        {Line({60, 64}, {56, 88}, 2.5), Hex(0x6B4A2B)},
        {Line({70, 64}, {72, 88}, 2.5), Hex(0x6B4A2B)},
        {Polygon({{42, 50}, {12, 38}, {18, 50}, {12, 62}, {42, 58}}), Hex(0x7A5634)},
        {Ellipse(62, 52, 27, 17, -12), Hex(0x9C7148)},
        {Ellipse(68, 60, 17, 8, -8), Hex(0xE8D3AE)},
        {Ellipse(56, 50, 18, 9, -18), Hex(0x7A5634)},
        {Line({46, 48}, {64, 44}, 1.6), Hex(0x5A3E24)},
        {Polygon({{80, 30}, {82, 14}, {90, 28}}), Hex(0x7A5634)},
        {Ellipse(87, 36, 13, 12, 0), Hex(0x9C7148)},
        {Polygon({{97, 31}, {113, 37}, {97, 41}}), Hex(0xE39B2E)},
        {Ellipse(91, 34, 2.6, 2.6, 0), Hex(0x1B1B1B)},
    };
}

std::vector<uint8_t> Render(const std::vector<Shape>& shapes, int size) {
    std::vector<uint8_t> bgra(static_cast<size_t>(size) * size * 4);
    const int ss = 4;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    double u = (x + (sx + 0.5) / ss) * 128.0 / size;
                    double v = (y + (sy + 0.5) / ss) * 128.0 / size;
                    for (auto it = shapes.rbegin(); it != shapes.rend(); ++it)
                        if (it->contains(u, v)) {
                            r += it->colour.r, g += it->colour.g, b += it->colour.b, a += 1;
                            break;
                        }
                }
            double n = ss * ss;
            // Straight (not premultiplied) alpha, as icons store it.
            uint8_t* p = &bgra[(static_cast<size_t>(size - 1 - y) * size + x) * 4]; // bottom-up
            if (a > 0) {
                p[0] = static_cast<uint8_t>(std::lround(255 * b / a));
                p[1] = static_cast<uint8_t>(std::lround(255 * g / a));
                p[2] = static_cast<uint8_t>(std::lround(255 * r / a));
            }
            p[3] = static_cast<uint8_t>(std::lround(255 * a / n));
        }
    }
    return bgra;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 255);
    out.push_back((v >> 8) & 255);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::vector<uint8_t> IconImage(const std::vector<Shape>& shapes, int size) {
    std::vector<uint8_t> pixels = Render(shapes, size);
    const uint32_t maskStride = ((size + 31) / 32) * 4;
    std::vector<uint8_t> out;
    Put32(out, 40);             // header size
    Put32(out, size);           // width
    Put32(out, size * 2);       // height: colour image plus mask
    Put16(out, 1);              // planes
    Put16(out, 32);             // bits per pixel
    Put32(out, 0);              // no compression
    Put32(out, static_cast<uint32_t>(pixels.size() + maskStride * size));
    Put32(out, 0), Put32(out, 0), Put32(out, 0), Put32(out, 0);
    out.insert(out.end(), pixels.begin(), pixels.end());
    // The AND mask marks fully transparent pixels for renderers that ignore alpha.
    for (int y = 0; y < size; ++y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < size; ++x)
            if (pixels[(static_cast<size_t>(y) * size + x) * 4 + 3] == 0) row[x / 8] |= 0x80 >> (x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen OUT.ico\n");
        return 2;
    }
    const int sizes[] = {128, 96, 64, 48, 32};
    const auto shapes = Picture();
    std::vector<std::vector<uint8_t>> images;
    for (int s : sizes) images.push_back(IconImage(shapes, s));
    std::vector<uint8_t> file;
    Put16(file, 0), Put16(file, 1), Put16(file, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(0), file.push_back(0);
        Put16(file, 1), Put16(file, 32);
        Put32(file, static_cast<uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& img : images) file.insert(file.end(), img.begin(), img.end());
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(file.data(), 1, file.size(), f) != file.size()) {
        std::fprintf(stderr, "icongen: cannot write %s\n", argv[1]);
        if (f) std::fclose(f);
        return 1;
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
