#include "gfx/bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include <wx/rawbmp.h>

#include "app/debug_log.h"
#include "gfx/font.h"

namespace {

// Byte offsets of the components inside one raw 32-bit pixel.
constexpr int PX_R = wxAlphaPixelFormat::RED;
constexpr int PX_G = wxAlphaPixelFormat::GREEN;
constexpr int PX_B = wxAlphaPixelFormat::BLUE;
constexpr int PX_A = wxAlphaPixelFormat::ALPHA;

// Raw access to a bitmap's pixels for the lifetime of the object. The
// toolkit may refuse (for example for a bitmap without an alpha channel);
// ok() says whether access was granted.
class pixel_access {
public:
  explicit pixel_access(wxBitmap &bitmap)
  {
    if (!bitmap.IsOk())
      return;
    data_.emplace(bitmap);
    if (!*data_)
      return;
    base_ = reinterpret_cast<unsigned char *>(data_->GetPixels().m_ptr);
    stride_ = data_->GetRowStride();
    width_ = data_->GetWidth();
    height_ = data_->GetHeight();
  }

  bool ok() const { return base_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  int stride() const { return stride_; }
  unsigned char *row(int y) const { return base_ + (ptrdiff_t)y * stride_; }
  unsigned char *pixel(int x, int y) const { return row(y) + (ptrdiff_t)x * 4; }

private:
  std::optional<wxAlphaPixelData> data_;
  unsigned char *base_ = nullptr;
  int stride_ = 0;
  int width_ = 0;
  int height_ = 0;
};

inline void put_rgb(unsigned char *p, int r, int g, int b)
{
  p[PX_R] = (unsigned char)r;
  p[PX_G] = (unsigned char)g;
  p[PX_B] = (unsigned char)b;
}

inline void put_rgb(unsigned char *p, const vesk_color &c) { put_rgb(p, c.red, c.green, c.blue); }

// A colour packed as one raw pixel with a zero alpha byte, and the mask that
// keeps a pixel's alpha byte, so that a whole pixel is written with
// (old & keep) | packed.
inline uint32_t pack_rgb(int r, int g, int b)
{
  unsigned char p[4] = {0, 0, 0, 0};
  put_rgb(p, r, g, b);
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline uint32_t alpha_keep_mask()
{
  unsigned char p[4] = {0, 0, 0, 0};
  p[PX_A] = 0xFF;
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// Writes `count` pixels of one packed colour, keeping each pixel's alpha.
inline void fill_row(unsigned char *p, int count, uint32_t packed, uint32_t keep)
{
  for (int i = 0; i < count; ++i, p += 4) {
    uint32_t old;
    std::memcpy(&old, p, 4);
    old = (old & keep) | packed;
    std::memcpy(p, &old, 4);
  }
}

// Opaque glyph blend of one component; coverage 0 gives the background.
inline int blend_opaque(int m, int32_t fg, int32_t bg)
{
  if (m == 0)
    return bg;
  return (int)((((int64_t)(255 - m)) * bg + (int64_t)m * fg) >> 8);
}

// The clipped rectangle of a source of size sw x sh placed at (x, y) in a
// destination of size W x H: columns c0..c1-1, rows r0..r1-1.
struct copy_clip {
  int c0, c1, r0, r1;
  bool empty() const { return c0 >= c1 || r0 >= r1; }
};

inline copy_clip clip_copy(int x, int y, int sw, int sh, int W, int H)
{
  copy_clip c;
  c.c0 = std::max(x, 0);
  c.c1 = (int)std::min<int64_t>((int64_t)x + sw, W);
  c.r0 = std::max(y, 0);
  c.r1 = (int)std::min<int64_t>((int64_t)y + sh, H);
  return c;
}

// Glyph blending from a coverage plane. `step` is the distance between two
// coverage values of a row (1 for a cached plane, 4 for a glyph bitmap).
void blend_glyph_opaque(const pixel_access &dst, const uint8_t *cov, int cov_stride, int step, int gw, int gh,
                        int x, int y, const uint32_t table[256], uint32_t keep)
{
  copy_clip c = clip_copy(x, y, gw, gh, dst.width(), dst.height());
  if (c.empty())
    return;
  for (int row = c.r0; row < c.r1; ++row) {
    const uint8_t *s = cov + (ptrdiff_t)(row - y) * cov_stride + (ptrdiff_t)(c.c0 - x) * step;
    unsigned char *d = dst.pixel(c.c0, row);
    for (int col = c.c0; col < c.c1; ++col, s += step, d += 4) {
      uint32_t old;
      std::memcpy(&old, d, 4);
      old = (old & keep) | table[*s];
      std::memcpy(d, &old, 4);
    }
  }
}

void blend_glyph_transparent(const pixel_access &dst, const uint8_t *cov, int cov_stride, int step, int gw,
                             int gh, int x, int y, const vesk_color &fg)
{
  copy_clip c = clip_copy(x, y, gw, gh, dst.width(), dst.height());
  if (c.empty())
    return;
  for (int row = c.r0; row < c.r1; ++row) {
    const uint8_t *s = cov + (ptrdiff_t)(row - y) * cov_stride + (ptrdiff_t)(c.c0 - x) * step;
    unsigned char *d = dst.pixel(c.c0, row);
    for (int col = c.c0; col < c.c1; ++col, s += step, d += 4) {
      int m = *s;
      if (m == 0)
        continue;
      int64_t keep = 255 - m;
      d[PX_R] = (unsigned char)((keep * d[PX_R] + (int64_t)m * fg.red) >> 8);
      d[PX_G] = (unsigned char)((keep * d[PX_G] + (int64_t)m * fg.green) >> 8);
      d[PX_B] = (unsigned char)((keep * d[PX_B] + (int64_t)m * fg.blue) >> 8);
    }
  }
}

void build_opaque_table(uint32_t table[256], const vesk_color &fg, const vesk_color &bg)
{
  for (int m = 0; m < 256; ++m)
    table[m] = pack_rgb(blend_opaque(m, fg.red, bg.red), blend_opaque(m, fg.green, bg.green),
                        blend_opaque(m, fg.blue, bg.blue));
}

// Bresenham between two points, calling plot(x, y) for every pixel.
template <class Plot> void bresenham(int x1, int y1, int x2, int y2, Plot plot)
{
  if (x1 == x2 && y1 == y2) {
    plot(x1, y1);
    return;
  }
  int dx = std::abs(x1 - x2);
  int dy = std::abs(y1 - y2);
  if (dy < dx) {
    int xs = x1, ys = y1, xe = x2, ye = y2;
    if (x2 < x1) {
      xs = x2;
      ys = y2;
      xe = x1;
      ye = y1;
    }
    int ystep = ye > ys ? 1 : (ye < ys ? -1 : 0);
    int err = dx / 2;
    int y = ys;
    for (int x = xs; x <= xe; ++x) {
      plot(x, y);
      err -= dy;
      if (err < 0) {
        y += ystep;
        err += dx;
      }
    }
  } else {
    int xs = x1, ys = y1, xe = x2, ye = y2;
    if (y2 < y1) {
      xs = x2;
      ys = y2;
      xe = x1;
      ye = y1;
    }
    int xstep = xe > xs ? 1 : (xe < xs ? -1 : 0);
    int err = dy / 2;
    int x = xs;
    for (int y = ys; y <= ye; ++y) {
      plot(x, y);
      err -= dx;
      if (err < 0) {
        x += xstep;
        err += dy;
      }
    }
  }
}

} // namespace

// ---------------------------------------------------------------------------
// Construction and copying

static void init_opaque_black(wxBitmap &bitmap)
{
  pixel_access px(bitmap);
  if (!px.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::ClearAlpha(), pixel data failed?\n");
    return;
  }
  uint32_t black = pack_rgb(0, 0, 0) | alpha_keep_mask();
  for (int y = 0; y < px.height(); ++y) {
    unsigned char *p = px.row(y);
    for (int x = 0; x < px.width(); ++x, p += 4)
      std::memcpy(p, &black, 4);
  }
  bitmap.UseAlpha();
}

vesk_bitmap::vesk_bitmap() : wxBitmap(16, 16, 32) { init_opaque_black(*this); }

vesk_bitmap::vesk_bitmap(int width, int height) : wxBitmap(std::max(width, 1), std::max(height, 1), 32)
{
  init_opaque_black(*this);
}

static wxImage image_with_alpha(const wxImage &image)
{
  if (!image.IsOk())
    return wxImage();
  if (image.HasAlpha())
    return image;
  wxImage copy = image.Copy();
  copy.InitAlpha();
  return copy;
}

vesk_bitmap::vesk_bitmap(const wxImage &image) : wxBitmap(image_with_alpha(image))
{
  if (!IsOk()) {
    Create(1, 1, 32);
    init_opaque_black(*this);
  }
}

static wxBitmap deep_copy(const wxBitmap &other)
{
  if (!other.IsOk())
    return wxBitmap();
  return other.GetSubBitmap(wxRect(0, 0, other.GetWidth(), other.GetHeight()));
}

vesk_bitmap::vesk_bitmap(const vesk_bitmap &other) : wxBitmap(deep_copy(other)) {}

vesk_bitmap &vesk_bitmap::operator=(const vesk_bitmap &other)
{
  if (this != &other)
    wxBitmap::operator=(deep_copy(other));
  return *this;
}

void vesk_bitmap::InitClearAlpha()
{
  pixel_access px(*this);
  if (!px.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::ClearAlpha(), pixel data failed?\n");
    return;
  }
  for (int y = 0; y < px.height(); ++y) {
    unsigned char *p = px.row(y);
    for (int x = 0; x < px.width(); ++x, p += 4)
      p[PX_A] = 255;
  }
  UseAlpha();
}

// ---------------------------------------------------------------------------
// Fills

void vesk_bitmap::Clear(const vesk_color &colour)
{
  pixel_access px(*this);
  if (!px.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::Clear(), pixel data failed?\n");
    return;
  }
  uint32_t packed = pack_rgb(colour.red, colour.green, colour.blue) | alpha_keep_mask();
  for (int y = 0; y < px.height(); ++y) {
    unsigned char *p = px.row(y);
    for (int x = 0; x < px.width(); ++x, p += 4)
      std::memcpy(p, &packed, 4);
  }
  UseAlpha();
}

void vesk_bitmap::DrawPixel(int x, int y, const vesk_color &colour)
{
  DrawPixel(x, y, colour.red, colour.green, colour.blue);
}

void vesk_bitmap::DrawPixel(int x, int y, int r, int g, int b)
{
  if (x < 0 || y < 0 || !IsOk() || x >= GetWidth() || y >= GetHeight())
    return;
  pixel_access px(*this);
  if (!px.ok())
    return;
  put_rgb(px.pixel(x, y), r, g, b);
  UseAlpha();
}

namespace {
// Sorted, clipped corners of a rectangle; `visible` is false when nothing of
// it lies inside W x H.
struct rect_span {
  int xmin, xmax, ymin, ymax; // sorted, unclipped
  int x0, x1, y0, y1;         // clipped, inclusive
  bool visible;
};

rect_span make_rect(int x1, int y1, int x2, int y2, int W, int H)
{
  rect_span r;
  r.xmin = std::min(x1, x2);
  r.xmax = std::max(x1, x2);
  r.ymin = std::min(y1, y2);
  r.ymax = std::max(y1, y2);
  r.visible = !(r.xmax < 0 || r.ymax < 0 || r.xmin >= W || r.ymin >= H);
  r.x0 = std::max(r.xmin, 0);
  r.x1 = std::min(r.xmax, W - 1);
  r.y0 = std::max(r.ymin, 0);
  r.y1 = std::min(r.ymax, H - 1);
  return r;
}
} // namespace

void vesk_bitmap::DrawFilledRectangle(int x1, int y1, int x2, int y2, const vesk_color &colour)
{
  if (!IsOk())
    return;
  rect_span r = make_rect(x1, y1, x2, y2, GetWidth(), GetHeight());
  if (!r.visible)
    return;
  pixel_access px(*this);
  if (!px.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawFilledRectangle(), pixel data failed?\n");
    return;
  }
  uint32_t packed = pack_rgb(colour.red, colour.green, colour.blue);
  uint32_t keep = alpha_keep_mask();
  for (int y = r.y0; y <= r.y1; ++y)
    fill_row(px.pixel(r.x0, y), r.x1 - r.x0 + 1, packed, keep);
  UseAlpha();
}

void vesk_bitmap::DrawXGradientRectangle(int x1, int y1, int x2, int y2, const vesk_color &c1,
                                         const vesk_color &c2)
{
  if (!IsOk())
    return;
  rect_span r = make_rect(x1, y1, x2, y2, GetWidth(), GetHeight());
  if (!r.visible)
    return;
  pixel_access px(*this);
  if (!px.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawXGradientRectangle(), pixel data failed?\n");
    return;
  }
  // Fixed point with 8 fraction bits; the k-th drawn column gets start + k x step.
  int32_t n = r.xmax - r.xmin + 2;
  int32_t sr = c1.red * 256, sg = c1.green * 256, sb = c1.blue * 256;
  int32_t dr = (c2.red * 256 - c1.red * 256) / n;
  int32_t dg = (c2.green * 256 - c1.green * 256) / n;
  int32_t db = (c2.blue * 256 - c1.blue * 256) / n;
  int columns = r.x1 - r.x0 + 1;
  std::vector<uint32_t> packed(columns);
  for (int k = 0; k < columns; ++k) {
    sr += dr;
    sg += dg;
    sb += db;
    packed[k] = pack_rgb(sr >> 8, sg >> 8, sb >> 8);
  }
  uint32_t keep = alpha_keep_mask();
  for (int y = r.y0; y <= r.y1; ++y) {
    unsigned char *p = px.pixel(r.x0, y);
    for (int k = 0; k < columns; ++k, p += 4) {
      uint32_t old;
      std::memcpy(&old, p, 4);
      old = (old & keep) | packed[k];
      std::memcpy(p, &old, 4);
    }
  }
  UseAlpha();
}

void vesk_bitmap::DrawYGradientRectangle(int x1, int y1, int x2, int y2, const vesk_color &c1,
                                         const vesk_color &c2)
{
  if (!IsOk())
    return;
  rect_span r = make_rect(x1, y1, x2, y2, GetWidth(), GetHeight());
  if (!r.visible)
    return;
  pixel_access px(*this);
  if (!px.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawYGradientRectangle(), pixel data failed?\n");
    return;
  }
  int32_t n = r.ymax - r.ymin + 2;
  int32_t sr = c1.red * 256, sg = c1.green * 256, sb = c1.blue * 256;
  int32_t dr = (c2.red * 256 - c1.red * 256) / n;
  int32_t dg = (c2.green * 256 - c1.green * 256) / n;
  int32_t db = (c2.blue * 256 - c1.blue * 256) / n;
  uint32_t keep = alpha_keep_mask();
  for (int y = r.y0; y <= r.y1; ++y) {
    sr += dr;
    sg += dg;
    sb += db;
    fill_row(px.pixel(r.x0, y), r.x1 - r.x0 + 1, pack_rgb(sr >> 8, sg >> 8, sb >> 8), keep);
  }
  UseAlpha();
}

void vesk_bitmap::DrawFilledCircle(int cx, int cy, int radius, const vesk_color &colour)
{
  if (!IsOk())
    return;
  int W = GetWidth(), H = GetHeight();
  int64_t r = std::max(radius, 0);
  if ((int64_t)cy - r >= H || (int64_t)cy + r < 0)
    return;
  pixel_access px(*this);
  if (!px.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawFilledCircle(), pixel data failed?\n");
    return;
  }
  uint32_t packed = pack_rgb(colour.red, colour.green, colour.blue);
  uint32_t keep = alpha_keep_mask();
  int y0 = (int)std::max<int64_t>(cy - r, 0);
  int y1 = (int)std::min<int64_t>(cy + r, H - 1);
  for (int y = y0; y <= y1; ++y) {
    int64_t dy = (int64_t)y - cy;
    int64_t under = r * r + r - dy * dy;
    int64_t d = (int64_t)std::floor(std::sqrt((float)std::max<int64_t>(0, under)));
    if ((int64_t)cx - d >= W || (int64_t)cx + d < 0)
      continue;
    int xa = (int)std::max<int64_t>(cx - d, 0);
    int xb = (int)std::min<int64_t>(cx + d, W - 1);
    fill_row(px.pixel(xa, y), xb - xa + 1, packed, keep);
  }
  UseAlpha();
}

// ---------------------------------------------------------------------------
// Lines and polygons

void vesk_bitmap::DrawLine(int x1, int y1, int x2, int y2, const vesk_color &colour)
{
  if (!IsOk())
    return;
  pixel_access px(*this);
  if (!px.ok())
    return;
  int W = px.width(), H = px.height();
  bresenham(x1, y1, x2, y2, [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < W && y < H)
      put_rgb(px.pixel(x, y), colour);
  });
  UseAlpha();
}

void vesk_bitmap::DrawGradientLine(int x1, int y1, int x2, int y2, const vesk_color &c1, const vesk_color &c2)
{
  if (!IsOk())
    return;
  pixel_access px(*this);
  if (!px.ok())
    return;
  int W = px.width(), H = px.height();
  int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  int sx = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
  int sy = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
  bool x_major = dx > dy;
  int n = x_major ? dx : dy;
  int minor_span = x_major ? dy : dx;
  int32_t r = c1.red * 256, g = c1.green * 256, b = c1.blue * 256;
  int32_t dr = (c2.red - c1.red) * 256 / (n + 1);
  int32_t dg = (c2.green - c1.green) * 256 / (n + 1);
  int32_t db = (c2.blue - c1.blue) * 256 / (n + 1);
  int err = -(n / 2);
  int x = x1, y = y1;
  for (int i = 0; i <= n; ++i) {
    if (x >= 0 && y >= 0 && x < W && y < H)
      put_rgb(px.pixel(x, y), r >> 8, g >> 8, b >> 8);
    r += dr;
    g += dg;
    b += db;
    err += minor_span;
    if (err >= 0) {
      if (x_major)
        y += sy;
      else
        x += sx;
      err -= n;
    }
    if (x_major)
      x += sx;
    else
      y += sy;
  }
  UseAlpha();
}

namespace {
struct poly_edge {
  int ymin;
  int ymax;
  double x;
  double inverse_slope;
  bool active;
};

void sort_edges(std::vector<poly_edge> &edges)
{
  // Bubble sort that swaps only on strictly greater x, so equal x keep order.
  bool swapped = true;
  for (size_t pass = 0; swapped && pass < edges.size(); ++pass) {
    swapped = false;
    for (size_t i = 0; i + 1 < edges.size() - pass; ++i) {
      if (edges[i].x > edges[i + 1].x) {
        std::swap(edges[i], edges[i + 1]);
        swapped = true;
      }
    }
  }
}
} // namespace

void vesk_bitmap::DrawPolygon(int count, const wxPoint *points, int dx, int dy, const vesk_color &outline,
                              const vesk_color &fill)
{
  const int max_points = 1000;
  if (count < 3) {
    VESK_LOG(1, "Error in vesk_bitmap::DrawPolygon(), only got %d points, need a minimum of 3.\n", count);
    return;
  }
  if (count >= max_points) {
    VESK_LOG(1, "Error in vesk_bitmap::DrawPolygon(), got %d points, max is %d.\n", count, max_points);
    return;
  }
  if (!points || !IsOk())
    return;

  std::vector<poly_edge> edges;
  edges.reserve(count);
  int ylow = 0, yhigh = 0;
  for (int k = 0; k < count; ++k) {
    const wxPoint &a = points[k];
    const wxPoint &b = points[(k + 1) % count];
    int ax = a.x + dx, ay = a.y + dy, bx = b.x + dx, by = b.y + dy;
    if (ay == by)
      continue;
    poly_edge e;
    if (ay < by) {
      e.ymin = ay;
      e.ymax = by;
      e.x = ax;
      e.inverse_slope = (double)(bx - ax) / (double)(by - ay);
    } else {
      e.ymin = by;
      e.ymax = ay;
      e.x = bx;
      e.inverse_slope = (double)(ax - bx) / (double)(ay - by);
    }
    e.active = false;
    if (edges.empty() || e.ymin < ylow)
      ylow = e.ymin;
    if (edges.empty() || e.ymax > yhigh)
      yhigh = e.ymax;
    edges.push_back(e);
  }

  int W = GetWidth(), H = GetHeight();
  sort_edges(edges);
  for (int y = ylow; y <= yhigh && !edges.empty(); ++y) {
    // Rows below the bitmap draw nothing; the edges need not be advanced further.
    if (y >= H)
      break;
    bool open = false;
    int xa = 0;
    size_t opened_at = 0;
    for (size_t i = 0; i < edges.size(); ++i) {
      poly_edge &e = edges[i];
      if (e.ymin > y)
        continue;
      if (!e.active) {
        e.active = true;
        continue;
      }
      int xe = (int)e.x;
      if (!open) {
        open = true;
        xa = xe;
        opened_at = i;
      } else {
        open = false;
        // Only the part of the span inside the bitmap can change pixels.
        int left = std::max(std::min(xa, xe), 0);
        int right = std::min(std::max(xa, xe), W - 1);
        if (y >= 0 && left <= right)
          DrawLine(left, y, right, y, fill);
      }
    }
    if (open && opened_at + 1 < edges.size())
      VESK_LOG(2, "Error in DrawPolygon(), unclosed poly for draw line?\n");

    edges.erase(std::remove_if(edges.begin(), edges.end(), [y](const poly_edge &e) { return y >= e.ymax; }),
                edges.end());
    for (poly_edge &e : edges) {
      if (e.ymin < y + 1) {
        e.ymin = y + 1;
        e.x += e.inverse_slope;
      }
    }
    sort_edges(edges);
  }

  for (int k = 0; k < count; ++k) {
    const wxPoint &a = points[k];
    const wxPoint &b = points[k == 0 ? count - 1 : k - 1];
    DrawLine(a.x + dx, a.y + dy, b.x + dx, b.y + dy, outline);
  }
}

// ---------------------------------------------------------------------------
// Bitmap copies

void vesk_bitmap::DrawBitmapIgnoreAlpha(const vesk_bitmap &source, int x, int y)
{
  if (!IsOk() || !source.IsOk())
    return;
  // Copying a bitmap onto itself reads from a snapshot.
  if (source.IsSameAs(*this)) {
    vesk_bitmap snapshot(source);
    DrawBitmapIgnoreAlpha(snapshot, x, y);
    return;
  }
  pixel_access dst(*this);
  if (!dst.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawBitmapIgnoreAlpha(), pixel data dest failed?\n");
    return;
  }
  pixel_access src(const_cast<vesk_bitmap &>(source));
  if (!src.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawBitmapIgnoreAlpha(), pixel data src failed?\n");
    return;
  }
  copy_clip c = clip_copy(x, y, src.width(), src.height(), dst.width(), dst.height());
  if (!c.empty()) {
    for (int row = c.r0; row < c.r1; ++row)
      std::memcpy(dst.pixel(c.c0, row), src.pixel(c.c0 - x, row - y), (size_t)(c.c1 - c.c0) * 4);
  }
  UseAlpha();
}

void vesk_bitmap::DrawBitmapUseAlpha(const vesk_bitmap &source, int x, int y)
{
  if (!IsOk() || !source.IsOk())
    return;
  if (source.IsSameAs(*this)) {
    vesk_bitmap snapshot(source);
    DrawBitmapUseAlpha(snapshot, x, y);
    return;
  }
  pixel_access dst(*this);
  if (!dst.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawBitmapUseAlpha(), pixel data dest failed?\n");
    return;
  }
  pixel_access src(const_cast<vesk_bitmap &>(source));
  if (!src.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawBitmapUseAlpha(), pixel data src failed?\n");
    return;
  }
  copy_clip c = clip_copy(x, y, src.width(), src.height(), dst.width(), dst.height());
  if (!c.empty()) {
    for (int row = c.r0; row < c.r1; ++row) {
      const unsigned char *s = src.pixel(c.c0 - x, row - y);
      unsigned char *d = dst.pixel(c.c0, row);
      for (int col = c.c0; col < c.c1; ++col, s += 4, d += 4) {
        int a = s[PX_A];
        d[PX_R] = (unsigned char)((s[PX_R] * a) >> 8);
        d[PX_G] = (unsigned char)((s[PX_G] * a) >> 8);
        d[PX_B] = (unsigned char)((s[PX_B] * a) >> 8);
      }
    }
  }
  UseAlpha();
}

// ---------------------------------------------------------------------------
// Text

void vesk_bitmap::DrawTextGlyph(const vesk_bitmap &glyph, int x, int y, const vesk_color &foreground,
                                const vesk_color &background)
{
  if (!IsOk() || !glyph.IsOk())
    return;
  if (glyph.IsSameAs(*this)) {
    vesk_bitmap snapshot(glyph);
    DrawTextGlyph(snapshot, x, y, foreground, background);
    return;
  }
  pixel_access dst(*this);
  if (!dst.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawTextGlyph(), pixel data dest failed?\n");
    return;
  }
  pixel_access src(const_cast<vesk_bitmap &>(glyph));
  if (!src.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawTextGlyph(), pixel data src failed?\n");
    return;
  }
  uint32_t table[256];
  build_opaque_table(table, foreground, background);
  blend_glyph_opaque(dst, src.row(0) + PX_G, src.stride(), 4, src.width(), src.height(), x,
                     y, table, alpha_keep_mask());
  UseAlpha();
}

void vesk_bitmap::DrawTextGlyphTransparent(const vesk_bitmap &glyph, int x, int y, const vesk_color &foreground)
{
  if (!IsOk() || !glyph.IsOk())
    return;
  if (glyph.IsSameAs(*this)) {
    vesk_bitmap snapshot(glyph);
    DrawTextGlyphTransparent(snapshot, x, y, foreground);
    return;
  }
  pixel_access dst(*this);
  if (!dst.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawTextGlyphTransparent(), pixel data dest failed?\n");
    return;
  }
  pixel_access src(const_cast<vesk_bitmap &>(glyph));
  if (!src.ok()) {
    VESK_LOG(2, "Error in vesk_bitmap::DrawTextGlyphTransparent(), pixel data src failed?\n");
    return;
  }
  blend_glyph_transparent(dst, src.row(0) + PX_G, src.stride(), 4, src.width(),
                          src.height(), x, y, foreground);
  UseAlpha();
}

void vesk_bitmap::RenderText(const vesk_font &font, const char *text, int x, int y, const vesk_color &foreground,
                             const vesk_color &background)
{
  render_text(font, text, x, y, foreground, &background);
}

void vesk_bitmap::RenderTextTransparent(const vesk_font &font, const char *text, int x, int y,
                                        const vesk_color &foreground)
{
  render_text(font, text, x, y, foreground, nullptr);
}

// Both text operations: the destination's pixels are opened once for the
// whole text and each glyph is blended from the font's cached coverage.
// Glyphs that start at or past the right edge cannot show anything, and the
// pen only moves right, so the walk ends there.
void vesk_bitmap::render_text(const vesk_font &font, const char *text, int x, int y, const vesk_color &foreground,
                              const vesk_color *background)
{
  if (!text || !IsOk())
    return;
  int W = GetWidth(), H = GetHeight();
  if (x > W || y > H)
    return;
  pixel_access dst(*this);
  if (!dst.ok()) {
    if (background)
      VESK_LOG(2, "Error in vesk_bitmap::DrawTextGlyph(), pixel data dest failed?\n");
    else
      VESK_LOG(2, "Error in vesk_bitmap::DrawTextGlyphTransparent(), pixel data dest failed?\n");
    return;
  }
  // Consecutive texts are mostly drawn in the same two colours: the blend
  // table of the last pair is kept. Drawing happens on one thread only.
  static uint32_t table[256];
  static vesk_color table_fg, table_bg;
  static bool table_valid = false;
  uint32_t keep = alpha_keep_mask();
  if (background && (!table_valid || table_fg != foreground || table_bg != *background)) {
    build_opaque_table(table, foreground, *background);
    table_fg = foreground;
    table_bg = *background;
    table_valid = true;
  }
  int64_t pen = x;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p && pen < W; ++p) {
    const vesk_font::glyph_coverage &g = font.coverage[*p & 0x7F];
    if (!g.coverage)
      continue;
    if (pen + g.width > 0) {
      if (background)
        blend_glyph_opaque(dst, g.coverage.get(), g.width, 1, g.width, g.height, (int)pen, y, table, keep);
      else
        blend_glyph_transparent(dst, g.coverage.get(), g.width, 1, g.width, g.height, (int)pen, y, foreground);
    }
    pen += g.width;
  }
  UseAlpha();
}

void vesk_bitmap::GetTextSize(const vesk_font &font, const char *text, int *width, int *height) const
{
  font.GetTextSize(text, width, height);
}

// ---------------------------------------------------------------------------
// Borders

void draw_thin_border(vesk_bitmap &bitmap, const vesk_color &colour, int width, int height)
{
  int w = width, h = height;
  bitmap.DrawLine(0, 1, 0, h - 1, colour);
  bitmap.DrawLine(1, 0, w - 1, 0, colour);
  bitmap.DrawLine(w - 1, 1, w - 1, h - 1, colour);
  bitmap.DrawLine(1, h - 1, w - 1, h - 1, colour);
  bitmap.DrawPixel(0, 0, vesk_BLACK);
  bitmap.DrawPixel(w - 1, 0, vesk_BLACK);
  bitmap.DrawPixel(0, h - 1, vesk_BLACK);
  bitmap.DrawPixel(w - 1, h - 1, vesk_BLACK);
}

void draw_strong_border(vesk_bitmap &bitmap, int width, int height, int sides, const vesk_color *colour)
{
  int w = width, h = height;
  vesk_color main_colour = colour ? *colour : vesk_color(255, 255, 255);
  vesk_color inner_left = colour ? *colour : vesk_color(128, 128, 128);
  if (sides & BORDER_LEFT) {
    bitmap.DrawLine(0, 0, 0, h, main_colour);
    bitmap.DrawLine(1, 0, 1, h, inner_left);
  }
  if (sides & BORDER_RIGHT) {
    bitmap.DrawLine(w - 1, 0, w - 1, h, main_colour);
    bitmap.DrawLine(w - 2, 0, w - 2, h, main_colour);
  }
  if (sides & BORDER_TOP)
    bitmap.DrawLine(0, 0, w, 0, main_colour);
  if (sides & BORDER_BOTTOM)
    bitmap.DrawLine(0, h - 1, w, h - 1, main_colour);
}
