// GIF files from a medium are untrusted bytes, and everything that follows
// a load runs on what they describe: the header pass, the full decode,
// composing every frame, the animation clock, drawing with and without a
// tiled background, copies and the first frame's picture and mask. The
// input's last byte picks the screen depth (8 bits: the shared palette) and
// where and how large the picture is drawn.
#include <cstddef>
#include <cstdint>
#include <span>

#include "images/GifImage.h"
#include "images/ImageModule.h"
#include "platform/Canvas.h"

namespace {

void Exercise(images::TGIFImage& gif, uint8_t choice) {
  // Every frame in turn, past the end and back.
  for (int n = 1; n <= gif.FrameCount + 1; ++n) gif.SetCurrentFrame(n);
  gif.SetCurrentFrame(0);

  platform::Bitmap target(24, 16);
  platform::TCanvas canvas(target);
  platform::Bitmap tile(3, 2);
  tile.SetPixel(1, 1, platform::clRed);
  const int x = (choice & 7) - 4, y = ((choice >> 3) & 3) - 2;
  const int width = (choice & 0x20) ? 30 : -7, height = (choice & 0x40) ? 9 : 3;
  const auto draw = [&](images::TGIFImage& image) {
    image.Draw(canvas, {.Color = platform::clBlue}, x, y, width, height);
    image.Draw(canvas, {.Color = platform::clBlue, .Tile = &tile, .DocX = -x, .DocY = 100}, x, y,
               width, height);
    image.Draw(canvas, {.Color = platform::clBlue}, 0, 0, 5, 4);
  };
  draw(gif);

  // The clock: each step waits out the shown frame's delay, through the
  // 32-bit wrap.
  uint32_t now = 0xFFFFFF00u;
  gif.SetAnimate(true, now);
  int invalidated = 0;
  const auto count = [&](const platform::TRect&) { ++invalidated; };
  for (int step = 0; step < 2 * gif.FrameCount + 3; ++step) {
    now += static_cast<uint32_t>(gif.CurrentDelay);
    gif.Step(now, count);
    if (step % 3 == 0) draw(gif);
  }

  auto copy = images::TGIFImage::CreateCopy(gif);
  copy->SetAnimate(false, now);
  copy->SetAnimate(true, now);
  copy->Step(now + 700000, count);
  draw(*copy);
  (void)copy->GetBitmap();
  (void)gif.GetBitmap();
  (void)gif.GetMask();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const uint8_t choice = size ? data[size - 1] : 0;
  images::TImageModuleScope scope(choice & 0x80 ? 8 : 24);

  images::TGIFImage header;
  const bool headerRead = header.LoadHeaderFromStream(bytes);
  images::TGIFImage gif;
  const bool read = gif.LoadFromStream(bytes);
  // Both passes find the same frames.
  if (headerRead != read || (read && header.FrameCount != gif.FrameCount)) __builtin_trap();
  if (read) Exercise(gif, choice);
  return 0;
}
