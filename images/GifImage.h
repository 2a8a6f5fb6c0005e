#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/BmpReader.h"
#include "platform/Canvas.h"
#include "platform/Color.h"
#include "platform/Geometry.h"

namespace images {

class TGIFImage;

// What shows through a transparent picture where it is drawn: the enclosing
// cell's background colour, or else the document's; or, when the picture
// sits directly on a page with a background picture, that picture tiled from
// the document's origin. DocX, DocY: the picture's place in the document
// (its y includes the document's YOffset), which aligns the tiles.
struct TGifBackground {
  platform::TColor Color = platform::clWhite;
  const platform::Bitmap* Tile = nullptr;
  int DocX = 0;
  int DocY = 0;
};

// The most frames a file is read for; later images are ignored.
constexpr int kMaxGifFrames = 256;
// The most pixels a file's frames have together: every use of an animation
// keeps all of them (256 frames of 4096 x 4096 took 4.3 GB). Frames past
// it are left out, as frames past kMaxGifFrames are.
constexpr int64_t kMaxGifFramePixels = platform::kMaxPicturePixels;

// A canvas no larger than this is allowed whatever the file's data; a
// larger one must be one that the file's image data could plausibly fill
// (see MostPixelsFromCodeData). Never more than kMaxPicturePixels, and no
// side beyond the format's 16-bit range.
constexpr int64_t kAlwaysAllowedGifCanvas = int64_t{1} << 16;
constexpr int64_t kMaxGifCanvasSide = 65535;

// The most pixels LZW data of `dataBytes` bytes can expand to with the
// given minimum code size: every code takes at least minCodeSize + 1 bits,
// and the k-th code after a clear stands for at most k pixels (each new
// table entry is one pixel longer than an older one), never more than the
// 4096 entries of the table.
int64_t MostPixelsFromCodeData(int64_t dataBytes, int minCodeSize);

// One image of a GIF file: its place on the logical screen, its timing and
// disposal, and its pixels as an 8-bit picture (transparent pixels black)
// with a 1-bit mask (set = white = transparent) when it has transparency.
class TFrame {
 public:
  explicit TFrame(TGIFImage* owner) : Owner(owner) {}
  // A copy of `source` belonging to `owner`; a frame that used the source
  // image's global colour table uses the owner's.
  TFrame(const TFrame& source, TGIFImage* owner);
  virtual ~TFrame() = default;
  TFrame& operator=(const TFrame&) = delete;

  int FrameLeft = 0;
  int FrameTop = 0;
  int FrameWidth = 0;
  int FrameHeight = 0;
  int LocalBits = 0;  // bits of the local colour table, 0 without one
  int Delay = 0;      // milliseconds
  // 0 unspecified, 1 leave in place, 2 restore to background, 3 restore
  // previous; the file's 4..7 are read as 2.
  uint8_t Disposal = 0;
  bool HasLocalTable = false;
  bool Interlaced = false;
  bool Transparent = false;
  uint8_t TransparentIndex = 0;
  std::array<uint8_t, 3> TransparentColor{};  // red, green, blue
  // The local table (LocalTable) or the owner's global table: 256 red,
  // green, blue triples.
  const uint8_t* ColorTable = nullptr;
  std::unique_ptr<std::array<uint8_t, 768>> LocalTable;
  // pf8bit: the indexes, with the colours in its palette; transparent
  // pixels are black.
  std::unique_ptr<platform::Bitmap> Bitmap;
  std::unique_ptr<platform::Bitmap> Mask;        // pf1bit, only for transparent frames
  std::unique_ptr<platform::Bitmap> SaveBitmap;  // what the frame covered, disposal 3 only
  std::unique_ptr<platform::Bitmap> SaveMask;
  TGIFImage* Owner;
  std::string Comment;

  // Decodes the LZW data at the owner's reading position into Bitmap's
  // indexes and, for a transparent frame, sets Mask's bits where the index
  // is TransparentIndex. Pixels the data does not supply keep index 0.
  // Leaves the position after the frame's data.
  virtual void Decode();
  // Reads the image descriptor at the owner's reading position, its local
  // table and (unless the owner reads headers only) its pixels. `control`
  // is the pending graphic control block (block size, packed, delay low,
  // delay high, transparent index, terminator), zeros when there is none.
  virtual bool ReadFrame(const std::array<uint8_t, 6>& control);

 private:
  // The colour of each index: the colour table's, or on an 8-bit display
  // the shared palette's nearest; black past the table and for the
  // transparent index.
  std::vector<platform::TColor> Colors() const;
};

// A GIF file decoded into frames, the animation's composed picture and
// mask, and its clock. Surfaces: ImageDC is the composed picture (black
// where transparent), MaskDC its mask (white where transparent, only for
// transparent images), WorkDC the picture over its background for drawing
// without flicker.
class TGIFImage {
 public:
  TGIFImage() = default;
  virtual ~TGIFImage() = default;
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  // A copy for one user of a cached image: its own surfaces and frames,
  // shown at frame 1, animating independently of the source.
  static std::unique_ptr<TGIFImage> CreateCopy(const TGIFImage& source);

  bool Animated = false;  // more than one frame
  int CurrentFrame = 1;   // 1-based
  bool Empty = true;
  uint32_t ScreenWidth = 0;  // the logical screen, enlarged to cover every frame
  uint32_t ScreenHeight = 0;
  int FrameCount = 0;
  int LoopLimit = 1;  // plays in all; 0 for ever
  int Speed = 100;    // percentage applied to delays
  bool IsTransparent = false;
  bool Visible = true;
  int GlobalBits = 0;  // bits of the largest colour table met so far
  std::array<uint8_t, 768> GlobalColorTable{};
  std::unique_ptr<platform::Bitmap> ImageDC;
  std::unique_ptr<platform::Bitmap> MaskDC;
  std::unique_ptr<platform::Bitmap> WorkDC;
  bool RepaintBackground = false;
  std::unique_ptr<platform::Bitmap> BitmapCopy;
  std::unique_ptr<platform::Bitmap> MaskCopy;
  bool Animate = false;
  // Where the picture was last drawn, in window coordinates.
  int DrawY = 0;
  int DrawX = 0;
  int DrawHeight = 0;
  int DrawWidth = 0;
  std::vector<std::unique_ptr<TFrame>> Frames;  // Frames[0] is frame 1
  int LoopCounter = 1;
  bool FirstStep = true;
  bool HeaderOnly = false;
  uint32_t LastTime = 0;
  int CurrentDelay = 0;
  bool Shown = false;   // drawn at least once; set by the inline image
  bool IsCopy = false;  // a per-use copy of a cached image

  TFrame& Frame(int n) { return *Frames[static_cast<size_t>(n - 1)]; }
  const TFrame& Frame(int n) const { return *Frames[static_cast<size_t>(n - 1)]; }

  // Whole-file loads; false (and the image cleared) when the data is not a
  // GIF, cannot be read or asks for more than its data could fill. The
  // header loads read every frame's description but decode no pixels.
  bool LoadFromStream(std::span<const uint8_t> data);
  bool LoadFromFile(std::string_view windowsPath);
  bool LoadHeaderFromStream(std::span<const uint8_t> data);
  bool LoadHeaderFromFile(std::string_view windowsPath);

  void Clear();
  void ClearAll();
  // Switching on restarts loop counting and timing; the overload without a
  // time reads the millisecond clock.
  void SetAnimate(bool on);
  void SetAnimate(bool on, uint32_t nowMs);
  void SetCurrentFrame(int n);
  // Shows frame n (chosen as SetCurrentFrame chooses it) as the animation
  // shows it: frames 1 to n composed in order, for frames that draw only
  // what changed since the one before.
  void PlayToFrame(int n);
  void SetVisible(bool on) { Visible = on; }

  // The animation clock's tick: moves on to the next frame when the shown
  // one's delay has passed and asks for the drawn rectangle to be redrawn.
  void Step(uint32_t nowMs, const std::function<void(const platform::TRect&)>& invalidate);
  void Step(const std::function<void(const platform::TRect&)>& invalidate);

  // Draws the composed picture stretched to (x, y, width, height); a
  // transparent picture shows `background` (or what the canvas holds)
  // through its transparent pixels.
  void Draw(platform::TCanvas& canvas, const TGifBackground& background, int x, int y, int width,
            int height);

  // Frame 1's picture and mask, made on first request; none when nothing is
  // decoded (or, for the mask, nothing is transparent).
  const platform::Bitmap* GetBitmap();
  const platform::Bitmap* GetMask();

  // Parses Data; false only when it is not a GIF or when the picture it
  // describes is refused (see the canvas limits above).
  virtual bool ReadGIF();

 private:
  friend class TFrame;

  bool Load(std::span<const uint8_t> data, bool headerOnly);
  void ComposeFrame();
  void DisposeFrame();
  // Clears the picture and mask for a new play from frame 1.
  void StartOver();
  void PaintBackground(const TGifBackground& background, int width, int height);
  // Whether a canvas of this size may be allocated.
  bool CanvasIsAllowed(int64_t width, int64_t height) const;

  // The file during parsing, and the reading position in it.
  std::span<const uint8_t> Data;
  size_t Position = 0;
  // The most pixels the frames read so far could fill from their data.
  int64_t PlausiblePixels = 0;
  int64_t FramePixels = 0;  // of the frames read so far
  // The background last painted into WorkDC.
  TGifBackground PaintedBackground;
};

}  // namespace images
