#include "gfx/images.h"

#include <algorithm>

#include <wx/image.h>
#include <wx/mstream.h>

#include "app/debug_log.h"

vesk_bitmap *ombrith_logo_bitmap = nullptr;
vesk_bitmap *lock_bitmap = nullptr;
vesk_bitmap *icon_bitmaps[ICON_COUNT] = {nullptr, nullptr, nullptr, nullptr, nullptr};

namespace {

vesk_bitmap *decode_picture(const char *name, int width, int height)
{
  size_t size = 0;
  const unsigned char *data = embedded_asset(name, &size);
  if (data) {
    wxMemoryInputStream stream(data, size);
    wxImage image;
    if (image.LoadFile(stream, wxBITMAP_TYPE_PNG, -1) && image.IsOk())
      return new vesk_bitmap(image);
  }
  VESK_LOG(1, "Error in construct_all_images() - unable to decode the picture '%s'.\n", name);
  wxImage blank(width, height);
  blank.SetAlpha();
  std::fill(blank.GetAlpha(), blank.GetAlpha() + (size_t)width * height, (unsigned char)0);
  return new vesk_bitmap(blank);
}

} // namespace

void construct_all_images()
{
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
    wxImage::AddHandler(new wxPNGHandler);

  // A second call replaces the pictures of the first.
  delete ombrith_logo_bitmap;
  delete lock_bitmap;
  for (vesk_bitmap *&icon : icon_bitmaps) {
    delete icon;
    icon = nullptr;
  }
  ombrith_logo_bitmap = decode_picture("ombrith_text_transparent_white", 192, 43);
  lock_bitmap = decode_picture("lock", 21, 21);
  icon_bitmaps[ICON_UNWIELD] = decode_picture("unwield", 17, 17);
  icon_bitmaps[ICON_SLEEP] = decode_picture("sleep", 17, 17);
  icon_bitmaps[ICON_BURN] = decode_picture("burn2", 17, 17);
  icon_bitmaps[ICON_SHOCK] = decode_picture("shock2", 17, 17);
  icon_bitmaps[ICON_SICKEN] = decode_picture("sicken2", 17, 17);
}
