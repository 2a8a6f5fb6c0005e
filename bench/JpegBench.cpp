// Our JPEG reader against the decoder it wraps, used directly, in the same
// run: a 2048 x 1536 picture (gradients, stripes, discs and a little noise,
// made here, the same every run) encoded at quality 85 with 4:2:0 chroma.
//
//   Ours/24bit   ReadJpeg into a 32-bit bitmap
//   Raw/24bit    the decoder alone: RGB rows into a buffer allocated per run
//   Ours/8bit    ReadJpeg against a 6x6x6 colour cube (dithered)
//   Raw/8bit     the decoder alone, quantising against the same colours
//
// Then a table of each pair's time ratio, ours / raw (1.00 = no cost added),
// in wall time and in CPU time (the steadier on a busy machine).
// Repetitions run interleaved in random order, so that a change of load
// falls on both sides alike.
//
//   build/bin/jpeg_bench
//   build/bin/jpeg_bench --benchmark_repetitions=10    medians of ten
//
// Build with `cmake --build build --target jpeg_bench`. Run by hand: it is
// no CTest test.

#include <benchmark/benchmark.h>

// jpeglib.h uses size_t and FILE without including their headers.
#include <jpeglib.h>
#include <cstddef>
#include <cstdio>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/JpegReader.h"

namespace {

constexpr int kWidth = 2048;
constexpr int kHeight = 1536;

std::vector<uint8_t> MakePicture() {
  std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  uint32_t noise = 1;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525 + 1013904223;
      const int n = static_cast<int>(noise >> 28) - 8;  // -8..7
      int r = x * 255 / kWidth, g = y * 255 / kHeight, b = ((x / 64 + y / 48) % 2) ? 180 : 60;
      // Discs of a flat colour on a grid, and thin stripes in one band.
      const int cx = x % 256 - 128, cy = y % 256 - 128;
      if (cx * cx + cy * cy < 70 * 70) r = 230, g = 200 - (x / 256) * 20, b = 40;
      if (y > 1000 && y < 1200 && (x / 3) % 2) r = g = b = 20;
      const auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
      uint8_t* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
      p[0] = clamp(r + n);
      p[1] = clamp(g + n);
      p[2] = clamp(b + n);
    }
  return rgb;
}

const std::vector<uint8_t>& Jpeg() {
  static const std::vector<uint8_t> jpeg = [] {
    const std::vector<uint8_t> rgb = MakePicture();
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = kWidth;
    c.image_height = kHeight;
    c.in_color_space = JCS_RGB;
    c.input_components = 3;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
      JSAMPROW row = const_cast<uint8_t*>(&rgb[static_cast<size_t>(c.next_scanline) * kWidth * 3]);
      jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
  }();
  return jpeg;
}

const std::vector<platform::TColor>& Cube() {
  static const std::vector<platform::TColor> palette = [] {
    std::vector<platform::TColor> p;
    for (int b = 0; b < 6; ++b)
      for (int g = 0; g < 6; ++g)
        for (int r = 0; r < 6; ++r)
          p.push_back(platform::RGB(static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                    static_cast<uint8_t>(b * 51)));
    return p;
  }();
  return palette;
}

// The decoder as a program would use it without our wrapper: default
// settings, rows of the requested form into one buffer.
size_t DecodeRaw(bool quantise) {
  const std::vector<uint8_t>& data = Jpeg();
  jpeg_decompress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&c, TRUE);
  c.out_color_space = JCS_RGB;
  std::vector<JSAMPLE> channels[3];
  JSAMPROW colormap[3];
  if (quantise) {
    for (int i = 0; i < 3; ++i) {
      for (platform::TColor colour : Cube()) channels[i].push_back((colour >> (8 * i)) & 0xFF);
      colormap[i] = channels[i].data();
    }
    c.quantize_colors = TRUE;
    c.colormap = colormap;
    c.actual_number_of_colors = static_cast<int>(Cube().size());
  }
  jpeg_start_decompress(&c);
  const size_t stride = static_cast<size_t>(c.output_width) * c.output_components;
  std::unique_ptr<uint8_t[]> pixels(new uint8_t[stride * c.output_height]);
  while (c.output_scanline < c.output_height) {
    JSAMPROW rows[16];
    for (int i = 0; i < 16; ++i)
      rows[i] =
          pixels.get() + stride * std::min<JDIMENSION>(c.output_scanline + i, c.output_height - 1);
    jpeg_read_scanlines(&c, rows, 16);
  }
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  return pixels[0];
}

void Ours24(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::ReadJpeg(Jpeg()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Jpeg().size()));
}
void Raw24(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DecodeRaw(false));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Jpeg().size()));
}
void Ours8(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::ReadJpeg(Jpeg(), &Cube()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Jpeg().size()));
}
void Raw8(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DecodeRaw(true));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Jpeg().size()));
}

BENCHMARK(Raw24)->Name("Raw/24bit")->Unit(benchmark::kMillisecond);
BENCHMARK(Ours24)->Name("Ours/24bit")->Unit(benchmark::kMillisecond);
BENCHMARK(Raw8)->Name("Raw/8bit")->Unit(benchmark::kMillisecond);
BENCHMARK(Ours8)->Name("Ours/8bit")->Unit(benchmark::kMillisecond);

// Prints what Google Benchmark prints, then ours / raw in time per mode.
class TimeRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
      const std::string name = run.run_name.str();
      const size_t slash = name.find('/');
      if (slash == std::string::npos) continue;
      Times& t = times_[name.substr(slash + 1)][name.substr(0, slash)];
      t.real = run.GetAdjustedRealTime();
      t.cpu = run.GetAdjustedCPUTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%u x %u picture, %zu bytes of JPEG\n", kWidth, kHeight, Jpeg().size());
    std::printf("%-8s %10s %10s %12s %10s %10s %12s\n", "mode", "ours ms", "raw ms", "ours / raw",
                "ours cpu", "raw cpu", "ours / raw");
    for (auto& [mode, sides] : times_) {
      if (!sides.count("Ours") || !sides.count("Raw")) continue;
      const Times ours = sides["Ours"], raw = sides["Raw"];
      std::printf("%-8s %10.2f %10.2f %12.3f %10.2f %10.2f %12.3f\n", mode.c_str(), ours.real,
                  raw.real, ours.real / raw.real, ours.cpu, raw.cpu, ours.cpu / raw.cpu);
    }
  }

 private:
  struct Times {
    double real = 0, cpu = 0;  // milliseconds
  };
  std::map<std::string, std::map<std::string, Times>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  // Interleaved repetitions unless the command line says otherwise.
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  argc = static_cast<int>(args.size());
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Jpeg();  // encoded before any timing
  TimeRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
