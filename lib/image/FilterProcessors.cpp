#include "lib/image/FilterProcessors.h"

#include <cstdint>
#include <cstring>

#include "lib/image/RowWorkers.h"
#include "lib/image/SharpenRows.h"
#include "lib/image/VectorKernels.h"

using pelto_image::LimitAndTruncate;
using pelto_image::PlanarRow;
using pelto_image::SharpenKernel;
using pelto_image::SharpenSum1;

namespace {

int ClampStrength(int n) { return n < 0 ? 0 : (n > 10 ? 10 : n); }

// ---- Blur ----

// Weighted mean of the neighbours that exist; used on the border, where the weight sum varies.
void BlurPixel(const RGBX* pSrc, int64_t w, int64_t h, int64_t x, int64_t y, int centre,
               RGBX* out) {
    int sb = 0, sg = 0, sr = 0, ws = 0;
    for (int64_t dy = -1; dy <= 1; ++dy) {
        if (y + dy < 0 || y + dy >= h) continue;
        for (int64_t dx = -1; dx <= 1; ++dx) {
            if (x + dx < 0 || x + dx >= w) continue;
            const RGBX& p = pSrc[(y + dy) * w + x + dx];
            const int wt = (dx == 0 && dy == 0) ? centre : 1;
            sb += wt * p.b;
            sg += wt * p.g;
            sr += wt * p.r;
            ws += wt;
        }
    }
    out->b = static_cast<uint8_t>(sb / ws > 255 ? 255 : sb / ws);
    out->g = static_cast<uint8_t>(sg / ws > 255 ? 255 : sg / ws);
    out->r = static_cast<uint8_t>(sr / ws > 255 ? 255 : sr / ws);
}

// x / d == ((x * m) >> 16) >> s for every interior sum x <= 255 * d, found and checked once per
// divisor; s < 0 means none was found and the interior falls back to division.
struct Reciprocal {
    int m;
    int s;
};

Reciprocal FindReciprocal(int d) {
    for (int s = 5; s >= 0; --s) {
        const int64_t m = ((int64_t(1) << (16 + s)) + d - 1) / d;
        if (m > 65535) continue;
        bool exact = true;
        for (int64_t x = 0; x <= 255 * d && exact; ++x) exact = ((x * m) >> (16 + s)) == x / d;
        if (exact) return Reciprocal{static_cast<int>(m), s};
    }
    return Reciprocal{0, -1};
}

// Divisors of the interior (centre + 8) and of edges (centre + 5), found once for every strength.
struct StrengthDivisors {
    Reciprocal rcp[2][11];

    StrengthDivisors() {
        rcp[0][0] = rcp[1][0] = Reciprocal{0, -1};
        for (int strength = 1; strength <= 10; ++strength) {
            rcp[0][strength] = FindReciprocal(63 - 5 * strength);
            rcp[1][strength] = FindReciprocal(60 - 5 * strength);
        }
    }
};

const Reciprocal& ReciprocalForStrength(int strength, bool edge = false) {
    static const StrengthDivisors table;
    return table.rcp[edge ? 1 : 0][strength];
}

// Edge pixels that are not corners: six neighbours, so every sum is divided by centre + 5, by
// the same exact multiply as the interior where one was found.
struct EdgeBlur {
    int centre;
    Reciprocal rcp;

    uint8_t Mean(int sum) const {
        return static_cast<uint8_t>(rcp.s >= 0 ? (sum * rcp.m) >> (16 + rcp.s)
                                               : sum / (centre + 5));
    }

    // Columns 1 .. w - 2 of an edge row, from that row and its one neighbour row.
    void Row(const RGBX* edge, const RGBX* near, int64_t w, RGBX* out) const {
        for (int64_t x = 1; x < w - 1; ++x) {
            const RGBX &l = edge[x - 1], &m = edge[x], &r = edge[x + 1];
            const RGBX &a = near[x - 1], &b = near[x], &c = near[x + 1];
            out[x].b = Mean(l.b + r.b + a.b + b.b + c.b + centre * m.b);
            out[x].g = Mean(l.g + r.g + a.g + b.g + c.g + centre * m.g);
            out[x].r = Mean(l.r + r.r + a.r + b.r + c.r + centre * m.r);
        }
    }

    // The first or the last pixel of an interior row: `side` is its column, `in` the next one in.
    void Column(const RGBX* mid, int64_t w, int64_t side, int64_t in, RGBX* out) const {
        const RGBX &t = mid[side - w], &m = mid[side], &b = mid[side + w];
        const RGBX &ti = mid[in - w], &mi = mid[in], &bi = mid[in + w];
        out->b = Mean(t.b + b.b + ti.b + mi.b + bi.b + centre * m.b);
        out->g = Mean(t.g + b.g + ti.g + mi.g + bi.g + centre * m.g);
        out->r = Mean(t.r + b.r + ti.r + mi.r + bi.r + centre * m.r);
    }
};

// ---- Sharpen ----

SharpenKernel MakeSharpenKernel(int strength) {
    const double e = 51 - 5 * strength;
    const double inv = 1 / e;
    const double g = 1 / ((inv + 1) * 4);
    return SharpenKernel{-g, -(g * inv)};
}

void ToPlanar(const RGBX* in, int64_t n, PlanarRow* row) {
    for (int64_t k = 0; k < n; ++k) {
        row->c[0][k] = in[k].b;
        row->c[1][k] = in[k].g;
        row->c[2][k] = in[k].r;
    }
}

// Rows [y0, y1) of the interior (0 < y0 < y1 < h).
void SharpenInterior(const RGBX* pSrc, int64_t w, int64_t y0, int64_t y1, RGBX* pDst,
                     const SharpenKernel& kn) {
    const int64_t kStrip = pelto_image::kSharpenStrip;
    // The result for a neighbourhood of one value, summed exactly as a mixed one would be.
    uint8_t flat[256];
    for (int v = 0; v < 256; ++v) {
        const double same[3] = {double(v), double(v), double(v)};
        flat[v] = LimitAndTruncate(SharpenSum1(same, same, same, 0, kn));
    }
    const pelto_image::SharpenKernels& kernels = pelto_image::Kernels().sharpen;
    PlanarRow rows[3];
    for (int64_t x0 = 1; x0 < w - 1; x0 += kStrip) {
        const int64_t n = (w - 1 - x0) < kStrip ? (w - 1 - x0) : kStrip;
        ToPlanar(pSrc + (y0 - 1) * w + x0 - 1, n + 2, &rows[(y0 - 1) % 3]);
        ToPlanar(pSrc + y0 * w + x0 - 1, n + 2, &rows[y0 % 3]);
        for (int64_t y = y0; y < y1; ++y) {
            PlanarRow& top = rows[(y - 1) % 3];
            PlanarRow& mid = rows[y % 3];
            PlanarRow& bot = rows[(y + 1) % 3];
            ToPlanar(pSrc + (y + 1) * w + x0 - 1, n + 2, &bot);
            kernels.interiorStrip(pSrc + (y - 1) * w + x0 - 1, w, top, mid, bot, n, kn, flat,
                                  pDst + y * w + x0);
        }
    }
}

}  // namespace

CImageBlurrer::CImageBlurrer(int nFactor)
    : CImage32BitProcessor(0), m_nFactor(ClampStrength(nFactor)) {}

int CImageBlurrer::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    const int strength = ClampStrength(m_nFactor);
    if (strength == 0) {
        CopyPixels(pSrc, pDst, sizeDst);
        return 1;
    }
    const int centre = 55 - 5 * strength;
    const int64_t w = sizeSrc.cx, h = sizeSrc.cy;
    const Reciprocal& rcp = ReciprocalForStrength(strength);
    const pelto_image::BlurKernels& kernels = pelto_image::Kernels().blur;
    const EdgeBlur edge{centre, ReciprocalForStrength(strength, true)};
    pelto_image::SplitRows(h, w * h, [&](int64_t first, int64_t last) {
        for (int64_t y = first; y < last; ++y) {
            const RGBX* row = pSrc + y * w;
            RGBX* out = pDst + y * w;
            if (y > 0 && y < h - 1 && w > 2 && rcp.s >= 0) {
                edge.Column(row, w, 0, 1, out);
                int64_t x = kernels.interiorRow(pSrc, w, y, centre, rcp.m, rcp.s, pDst);
                for (; x < w - 1; ++x) BlurPixel(pSrc, w, h, x, y, centre, out + x);
                edge.Column(row, w, w - 1, w - 2, out + w - 1);
            } else if ((y == 0 || y == h - 1) && h > 1 && w > 2) {
                BlurPixel(pSrc, w, h, 0, y, centre, out);
                edge.Row(row, y == 0 ? row + w : row - w, w, out);
                BlurPixel(pSrc, w, h, w - 1, y, centre, out + w - 1);
            } else {
                for (int64_t x = 0; x < w; ++x) BlurPixel(pSrc, w, h, x, y, centre, out + x);
            }
        }
    });
    return 1;
}

CImageSharpener::CImageSharpener(int nFactor)
    : CImage32BitProcessor(0), m_nFactor(ClampStrength(nFactor)) {}

int CImageSharpener::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    const int strength = ClampStrength(m_nFactor);
    const int64_t w = sizeSrc.cx, h = sizeSrc.cy;
    if (strength == 0 || w < 3 || h < 3) {
        CopyPixels(pSrc, pDst, sizeDst);
        return 1;
    }
    std::memcpy(pDst, pSrc, static_cast<size_t>(w) * sizeof(RGBX));
    std::memcpy(pDst + (h - 1) * w, pSrc + (h - 1) * w, static_cast<size_t>(w) * sizeof(RGBX));
    for (int64_t y = 1; y < h - 1; ++y) {
        pDst[y * w] = pSrc[y * w];
        pDst[y * w + w - 1] = pSrc[y * w + w - 1];
    }
    const SharpenKernel kn = MakeSharpenKernel(strength);
    // Every row reads only the source: the interior rows can be split among threads.
    pelto_image::SplitRows(h - 2, w * h, [&](int64_t first, int64_t last) {
        SharpenInterior(pSrc, w, first + 1, last + 1, pDst, kn);
    });
    return 1;
}
