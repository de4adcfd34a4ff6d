#include "tests/lib/image/ReferenceProcessors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ref {

namespace {

RGBX& At(RGBX* p, int w, int x, int y) { return p[static_cast<long long>(y) * w + x]; }
const RGBX& At(const RGBX* p, int w, int x, int y) { return p[static_cast<long long>(y) * w + x]; }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

RGBX WeightedColor(const RGBX* src, int w, int h, double x, double y) {
    if (x < 0 || y < 0) {
        int cx = x < 0 ? 0 : (x >= w ? w - 1 : static_cast<int>(x));
        int cy = y < 0 ? 0 : (y >= h ? h - 1 : static_cast<int>(y));
        return At(src, w, cx, cy);
    }
    int ix, iy;
    double fx, fy;
    if (x >= w) {
        ix = w - 1;
        fx = 1;
    } else {
        ix = static_cast<int>(x);
        fx = x - ix;
    }
    if (y >= h) {
        iy = h - 1;
        fy = 1;
    } else {
        iy = static_cast<int>(y);
        fy = y - iy;
    }
    const RGBX& p = At(src, w, ix, iy);
    const RGBX& r = At(src, w, std::min(ix + 1, w - 1), iy);
    const RGBX& d = At(src, w, ix, std::min(iy + 1, h - 1));
    auto channel = [&](uint8_t P, uint8_t R, uint8_t D) {
        double v = 0.5 * ((R * fx + P * (1 - fx)) + P * (1 - fy) + D * fy);
        return static_cast<uint8_t>(static_cast<int>(v));
    };
    return RGBX{channel(p.b, r.b, d.b), channel(p.g, r.g, d.g), channel(p.r, r.r, d.r), 0};
}

void RotatedSize(double angle, int w, int h, int* dw, int* dh) {
    double c = std::cos(angle), s = std::sin(angle);
    int mx = 0, my = 0;
    for (int sx = -1; sx <= 1; sx += 2) {
        for (int sy = -1; sy <= 1; sy += 2) {
            double x = sx * 0.5 * w, y = sy * 0.5 * h;
            mx = std::max(mx, std::abs(static_cast<int>(x * c - y * s)));
            my = std::max(my, std::abs(static_cast<int>(x * s + y * c)));
        }
    }
    *dw = 2 * mx + 2;
    *dh = 2 * my + 2;
}

void Rotate(double angle, bool smooth, const RGBX* src, int w, int h, RGBX* dst, int dw, int dh) {
    int cw = w / 2 + w % 2, ch = h / 2 + h % 2, hw = dw / 2, hh = dh / 2;
    double c = std::cos(angle), s = std::sin(angle);
    for (int i = 0; i < dh; ++i) {
        double y = i - hh;
        double X = y * s - hw * c, Y = y * c + hw * s;
        for (int j = 0; j < dw; ++j) {
            X += c;
            Y += -s;
            int ix = static_cast<int>(X), iy = static_cast<int>(Y);
            if (ix < -cw || ix >= w - cw || iy < -ch || iy >= h - ch) continue;
            At(dst, dw, j, i) =
                smooth ? WeightedColor(src, w, h, cw + X, ch + Y) : At(src, w, ix + cw, iy + ch);
        }
    }
}

void Shear(int across, int down, bool smooth, const RGBX* src, int w, int h, RGBX* dst, int dw,
           int dh) {
    for (int x = 0; x < dw; ++x) {
        double offY = 0;
        if (down > 0) offY = static_cast<double>(down) * x / dw;
        if (down < 0) offY = static_cast<double>(dw - x) * -static_cast<double>(down) / dw;
        for (int y = 0; y < dh; ++y) {
            double offX = 0;
            if (across < 0) offX = -static_cast<double>(across) * y / dh;
            if (across > 0) offX = static_cast<double>(dh - y) * across / dh;
            double sx = x - offX, sy = y - offY;
            int ix = static_cast<int>(sx), iy = static_cast<int>(sy);
            if (ix < 0 || ix >= w || iy < 0 || iy >= h) continue;
            At(dst, dw, x, y) = smooth ? WeightedColor(src, w, h, sx, sy) : At(src, w, ix, iy);
        }
    }
}

void Enlarge(double factor, const RGBX* src, int w, int h, RGBX* dst, int dw, int dh) {
    double step = 1 / factor;
    double sx = 0;
    for (int c = 0; c < dw; ++c) {
        double sy = 0;
        for (int r = 0; r < dh; ++r) {
            At(dst, dw, c, r) = WeightedColor(src, w, h, sx, sy);
            sy += step;
        }
        sx += step;
    }
}

void Shrink(double factor, const RGBX* src, int w, int h, RGBX* dst, int dw, int dh) {
    double step = 1 / factor;
    double vx = -0.5 * step;
    int x0 = 0;
    for (int j = 0; j < dw; ++j) {
        vx += step;
        int x1 = std::min(w - 1, static_cast<int>(vx) + 1);
        double vy = -0.5 * step;
        int y0 = 0;
        for (int i = 0; i < dh; ++i) {
            vy += step;
            int y1 = std::min(h - 1, static_cast<int>(vy) + 1);
            if (x0 <= x1 && y0 <= y1) {
                long long sb = 0, sg = 0, sr = 0, n = 0;
                for (int y = y0; y <= y1; ++y) {
                    for (int x = x0; x <= x1; ++x) {
                        sb += At(src, w, x, y).b;
                        sg += At(src, w, x, y).g;
                        sr += At(src, w, x, y).r;
                        ++n;
                    }
                }
                RGBX& o = At(dst, dw, j, i);
                o.b = static_cast<uint8_t>(sb / n);
                o.g = static_cast<uint8_t>(sg / n);
                o.r = static_cast<uint8_t>(sr / n);
            }
            y0 = y1 + 1;
        }
        x0 = x1 + 1;
    }
}

void Flip(bool horz, bool vert, const RGBX* src, int w, int h, RGBX* dst) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            At(dst, w, horz ? w - 1 - x : x, vert ? h - 1 - y : y) = At(src, w, x, y);
}

void Gray(const RGBX* src, int w, int h, RGBX* dst) {
    for (long long i = 0; i < static_cast<long long>(w) * h; ++i) {
        uint8_t g = static_cast<uint8_t>((3 * src[i].r + 6 * src[i].g + src[i].b) / 10);
        dst[i] = RGBX{g, g, g, 0};
    }
}

void Negate(const RGBX* src, int w, int h, RGBX* dst) {
    for (long long i = 0; i < static_cast<long long>(w) * h; ++i) {
        dst[i].b = static_cast<uint8_t>(255 - src[i].b);
        dst[i].g = static_cast<uint8_t>(255 - src[i].g);
        dst[i].r = static_cast<uint8_t>(255 - src[i].r);
    }
}

void ReplaceColor(uint32_t from, uint32_t to, const RGBX* src, int w, int h, RGBX* dst) {
    RGBX f = RgbxFromColorref(from), t = RgbxFromColorref(to);
    for (long long i = 0; i < static_cast<long long>(w) * h; ++i)
        dst[i] = (from != to && SameRgb(src[i], f)) ? t : src[i];
}

void Blur(int strength, const RGBX* src, int w, int h, RGBX* dst) {
    strength = Clamp(strength, 0, 10);
    int centre = 55 - 5 * strength;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (strength == 0) {
                At(dst, w, x, y) = At(src, w, x, y);
                continue;
            }
            int sb = 0, sg = 0, sr = 0, ws = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    int wt = (dx == 0 && dy == 0) ? centre : 1;
                    sb += wt * At(src, w, nx, ny).b;
                    sg += wt * At(src, w, nx, ny).g;
                    sr += wt * At(src, w, nx, ny).r;
                    ws += wt;
                }
            }
            RGBX& o = At(dst, w, x, y);
            o.b = static_cast<uint8_t>(std::min(255, sb / ws));
            o.g = static_cast<uint8_t>(std::min(255, sg / ws));
            o.r = static_cast<uint8_t>(std::min(255, sr / ws));
        }
    }
}

void Sharpen(int strength, const RGBX* src, int w, int h, RGBX* dst) {
    strength = Clamp(strength, 0, 10);
    double e = 51 - 5 * strength;
    double inv = 1 / e;
    double g = 1 / ((inv + 1) * 4);
    double k[3][3] = {{-(g * inv), -g, -(g * inv)}, {-g, 2.0, -g}, {-(g * inv), -g, -(g * inv)}};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (strength == 0 || x == 0 || y == 0 || x == w - 1 || y == h - 1) {
                At(dst, w, x, y) = At(src, w, x, y);
                continue;
            }
            double s[3] = {0, 0, 0};
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    const RGBX& p = At(src, w, x + dx, y + dy);
                    s[0] += k[dy + 1][dx + 1] * p.b;
                    s[1] += k[dy + 1][dx + 1] * p.g;
                    s[2] += k[dy + 1][dx + 1] * p.r;
                }
            }
            uint8_t out[3];
            for (int c = 0; c < 3; ++c)
                out[c] =
                    static_cast<uint8_t>(static_cast<int>(std::min(255.0, std::max(0.0, s[c]))));
            RGBX& o = At(dst, w, x, y);
            o.b = out[0];
            o.g = out[1];
            o.r = out[2];
        }
    }
}

}  // namespace ref
