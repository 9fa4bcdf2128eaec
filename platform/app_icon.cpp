#include "platform/app_icon.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <wx/bitmap.h>
#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/imagpng.h>

#include "app_icon_data.h"  // generated from res/icon/*.png

namespace bolta {

std::span<const unsigned char> AppIconPng(int pixels) {
  if (pixels == 16) return {kIcon16Png, sizeof kIcon16Png};
  return {kIcon32Png, sizeof kIcon32Png};
}

GdkPixbuf* AppIconPixbuf(int pixels) {
  const std::span<const unsigned char> png = AppIconPng(pixels);
  g_autoptr(GdkPixbufLoader) loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
  if (loader == nullptr) return nullptr;
  GdkPixbuf* picture = nullptr;
  if (gdk_pixbuf_loader_write(loader, png.data(), png.size(), nullptr) &&
      gdk_pixbuf_loader_close(loader, nullptr)) {
    picture = gdk_pixbuf_loader_get_pixbuf(loader);
    if (picture != nullptr) g_object_ref(picture);
  } else {
    gdk_pixbuf_loader_close(loader, nullptr);
  }
  return picture;
}

wxIconBundle AppIconBundle() {
  if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
  wxIconBundle bundle;
  for (int pixels : {16, 32}) {
    const std::span<const unsigned char> png = AppIconPng(pixels);
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap::NewFromPNGData(png.data(), png.size()));
    bundle.AddIcon(icon);
  }
  return bundle;
}

}  // namespace bolta
