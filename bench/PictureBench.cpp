// A page with 200 pictures against the same page without them, parsed and
// laid out with our document code as the page tool does it (the launcher's
// width, faces and size). The pictures are ten files next to the page (BMP,
// JPEG, animated and still GIF), each named twenty times, so the cache has
// them decoded once a page: "cold" empties the cache before every page,
// "warm" keeps it as the viewer does for pages seen within its count.
// The table's ratio is the plain page's time over the picture page's time
// (below 1: pictures cost; the goal is at least 0.5, that is at most twice
// the time).
//
//   build/bin/picture_bench
//
// Build with `cmake --build build --target picture_bench`. Run by hand: it
// is no CTest test.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/BenchSupport.h"
#include "images/ImageCache.h"
#include "images/ImageModule.h"
#include "platform/GuiApplication.h"
#include "tools/PageRender.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPictures = 200;
constexpr int kFiles = 10;

struct Pages {
  fs::path folder;
  fs::path plain;
  fs::path pictures;
  size_t bytes = 0;
};

std::string ReadSource(const char* relative) {
  std::ifstream in(fs::path(LAUNCHER_SOURCE_DIR) / relative, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The 100 KB generated page with 200 pictures cycling over the ten files,
// and without them.
const Pages& GetPages() {
  static const Pages pages = [] {
    Pages p;
    p.folder = fs::temp_directory_path() / "picture-bench";
    fs::create_directories(p.folder);
    const char* sources[] = {"demo/HTML/disk.bmp", "demo/HTML/photo.jpg", "demo/HTML/globe.gif"};
    for (int i = 0; i < kFiles; ++i) {
      const char* source = sources[i % 3];
      const std::string extension = fs::path(source).extension().string();
      std::ofstream(p.folder / ("pic" + std::to_string(i) + extension), std::ios::binary)
          << ReadSource(source);
    }
    // The generated page's own IMG tags (it has more than 200 at 100 KB):
    // the first 200 name our files, the plain page has none.
    const std::string page = bench::GetDocument(100 * 1024).bytes;
    std::string plain, withPictures;
    size_t from = 0, placed = 0;
    for (size_t at = page.find("<IMG"); at != std::string::npos; at = page.find("<IMG", from)) {
      const size_t end = page.find('>', at);
      if (end == std::string::npos) break;
      plain.append(page, from, at - from);
      withPictures.append(page, from, at - from);
      if (placed < kPictures) {
        const int file = static_cast<int>(placed % kFiles);
        const char* extension[] = {".bmp", ".jpg", ".gif"};
        withPictures += "<IMG SRC=\"pic" + std::to_string(file) + extension[file % 3] + "\"" +
                        (placed % 4 == 0 ? " ALIGN=LEFT" : "") + ">";
        ++placed;
      }
      from = end + 1;
    }
    plain.append(page, from, std::string::npos);
    withPictures.append(page, from, std::string::npos);
    p.plain = p.folder / "plain.htm";
    p.pictures = p.folder / "pictures.htm";
    std::ofstream(p.plain, std::ios::binary) << plain;
    std::ofstream(p.pictures, std::ios::binary) << withPictures;
    p.bytes = plain.size();
    return p;
  }();
  return pages;
}

void Run(benchmark::State& state, bool withPictures) {
  const Pages& pages = GetPages();
  const bool cold = state.range(0) == 0;
  tools::PageSettings settings;
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      images::ImageCache().Clear();
      state.ResumeTiming();
    }
    tools::LaidOutPage page = tools::LayOutFile(withPictures ? pages.pictures : pages.plain, settings);
    benchmark::DoNotOptimize(page.Height);
    state.PauseTiming();
    page.Document.reset();
    images::ImageCache().AgeImages();  // a document load, as the viewer does it
    state.ResumeTiming();
  }
  // The same bytes on both sides: the rate ratio is the time ratio.
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * pages.bytes));
}

}  // namespace

int main(int argc, char** argv) {
  platform::EnsureGuiApplication();
  images::TImageModuleScope module;
  benchmark::Initialize(&argc, argv);
  for (const bool withPictures : {true, false})
    benchmark::RegisterBenchmark(withPictures ? "Pictures" : "Plain",
                                 [withPictures](benchmark::State& s) { Run(s, withPictures); })
        ->Arg(0)
        ->Arg(1)
        ->ArgNames({"warm"})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  bench::RatioReporter reporter("Pictures", "Plain");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
