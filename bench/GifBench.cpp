// The GIF decoder against giflib in the same run. Each figure is decoding a
// whole file from memory and composing every frame into a canvas:
//
//   picture      one 1024 x 768 frame of 256 colours
//   interlaced   the same picture, interlaced
//   animation    40 frames of 320 x 240: a full first frame, then
//                sub-rectangles of half to all of the screen with
//                transparent blocks and every kind of disposal
//
// Ours: TGIFImage::LoadFromStream (which decodes every frame into its
// picture and composes frame 1), then SetCurrentFrame through the rest.
// giflib: DGifOpen and DGifSlurp from memory, then each frame's disposal
// and its pixels, transparency honoured, into an RGBA canvas.
// The files are made once with giflib's encoder; the content is drawn
// (gradients with ordered dithering, flat shapes, rows of small glyphs),
// not noise, so the data compresses as real pictures do.
//
//   build/bin/gif_bench                                 all, then the table
//   build/bin/gif_bench --benchmark_repetitions=5       medians of five
//
// Build with `cmake --build build --target gif_bench`. Run by hand: it is no
// CTest test.

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "images/GifImage.h"

namespace {

using Bytes = std::vector<uint8_t>;

// --- The pictures. ---

// 216 colours of a 6 x 6 x 6 cube, then 40 greys.
std::vector<GifColorType> Palette() {
  std::vector<GifColorType> colors;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        colors.push_back({static_cast<GifByteType>(r * 51), static_cast<GifByteType>(g * 51),
                          static_cast<GifByteType>(b * 51)});
  for (int i = 0; i < 40; ++i) {
    const auto v = static_cast<GifByteType>(i * 255 / 39);
    colors.push_back({v, v, v});
  }
  return colors;
}

// A colour given as 0..1 per channel, to the cube with 4 x 4 ordered
// dithering.
uint8_t Dithered(double r, double g, double b, int x, int y) {
  static constexpr int kBayer[4][4] = {
      {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  const double threshold = (kBayer[y & 3][x & 3] + 0.5) / 16.0;
  const auto level = [&](double v) {
    const double scaled = std::clamp(v, 0.0, 1.0) * 5.0;
    const int base = static_cast<int>(scaled);
    return std::min(5, base + (scaled - base > threshold ? 1 : 0));
  };
  return static_cast<uint8_t>(level(r) * 36 + level(g) * 6 + level(b));
}

// A scene: a dithered gradient, flat discs and bars, and rows of glyphs.
std::vector<uint8_t> Scene(int width, int height, int seed) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double fx = double(x) / width, fy = double(y) / height;
      uint8_t index = Dithered(fx, fy, 0.5 + 0.5 * std::sin((x + y + seed) / 40.0), x, y);
      for (int disc = 0; disc < 6; ++disc) {
        const int cx = (disc * 173 + seed * 31) % width, cy = (disc * 97 + seed * 17) % height;
        const int radius = 20 + disc * 15;
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < radius * radius)
          index = static_cast<uint8_t>(216 + disc * 5);
      }
      if (y % 120 < 20 && x % 200 < 150) index = static_cast<uint8_t>(2 + (x / 200) * 36);
      // Glyph rows: a small pattern per 8 x 12 cell.
      if (y > height / 2 && y % 16 < 12 && x % 9 < 8) {
        const unsigned cell = static_cast<unsigned>((x / 9) * 7 + (y / 16) * 13 + seed);
        if ((cell * 2654435761u >> ((x % 9) + (y % 16) % 12)) & 1) index = 255;
      }
      pixels[static_cast<size_t>(y) * width + x] = index;
    }
  return pixels;
}

struct Writer {
  Bytes bytes;
  static int Put(GifFileType* gif, const GifByteType* data, int length) {
    auto* self = static_cast<Writer*>(gif->UserData);
    self->bytes.insert(self->bytes.end(), data, data + length);
    return length;
  }
};

void Check(int result, const char* what) {
  if (result == GIF_ERROR) throw std::runtime_error(what);
}

struct Image {
  int left, top, width, height;
  std::vector<uint8_t> pixels;
  int disposal = 0;
  int transparent = NO_TRANSPARENT_COLOR;
  bool interlaced = false;
};

Bytes Encode(int width, int height, const std::vector<Image>& images, bool loop) {
  Writer writer;
  int error = 0;
  GifFileType* gif = EGifOpen(&writer, &Writer::Put, &error);
  if (!gif) throw std::runtime_error("EGifOpen");
  const std::vector<GifColorType> colors = Palette();
  ColorMapObject* map = GifMakeMapObject(256, colors.data());
  EGifSetGifVersion(gif, true);
  Check(EGifPutScreenDesc(gif, width, height, 8, 0, map), "screen");
  if (loop) {
    Check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "leader");
    Check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"), "netscape");
    const GifByteType count[3] = {1, 0, 0};
    Check(EGifPutExtensionBlock(gif, 3, count), "loop");
    Check(EGifPutExtensionTrailer(gif), "trailer");
  }
  for (const Image& image : images) {
    GraphicsControlBlock control{image.disposal, false, 5, image.transparent};
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension),
          "control");
    Check(EGifPutImageDesc(gif, image.left, image.top, image.width, image.height, image.interlaced,
                           nullptr),
          "descriptor");
    const auto row = [&](int y) {
      Check(EGifPutLine(gif,
                        const_cast<GifPixelType*>(image.pixels.data() +
                                                  static_cast<size_t>(y) * image.width),
                        image.width),
            "line");
    };
    if (image.interlaced) {
      static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
      for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < image.height; y += kStep[pass]) row(y);
    } else {
      for (int y = 0; y < image.height; ++y) row(y);
    }
  }
  GifFreeMapObject(map);
  Check(EGifCloseFile(gif, &error), "close");
  return writer.bytes;
}

Bytes Picture(bool interlaced) {
  Image image{0, 0, 1024, 768, Scene(1024, 768, 0)};
  image.interlaced = interlaced;
  return Encode(1024, 768, {image}, false);
}

// 40 frames: the scene, then sub-rectangles of half to all of the screen
// as an optimiser leaves them: new content where something changed, the
// transparent index (254) over blocks that stayed, and each disposal in
// turn.
Bytes Animation() {
  const int width = 320, height = 240;
  std::vector<Image> images;
  images.push_back({0, 0, width, height, Scene(width, height, 3), 1});
  const int dispose[4] = {1, 2, 3, 0};
  for (int frame = 1; frame < 40; ++frame) {
    const int w = 160 + (frame % 5) * 40, h = 120 + (frame % 4) * 40;
    Image part{(frame * 37) % (width - w + 1), (frame * 23) % (height - h + 1), w, h, {}};
    part.pixels = Scene(w, h, frame);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((x / 16 + y / 16 + frame) % 3 == 0) part.pixels[static_cast<size_t>(y) * w + x] = 254;
    part.disposal = dispose[frame % 4];
    part.transparent = 254;
    images.push_back(std::move(part));
  }
  return Encode(width, height, images, true);
}

const Bytes& File(const std::string& name) {
  static std::map<std::string, Bytes> files;
  auto& file = files[name];
  if (file.empty())
    file = name == "picture" ? Picture(false) : name == "interlaced" ? Picture(true) : Animation();
  return file;
}

// --- giflib: decode and compose. ---

struct Reader {
  const Bytes* bytes;
  size_t at = 0;
  static int Get(GifFileType* gif, GifByteType* out, int length) {
    auto* self = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min<size_t>(length, self->bytes->size() - self->at);
    std::memcpy(out, self->bytes->data() + self->at, n);
    self->at += n;
    return static_cast<int>(n);
  }
};

// The canvas after every frame, as RGBA words (0 transparent); `shown`,
// when given, receives the canvas that shows each frame.
uint32_t GiflibCompose(const Bytes& file, std::vector<std::vector<uint32_t>>* shown = nullptr) {
  Reader reader{&file};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, &Reader::Get, &error);
  if (!gif || DGifSlurp(gif) == GIF_ERROR) throw std::runtime_error("DGifSlurp");
  const int width = gif->SWidth, height = gif->SHeight;
  std::vector<uint32_t> canvas(static_cast<size_t>(width) * height, 0);
  std::vector<uint32_t> saved;
  uint32_t checksum = 0;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const GifImageDesc& d = image.ImageDesc;
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(gif, i, &control);
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    uint32_t colors[256] = {};
    for (int c = 0; c < map->ColorCount && c < 256; ++c)
      colors[c] = 0xFF000000u | map->Colors[c].Red | (map->Colors[c].Green << 8) |
                  (map->Colors[c].Blue << 16);
    const int right = std::min(width, d.Left + d.Width);
    const int bottom = std::min(height, d.Top + d.Height);
    if (control.DisposalMode == DISPOSE_PREVIOUS) {
      saved.clear();
      for (int y = d.Top; y < bottom; ++y)
        saved.insert(saved.end(), canvas.begin() + y * width + d.Left,
                     canvas.begin() + y * width + right);
    }
    for (int y = d.Top; y < bottom; ++y) {
      const GifByteType* source = image.RasterBits + static_cast<size_t>(y - d.Top) * d.Width;
      uint32_t* target = canvas.data() + static_cast<size_t>(y) * width;
      for (int x = d.Left; x < right; ++x) {
        const int index = source[x - d.Left];
        if (index != control.TransparentColor) target[x] = colors[index];
      }
    }
    checksum += canvas[canvas.size() / 2];
    if (shown) shown->push_back(canvas);
    // The frame has been shown; now its disposal.
    if (control.DisposalMode == DISPOSE_BACKGROUND) {
      for (int y = d.Top; y < bottom; ++y)
        std::fill(canvas.begin() + y * width + d.Left, canvas.begin() + y * width + right, 0);
    } else if (control.DisposalMode == DISPOSE_PREVIOUS) {
      auto from = saved.begin();
      for (int y = d.Top; y < bottom; ++y, from += right - d.Left)
        std::copy(from, from + (right - d.Left), canvas.begin() + y * width + d.Left);
    }
  }
  DGifCloseFile(gif, &error);
  return checksum;
}

uint32_t OurCompose(const Bytes& file, images::TGIFImage& gif) {
  if (!gif.LoadFromStream(file)) throw std::runtime_error("LoadFromStream");
  uint32_t checksum = gif.ImageDC->GetRaw(0, 0);
  for (int n = 2; n <= gif.FrameCount; ++n) {
    gif.SetCurrentFrame(n);
    checksum += gif.ImageDC->GetRaw(gif.ImageDC->Width() / 2, gif.ImageDC->Height() / 2);
  }
  return checksum;
}

void Ours(benchmark::State& state, const std::string& name) {
  const Bytes& file = File(name);
  for (auto _ : state) {
    images::TGIFImage gif;
    benchmark::DoNotOptimize(OurCompose(file, gif));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

void Giflib(benchmark::State& state, const std::string& name) {
  const Bytes& file = File(name);
  for (auto _ : state) benchmark::DoNotOptimize(GiflibCompose(file));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

// Prints the usual lines, then per file our time, giflib's and ours/giflib
// (below 1: ours is faster).
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
      const std::string name = run.run_name.str();
      const size_t slash = name.find('/');
      const double ms =
          run.GetAdjustedRealTime() * (run.time_unit == benchmark::kMillisecond   ? 1.0
                                       : run.time_unit == benchmark::kMicrosecond ? 1e-3
                                                                                  : 1e-6);
      times_[name.substr(slash + 1)][name.substr(0, slash)] = ms;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-12s %10s %10s %14s\n", "file", "ours ms", "giflib ms", "ours/giflib");
    for (auto& [file, sides] : times_)
      if (sides.count("Ours") && sides.count("Giflib"))
        std::printf("%-12s %10.2f %10.2f %14.3f\n", file.c_str(), sides["Ours"], sides["Giflib"],
                    sides["Ours"] / sides["Giflib"]);
  }

 private:
  std::map<std::string, std::map<std::string, double>> times_;
};

// Both sides must show the same frames, or they did different work.
bool SameFrames(const Bytes& file) {
  images::TGIFImage gif;
  if (!gif.LoadFromStream(file)) return false;
  std::vector<std::vector<uint32_t>> theirs;
  GiflibCompose(file, &theirs);
  if (static_cast<int>(theirs.size()) != gif.FrameCount) return false;
  const int width = gif.ImageDC->Width();
  for (int n = 1; n <= gif.FrameCount; ++n) {
    gif.SetCurrentFrame(n);
    const std::vector<uint32_t>& canvas = theirs[n - 1];
    for (size_t i = 0; i < canvas.size(); ++i) {
      const int x = static_cast<int>(i % width), y = static_cast<int>(i / width);
      const bool transparent = gif.MaskDC && gif.MaskDC->GetRaw(x, y) == 1;
      const uint32_t rgb = canvas[i] & 0xFFFFFF;
      const uint32_t expected = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16;  // 0x00RRGGBB
      if ((canvas[i] == 0) != transparent ||
          (!transparent && gif.ImageDC->GetRaw(x, y) != expected))
        return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  for (const char* name : {"picture", "interlaced", "animation"}) {
    std::printf("%s: %zu bytes\n", name, File(name).size());
    if (!SameFrames(File(name))) {
      std::fprintf(stderr, "%s: the two sides disagree\n", name);
      return 1;
    }
    benchmark::RegisterBenchmark((std::string("Ours/") + name).c_str(), Ours, std::string(name))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Giflib/") + name).c_str(), Giflib, std::string(name))
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
