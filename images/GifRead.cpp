// Reading a GIF file: the block walk over the whole file in memory, each
// image descriptor with its colour table, and the frames' pictures.
#include <algorithm>
#include <cstring>
#include <exception>
#include <string>

#include "images/GifBlocks.h"
#include "images/GifImage.h"
#include "images/ImageModule.h"
#include "platform/BmpReader.h"
#include "platform/Paths.h"

namespace images {

using platform::TPixelFormat;

namespace {

constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kPlainTextLabel = 0x01;
constexpr uint8_t kControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr int kMaxMinCodeSize = 11;

int Word(const uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8);
}

// Padding some writers leave between an image's data and the next block.
size_t SkipZeros(std::span<const uint8_t> data, size_t pos) {
  while (pos < data.size() && data[pos] == 0) ++pos;
  return pos;
}

}  // namespace

TFrame::TFrame(const TFrame& source, TGIFImage* owner)
    : FrameLeft(source.FrameLeft),
      FrameTop(source.FrameTop),
      FrameWidth(source.FrameWidth),
      FrameHeight(source.FrameHeight),
      LocalBits(source.LocalBits),
      Delay(source.Delay),
      Disposal(source.Disposal),
      HasLocalTable(source.HasLocalTable),
      Interlaced(source.Interlaced),
      Transparent(source.Transparent),
      TransparentIndex(source.TransparentIndex),
      TransparentColor(source.TransparentColor),
      Owner(owner),
      Comment(source.Comment) {
  if (source.LocalTable) {
    LocalTable = std::make_unique<std::array<uint8_t, 768>>(*source.LocalTable);
    ColorTable = LocalTable->data();
  } else if (source.ColorTable) {
    ColorTable = owner->GlobalColorTable.data();
  }
  const auto copy = [](const std::unique_ptr<platform::Bitmap>& bitmap) {
    return bitmap ? std::make_unique<platform::Bitmap>(*bitmap) : nullptr;
  };
  Bitmap = copy(source.Bitmap);
  Mask = copy(source.Mask);
  SaveBitmap = copy(source.SaveBitmap);
  SaveMask = copy(source.SaveMask);
}

bool TFrame::ReadFrame(const std::array<uint8_t, 6>& control) {
  const std::span<const uint8_t> data = Owner->Data;
  size_t& position = Owner->Position;
  // The descriptor: separator, left, top, width, height, packed.
  if (data.size() - position < 10 || data[position] != kImageSeparator) return false;
  const uint8_t* descriptor = data.data() + position;
  FrameLeft = Word(descriptor + 1);
  FrameTop = Word(descriptor + 3);
  FrameWidth = Word(descriptor + 5);
  FrameHeight = Word(descriptor + 7);
  const uint8_t packed = descriptor[9];
  position += 10;

  HasLocalTable = (packed & 0x80) != 0;
  if (HasLocalTable) {
    LocalBits = (packed & 7) + 1;
    const size_t tableBytes = size_t{3} << LocalBits;
    if (data.size() - position < tableBytes) return false;
    if (!Owner->HeaderOnly) {
      LocalTable = std::make_unique<std::array<uint8_t, 768>>();
      LocalTable->fill(0);
      std::memcpy(LocalTable->data(), data.data() + position, tableBytes);
      ColorTable = LocalTable->data();
    }
    position += tableBytes;
  } else {
    ColorTable = Owner->GlobalColorTable.data();
    LocalBits = 0;
  }

  Interlaced = (packed & 0x40) != 0;
  const int disposal = (control[1] >> 2) & 7;
  Disposal = static_cast<uint8_t>(disposal == 0 || disposal == 1 || disposal == 3 ? disposal : 2);
  Delay = Word(control.data() + 2) * 10;
  Transparent = (control[1] & 1) != 0;
  TransparentIndex = control[4];

  // The image data: a minimum code size and sub-blocks. A frame is taken
  // only when its data could fill it, so what a header claims never
  // decides how much is allocated.
  if (position >= data.size()) return false;
  const int minCodeSize = data[position];
  int64_t dataBytes = 0;
  const size_t dataEnd = gif::SkipSubBlocks(data, position + 1, &dataBytes);
  const int64_t pixelCount = int64_t{FrameWidth} * FrameHeight;
  // Deliberate: a minimum code size above 11 gives codes wider than the
  // 4096-entry table; such a frame is corrupt and ends the walk.
  if (minCodeSize > kMaxMinCodeSize) return false;
  const int64_t plausible = MostPixelsFromCodeData(dataBytes, minCodeSize);
  if (pixelCount > platform::kMaxPicturePixels || pixelCount > plausible) return false;
  if (Owner->FramePixels + pixelCount > kMaxGifFramePixels) return false;
  Owner->FramePixels += pixelCount;
  Owner->PlausiblePixels += plausible;

  if (Owner->HeaderOnly) {
    position = SkipZeros(data, dataEnd);
    return true;
  }

  if (Disposal == 3) {
    SaveBitmap = std::make_unique<platform::Bitmap>(FrameWidth, FrameHeight);
    SaveMask = std::make_unique<platform::Bitmap>(FrameWidth, FrameHeight, TPixelFormat::pf1bit);
  }
  // The picture keeps the frame's indexes; its palette says what each
  // shows. A quarter of the memory of 32-bit pixels, and composing reads
  // it through the palette.
  Bitmap = std::make_unique<platform::Bitmap>(FrameWidth, FrameHeight, TPixelFormat::pf8bit);
  Bitmap->Palette() = Colors();
  if (Transparent)
    Mask = std::make_unique<platform::Bitmap>(FrameWidth, FrameHeight, TPixelFormat::pf1bit);
  Decode();
  // Deliberate: padding zeros after the data are skipped in the full read
  // as in the header read, so both find the same frames.
  position = SkipZeros(data, position);
  if (Transparent) std::copy_n(ColorTable + 3 * TransparentIndex, 3, TransparentColor.begin());
  return true;
}

std::vector<platform::TColor> TFrame::Colors() const {
  // Indexes past the table are black. On an 8-bit display each colour
  // becomes its nearest entry of the shared palette, as the screen would
  // show it, and indexes past the table take the palette's entry 0.
  const int bits = HasLocalTable ? LocalBits : Owner->GlobalBits;
  const int count = 1 << std::clamp(bits, 0, 8);
  const std::vector<platform::TColor>* palette = ThePalette();
  std::vector<platform::TColor> colors(256, platform::clBlack);
  for (int i = 0; i < 256; ++i) {
    if (i < count)
      colors[i] = platform::RGB(ColorTable[3 * i], ColorTable[3 * i + 1], ColorTable[3 * i + 2]);
    if (palette && !palette->empty())
      colors[i] = (*palette)[i < count ? platform::NearestPaletteIndex(*palette, colors[i]) : 0] &
                  0x00FFFFFF;
  }
  // Transparent pixels are black, so the picture can be XORed over a
  // canvas its mask has cleared.
  if (Transparent) colors[TransparentIndex] = platform::clBlack;
  return colors;
}

bool TGIFImage::ReadGIF() {
  Clear();
  // Copies made from the previous picture's first frame are stale.
  BitmapCopy.reset();
  MaskCopy.reset();
  // The data is the caller's only while this runs.
  struct Release {
    TGIFImage& image;
    ~Release() {
      image.Data = {};
      image.Position = 0;
    }
  } release{*this};
  PlausiblePixels = 0;
  FramePixels = 0;
  if (Data.size() < 3 || std::memcmp(Data.data(), "GIF", 3) != 0) return false;
  // Signature, version and the logical screen descriptor.
  if (Data.size() < 13) return false;
  const int64_t screenWidth = Word(Data.data() + 6);
  const int64_t screenHeight = Word(Data.data() + 8);
  const uint8_t packed = Data[10];
  Position = 13;
  GlobalColorTable.fill(0);
  if (packed & 0x80) {
    GlobalBits = (packed & 7) + 1;
    const size_t tableBytes = std::min(size_t{3} << GlobalBits, Data.size() - Position);
    std::memcpy(GlobalColorTable.data(), Data.data() + Position, tableBytes);
    Position += tableBytes;
  }

  std::array<uint8_t, 6> control{};
  std::string comment;
  while (Position < Data.size()) {
    const size_t start = Position;
    const uint8_t introducer = Data[Position];
    if (introducer == kImageSeparator) {
      if (FrameCount >= kMaxGifFrames) break;
      auto frame = std::make_unique<TFrame>(this);
      if (!frame->ReadFrame(control)) break;
      GlobalBits = std::max(GlobalBits, frame->LocalBits);
      IsTransparent = IsTransparent || frame->Transparent;
      frame->Comment = std::move(comment);
      comment.clear();
      control = {};
      Frames.push_back(std::move(frame));
      ++FrameCount;
    } else if (introducer == kExtension && Position + 1 < Data.size()) {
      const uint8_t label = Data[Position + 1];
      Position += 2;
      if (label == kControlLabel) {
        // Block size, packed, delay (2 bytes), transparent index, terminator.
        control = {};
        const size_t available = std::min<size_t>(control.size(), Data.size() - Position);
        std::copy_n(Data.data() + Position, available, control.begin());
        Position += available;
      } else if (label == kCommentLabel) {
        while (Position < Data.size() && Data[Position] != 0) {
          const size_t next = gif::SkipSubBlock(Data, Position);
          comment.append(reinterpret_cast<const char*>(Data.data()) + Position + 1,
                         next - Position - 1);
          Position = next;
        }
        Position = std::min(Position + 1, Data.size());
      } else if (label == kApplicationLabel) {
        // The identifier block, then data sub-blocks. NETSCAPE2.0's first
        // sub-block, when its identifier is 1, holds the loop count.
        const size_t identifier = Position;
        Position = gif::SkipSubBlock(Data, Position);
        const bool loopBlock = Position - identifier == 12 &&
                               std::memcmp(Data.data() + identifier + 1, "NETSCAPE2.0", 11) == 0;
        if (loopBlock && Position + 3 < Data.size() && Data[Position] >= 3 &&
            Data[Position + 1] == 1)
          LoopLimit = Word(Data.data() + Position + 2);
        // Deliberate: every data sub-block is skipped, so a NETSCAPE block
        // that also carries a buffer size does not end the walk.
        Position = gif::SkipSubBlocks(Data, Position);
      } else if (label == kPlainTextLabel) {
        Position = gif::SkipSubBlocks(Data, gif::SkipSubBlock(Data, Position));
      } else {
        // An extension we do not know ends the walk; what came before stays.
        break;
      }
    } else {
      break;  // the trailer, or anything else
    }
    if (Position <= start) break;
  }

  int64_t right = screenWidth, bottom = screenHeight;
  for (const auto& frame : Frames) {
    right = std::max<int64_t>(right, int64_t{frame->FrameLeft} + frame->FrameWidth);
    bottom = std::max<int64_t>(bottom, int64_t{frame->FrameTop} + frame->FrameHeight);
  }
  if (!CanvasIsAllowed(right, bottom)) {
    Clear();
    return false;
  }
  ScreenWidth = static_cast<uint32_t>(right);
  ScreenHeight = static_cast<uint32_t>(bottom);

  if (!HeaderOnly) {
    const int width = static_cast<int>(right), height = static_cast<int>(bottom);
    ImageDC = std::make_unique<platform::Bitmap>(width, height);
    MaskDC.reset();
    WorkDC.reset();
    if (IsTransparent) {
      MaskDC = std::make_unique<platform::Bitmap>(width, height, TPixelFormat::pf1bit);
      // A screen 0 pixels wide has no rows to fill (and no memory to point at).
      if (MaskDC->Stride() > 0)
        for (int y = 0; y < height; ++y)
          std::memset(MaskDC->Scanline(y), 0xFF, static_cast<size_t>(MaskDC->Stride()));
    }
  }
  Animated = FrameCount > 1;
  Empty = false;
  ComposeFrame();
  return true;
}

bool TGIFImage::CanvasIsAllowed(int64_t width, int64_t height) const {
  // Deliberate: the canvas is refused before anything is allocated when a
  // side passes the format's 16-bit range (a frame placed far out), when it
  // passes the picture ceiling, or when it is larger than the data of all
  // frames could fill (and not small anyway): a 30-byte file claiming
  // 65535 x 65535 allocates nothing.
  const int64_t pixels = width * height;
  return width <= kMaxGifCanvasSide && height <= kMaxGifCanvasSide &&
         pixels <= platform::kMaxPicturePixels &&
         pixels <= std::max(kAlwaysAllowedGifCanvas, PlausiblePixels);
}

bool TGIFImage::Load(std::span<const uint8_t> data, bool headerOnly) {
  try {
    Data = data;
    Position = 0;
    HeaderOnly = headerOnly;
    if (ReadGIF()) return true;
  } catch (const std::exception&) {
    // Out of memory for a picture: nothing of it is kept.
  }
  ClearAll();
  return false;
}

namespace {

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

bool TGIFImage::LoadFromStream(std::span<const uint8_t> data) {
  return Load(data, false);
}

bool TGIFImage::LoadHeaderFromStream(std::span<const uint8_t> data) {
  return Load(data, true);
}

bool TGIFImage::LoadFromFile(std::string_view windowsPath) {
  const auto bytes = platform::ReadWholeFile(windowsPath);
  if (!bytes) {
    ClearAll();
    return false;
  }
  return Load(Bytes(*bytes), false);
}

bool TGIFImage::LoadHeaderFromFile(std::string_view windowsPath) {
  const auto bytes = platform::ReadWholeFile(windowsPath);
  if (!bytes) {
    ClearAll();
    return false;
  }
  return Load(Bytes(*bytes), true);
}

}  // namespace images
