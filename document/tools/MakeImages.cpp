// Draws the pictures shipped in the program's folder "IMG": the emergency
// images "fire" and "otkazvu" and a few pictures for the plan. Usage:
// arv_make_images <folder>
#include "document/tools/BmpWriter.h"
#include "platform/Bitmap.h"
#include "platform/Files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace arv;

namespace {

constexpr int kSide = 32;
// The bottom-left pixel is the background and becomes transparent in the
// picture library, so every picture keeps that corner free.
constexpr uint32_t kBackground = 0xFFFFFFFF;

struct P {
    double x, y;
};

class TPainter {
public:
    TPainter() : bmp_(kSide, kSide, kBackground) {}
    const TBitmap32& Bitmap() const { return bmp_; }

    void Plot(int x, int y, uint32_t c) {
        if (bmp_.Contains(x, y)) bmp_.SetPixel(x, y, c);
    }
    void Rect(int l, int t, int r, int b, uint32_t c) {
        for (int y = t; y <= b; ++y)
            for (int x = l; x <= r; ++x) Plot(x, y, c);
    }
    void Circle(double cx, double cy, double radius, uint32_t c) {
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius) Plot(x, y, c);
    }
    void Ring(double cx, double cy, double radius, double width, uint32_t c) {
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
                if (d <= radius && d >= radius - width) Plot(x, y, c);
            }
    }
    // Even-odd fill of a polygon, sampled at pixel centres.
    void Polygon(const std::vector<P>& pts, uint32_t c) {
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                double px = x + 0.5, py = y + 0.5;
                bool in = false;
                for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                    if ((pts[i].y > py) != (pts[j].y > py) &&
                        px < pts[i].x +
                                 (pts[j].x - pts[i].x) * (py - pts[i].y) / (pts[j].y - pts[i].y))
                        in = !in;
                }
                if (in) Plot(x, y, c);
            }
    }
    void Line(P a, P b, double width, uint32_t c) {
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                double px = x + 0.5 - a.x, py = y + 0.5 - a.y;
                double dx = b.x - a.x, dy = b.y - a.y;
                double t = std::clamp((px * dx + py * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                if (std::hypot(px - t * dx, py - t * dy) <= width / 2) Plot(x, y, c);
            }
    }

private:
    TBitmap32 bmp_;
};

constexpr uint32_t kBlack = 0xFF000000, kRed = 0xFFE01010, kOrange = 0xFFFF8C00,
                   kYellow = 0xFFFFE040, kGrey = 0xFF808080, kGreen = 0xFF108020,
                   kBlue = 0xFF1040C0, kBrown = 0xFF8B5A2B, kLight = 0xFFD8D8D8;

TPainter Fire() {
    TPainter p;
    p.Polygon({{16, 2}, {26, 16}, {24, 28}, {8, 28}, {6, 16}}, kRed);
    p.Polygon({{16, 9}, {22, 19}, {20, 28}, {12, 28}, {10, 19}}, kOrange);
    p.Polygon({{16, 16}, {19, 23}, {18, 28}, {14, 28}, {13, 23}}, kYellow);
    return p;
}

// A ventilation device that failed: a door crossed out in red.
TPainter DeviceFailure() {
    TPainter p;
    p.Rect(7, 4, 24, 27, kBrown);
    p.Rect(10, 7, 21, 24, kLight);
    p.Line({4, 4}, {28, 28}, 3, kRed);
    p.Line({28, 4}, {4, 28}, 3, kRed);
    return p;
}

TPainter Fan() {
    TPainter p;
    p.Circle(16, 16, 14, kBlack);
    p.Circle(16, 16, 12, kLight);
    for (int k = 0; k < 3; ++k) {
        double a = k * 2 * 3.14159265358979 / 3;
        P tip{16 + 11 * std::cos(a), 16 + 11 * std::sin(a)};
        P side{16 + 7 * std::cos(a + 0.9), 16 + 7 * std::sin(a + 0.9)};
        p.Polygon({{16, 16}, tip, side}, kBlue);
    }
    p.Circle(16, 16, 2.5, kBlack);
    return p;
}

TPainter Door() {
    TPainter p;
    p.Rect(6, 3, 25, 28, kBlack);
    p.Rect(8, 5, 23, 26, kBrown);
    p.Circle(20, 16, 1.6, kYellow);
    return p;
}

TPainter Phone() {
    TPainter p;
    p.Rect(6, 10, 25, 27, kBlack);
    p.Rect(8, 12, 23, 25, kGreen);
    p.Rect(4, 5, 27, 9, kBlack);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) p.Rect(10 + 4 * c, 14 + 4 * r, 11 + 4 * c, 15 + 4 * r, kLight);
    return p;
}

TPainter FirstAid() {
    TPainter p;
    p.Circle(16, 16, 14, kRed);
    p.Circle(16, 16, 12, kLight);
    p.Rect(13, 6, 18, 25, kRed);
    p.Rect(6, 13, 25, 18, kRed);
    return p;
}

TPainter Sensor() {
    TPainter p;
    p.Circle(16, 16, 13, kYellow);
    p.Ring(16, 16, 13, 2, kBlack);
    p.Line({16, 16}, {23, 9}, 2, kBlack);
    p.Circle(16, 16, 2, kBlack);
    return p;
}

TPainter Stopping() {
    TPainter p;
    p.Rect(3, 8, 28, 23, kGrey);
    for (int x = 3; x < 32; x += 6) p.Line({double(x), 23}, {double(x) + 8, 8}, 1.5, kBlack);
    p.Rect(3, 8, 28, 8, kBlack);
    p.Rect(3, 23, 28, 23, kBlack);
    return p;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: arv_make_images <folder>\n");
        return 2;
    }
    const std::string folder = IncludeTrailingPathDelimiter(argv[1]);
    ForceDirectories(folder);
    const std::pair<const char*, TPainter> pictures[] = {
        {"fire", Fire()},     {"otkazvu", DeviceFailure()}, {"fan", Fan()},
        {"door", Door()},     {"phone", Phone()},           {"aid", FirstAid()},
        {"sensor", Sensor()}, {"stopping", Stopping()},
    };
    for (const auto& [name, painter] : pictures) {
        std::string error;
        if (!WriteFileAtomic(folder + name + ".bmp", EncodeBmp24(painter.Bitmap()), &error,
                             false)) {
            std::fprintf(stderr, "%s.bmp: %s\n", name, error.c_str());
            return 1;
        }
    }
    return 0;
}
