// Picture bytes as a host's stream brings them: the kind probe, the GIF
// and PNG transparent-colour probes, and the stream loader with and without
// a corner mask, its picture then drawn through the mask into a small
// canvas. The display is an 8-bit one: pictures are mapped to the shared
// palette (the page targets draw at 24 bits).
#include <cstdint>
#include <span>

#include "images/ImageKinds.h"
#include "images/ImageLoad.h"
#include "images/ImageModule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static images::TImageModuleScope display(8);
  const std::span<const uint8_t> bytes(data, size);
  (void)images::GetImageKind(bytes);
  platform::TColor colour = 0;
  (void)images::GifTransparentColor(bytes, colour);
  (void)images::PngTransparentColor(bytes, colour);
  for (images::TTransparency asked : {images::NotTransp, images::LLCorner}) {
    images::TTransparency mode = asked;
    images::BitmapPtr mask;
    const images::BitmapPtr picture = images::LoadImageStream(bytes, mode, mask);
    if (!picture) continue;
    platform::Bitmap window(24, 16);
    platform::TCanvas canvas(window);
    if (mask) images::DrawTransparent(canvas, *picture, *mask, 30, 10, -3, 2);
    if (auto made = images::MakeMask(*picture, colour)) (void)made->GetRaw(0, 0);
    const images::TDib dib(*picture);
    dib.DrawStretched(canvas, 1, 1, 7, 40, platform::SRCCOPY);
  }
  return 0;
}
