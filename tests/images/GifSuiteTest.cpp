// The shared GIF suites: every case of each, every frame composed in turn
// and compared with the suite's picture of the whole canvas.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "images/GifImage.h"

namespace {

namespace fs = std::filesystem;
using images::TGIFImage;

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

struct Rgba {
  uint8_t r, g, b, a;
};

// Compares the composed canvas with a reference over the reference's size.
// A reference pixel with alpha 0 is transparent: ours must be transparent
// in the mask, or, in an image without transparency, the black that an
// uncovered canvas has. Any other reference pixel must be opaque with the
// same colour. Gives the first difference, or an empty string.
std::string CompareCanvas(const TGIFImage& gif, int width, int height,
                          const std::vector<Rgba>& reference) {
  if (gif.ScreenWidth < static_cast<uint32_t>(width) ||
      gif.ScreenHeight < static_cast<uint32_t>(height))
    return "canvas " + std::to_string(gif.ScreenWidth) + "x" + std::to_string(gif.ScreenHeight);
  if (width > 0 && height > 0 && !gif.ImageDC) return "no composed picture";
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Rgba want = reference[static_cast<size_t>(y) * width + x];
      const bool transparent = gif.MaskDC && gif.MaskDC->GetRaw(x, y) == 1;
      const platform::TColor got = gif.ImageDC->GetPixel(x, y);
      std::ostringstream where;
      where << "pixel (" << x << ", " << y << ") ";
      if (want.a == 0) {
        if (!transparent && (gif.MaskDC || got != platform::clBlack))
          return where.str() + "should be transparent";
      } else if (transparent) {
        return where.str() + "is transparent";
      } else if (got != platform::RGB(want.r, want.g, want.b)) {
        where << std::hex << "is " << got << ", want " << platform::RGB(want.r, want.g, want.b);
        return where.str();
      }
    }
  return "";
}

// --- Robert Ancell's suite: INI files naming raw RGBA canvases. ---

using Ini = std::map<std::string, std::map<std::string, std::string>>;

Ini ReadIni(const fs::path& path) {
  Ini ini;
  std::ifstream in(path);
  std::string line, section;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    auto trim = [](std::string s) {
      s.erase(0, s.find_first_not_of(' '));
      s.erase(s.find_last_not_of(' ') + 1);
      return s;
    };
    ini[section][trim(line.substr(0, equals))] = trim(line.substr(equals + 1));
  }
  return ini;
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, ','))
    if (!part.empty()) parts.push_back(part);
  return parts;
}

// Where the decoder knowingly differs from the suite, in what, and why.
// Everything else about these files is still checked.
enum class Aspect {
  kPictureKept,    // the suite wants no picture; a frame is shown
  kFramesMissing,  // the block walk ends before the suite's frames
  kLoopCount,      // another loop count
  kCanvasGrows,    // a larger canvas; compared over the suite's
};
struct Difference {
  Aspect aspect;
  const char* reason;
};
const std::map<std::string, Difference> kPygifDifferences = {
    {"invalid-code",
     {Aspect::kPictureKept, "corrupt data ends the decoding; the frame keeps what was read"}},
    {"invalid-colors", {Aspect::kPictureKept, "an index past the colour table shows black"}},
    {"plain-text", {Aspect::kPictureKept, "plain text is skipped; the image after it shows"}},
    {"unknown-extension",
     {Aspect::kFramesMissing, "an extension label we do not know ends the walk"}},
    {"loop-animexts", {Aspect::kLoopCount, "only NETSCAPE2.0 blocks carry a loop count"}},
    {"gif87a-animation",
     {Aspect::kLoopCount, "a file without a loop block plays once, even when forced to animate"}},
    {"image-outside-bg", {Aspect::kCanvasGrows, "the canvas grows to hold every frame"}},
    {"image-overlap-bg", {Aspect::kCanvasGrows, "the canvas grows to hold every frame"}},
};

// Without the shared data one case runs, to say so.
constexpr const char* kAbsent = "SharedDataAbsent";

std::vector<std::string> PygifCases() {
  const auto root = testing_support::SharedTestData("gif-pygif");
  if (!root) return {kAbsent};
  std::vector<std::string> names;
  std::ifstream in(*root / "TESTS");
  std::string name;
  while (in >> name) names.push_back(name);
  return names;
}

class PygifSuite : public testing::TestWithParam<std::string> {};

TEST_P(PygifSuite, EveryFrameComposesAsTheReference) {
  const auto root = testing_support::SharedTestData("gif-pygif");
  if (!root) GTEST_SKIP() << "shared test data gif-pygif is absent";
  const std::string name = GetParam();
  SCOPED_TRACE(name);
  Ini ini = ReadIni(*root / (name + ".conf"));
  auto& config = ini["config"];
  const std::vector<uint8_t> file = ReadFile(*root / config["input"]);
  const std::vector<std::string> frames = SplitCommas(config["frames"]);
  const auto known = kPygifDifferences.find(name);
  const Aspect* differs = known == kPygifDifferences.end() ? nullptr : &known->second.aspect;
  const auto expectDifference = [&](Aspect aspect) { return differs && *differs == aspect; };
  if (differs) RecordProperty("known_difference", known->second.reason);

  TGIFImage gif;
  const bool loaded = gif.LoadFromStream(file);
  if (frames.empty()) {
    // No picture expected: refused, or nothing to show.
    if (expectDifference(Aspect::kPictureKept)) {
      EXPECT_TRUE(loaded && gif.FrameCount > 0) << "no longer differs: " << known->second.reason;
    } else {
      EXPECT_TRUE(!loaded || gif.FrameCount == 0) << "frames " << gif.FrameCount;
    }
    return;
  }
  ASSERT_TRUE(loaded);
  const int width = std::stoi(config["width"]);
  const int height = std::stoi(config["height"]);
  if (expectDifference(Aspect::kCanvasGrows)) {
    EXPECT_TRUE(gif.ScreenWidth > static_cast<uint32_t>(width) ||
                gif.ScreenHeight > static_cast<uint32_t>(height));
  } else {
    EXPECT_EQ(gif.ScreenWidth, static_cast<uint32_t>(width));
    EXPECT_EQ(gif.ScreenHeight, static_cast<uint32_t>(height));
  }
  const std::string loop = config["loop-count"];
  // The suite's 0 is a file without a loop extension, which plays once.
  const int loopLimit = loop == "infinite" ? 0 : loop == "0" ? 1 : std::stoi(loop);
  if (expectDifference(Aspect::kLoopCount)) {
    EXPECT_NE(gif.LoopLimit, loopLimit);
  } else {
    EXPECT_EQ(gif.LoopLimit, loopLimit);
  }

  // The suite counts an image without a delay as part of the frame that
  // the next image with a delay ends (unless the file is to be animated
  // anyway); here each image is a frame, shown for at least one tick. The
  // suite's frame is compared once its last image is composed.
  std::vector<int> lastImages;
  const bool everyImage = config["force-animation"] == "yes";
  for (int n = 1; n <= gif.FrameCount; ++n)
    if (everyImage || gif.Frame(n).Delay > 0 || n == gif.FrameCount) lastImages.push_back(n);
  if (expectDifference(Aspect::kFramesMissing)) {
    EXPECT_LT(lastImages.size(), frames.size());
    return;
  }
  // No image at all (no frame) is a transparent canvas: nothing is drawn.
  if (gif.FrameCount == 0) {
    ASSERT_EQ(frames.size(), 1u);
    std::vector<uint8_t> pixels = ReadFile(*root / ini[frames[0]]["pixels"]);
    for (size_t i = 3; i < pixels.size(); i += 4) EXPECT_EQ(pixels[i], 0);
    return;
  }
  ASSERT_EQ(lastImages.size(), frames.size());

  for (size_t i = 0; i < frames.size(); ++i) {
    SCOPED_TRACE("frame " + std::to_string(i));
    auto& section = ini[frames[i]];
    while (gif.CurrentFrame < lastImages[i]) gif.SetCurrentFrame(gif.CurrentFrame + 1);
    if (section.count("delay")) {
      EXPECT_EQ(gif.Frame(lastImages[i]).Delay, std::stoi(section["delay"]) * 10);
    }
    const std::vector<uint8_t> bytes = ReadFile(*root / section["pixels"]);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(width) * height * 4);
    std::vector<Rgba> reference(bytes.size() / 4);
    std::memcpy(reference.data(), bytes.data(), bytes.size());
    EXPECT_EQ(CompareCanvas(gif, width, height, reference), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Files, PygifSuite, testing::ValuesIn(PygifCases()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

// --- Peter Nelson's suite: a PNG of the canvas after each frame. ---

std::vector<std::string> PeterdnCases() {
  const auto root = testing_support::SharedTestData("gif-peterdn");
  if (!root) return {kAbsent};
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(*root))
    if (entry.path().extension() == ".gif") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<Rgba> PngPixels(const fs::path& path, int* width, int* height) {
  QImage image(QString::fromStdString(path.string()));
  image = image.convertToFormat(QImage::Format_RGBA8888);
  *width = image.width();
  *height = image.height();
  std::vector<Rgba> pixels(static_cast<size_t>(image.width()) * image.height());
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(pixels.data() + static_cast<size_t>(y) * image.width(), image.constScanLine(y),
                static_cast<size_t>(image.width()) * 4);
  return pixels;
}

// Files whose frames lie beyond the logical screen: the canvas grows to
// hold them, where the suite's pictures keep the screen's size.
const std::set<std::string> kPeterdnCanvasGrows = {
    "animated_transparent_loop_frames_out_of_bounds"};

class PeterdnSuite : public testing::TestWithParam<std::string> {};

TEST_P(PeterdnSuite, EveryFrameComposesAsTheReference) {
  const auto root = testing_support::SharedTestData("gif-peterdn");
  if (!root) GTEST_SKIP() << "shared test data gif-peterdn is absent";
  const std::string name = GetParam();
  SCOPED_TRACE(name);
  TGIFImage gif;
  ASSERT_TRUE(gif.LoadFromStream(ReadFile(*root / (name + ".gif"))));
  std::vector<fs::path> references;
  if (fs::exists(*root / "frames" / (name + ".png")))
    references.push_back(*root / "frames" / (name + ".png"));
  for (int i = 0; fs::exists(*root / "frames" / (name + "-" + std::to_string(i) + ".png")); ++i)
    references.push_back(*root / "frames" / (name + "-" + std::to_string(i) + ".png"));
  ASSERT_EQ(gif.FrameCount, static_cast<int>(references.size()));
  for (size_t i = 0; i < references.size(); ++i) {
    SCOPED_TRACE("frame " + std::to_string(i));
    gif.SetCurrentFrame(static_cast<int>(i) + 1);
    int width = 0, height = 0;
    const std::vector<Rgba> reference = PngPixels(references[i], &width, &height);
    if (kPeterdnCanvasGrows.count(name)) {
      EXPECT_GT(gif.ScreenWidth, static_cast<uint32_t>(width));
    } else {
      EXPECT_EQ(gif.ScreenWidth, static_cast<uint32_t>(width));
      EXPECT_EQ(gif.ScreenHeight, static_cast<uint32_t>(height));
    }
    EXPECT_EQ(CompareCanvas(gif, width, height, reference), "");
  }
  // The second play starts as the first did, whatever the last frames left.
  gif.SetCurrentFrame(gif.FrameCount + 1);
  int width = 0, height = 0;
  const std::vector<Rgba> first = PngPixels(references[0], &width, &height);
  EXPECT_EQ(CompareCanvas(gif, width, height, first), "") << "frame 1 of the second play";
}

INSTANTIATE_TEST_SUITE_P(Files, PeterdnSuite, testing::ValuesIn(PeterdnCases()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

// --- A real-world GIF87a of 1996 against the picture it was made from. ---

TEST(GifRealWorld, IjgTestImageIsCloseToItsSource) {
  const auto root = testing_support::SharedTestData("jpeg-libjpeg-turbo");
  if (!root) GTEST_SKIP() << "shared test data jpeg-libjpeg-turbo is absent";
  TGIFImage gif;
  ASSERT_TRUE(gif.LoadFromStream(ReadFile(*root / "ijg-v6a" / "testimg.gif")));
  ASSERT_EQ(gif.ScreenWidth, 227u);
  ASSERT_EQ(gif.ScreenHeight, 149u);
  EXPECT_FALSE(gif.Animated);

  // The source: a binary PPM.
  std::ifstream in(*root / "ijg-v6a" / "testimg.ppm", std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  in.get();
  ASSERT_EQ(magic, "P6");
  ASSERT_EQ(width, 227);
  ASSERT_EQ(height, 149);
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));

  double squares = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const platform::TColor c = gif.ImageDC->GetPixel(x, y);
      const uint8_t* want = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      const int channels[3] = {platform::GetRValue(c), platform::GetGValue(c),
                               platform::GetBValue(c)};
      for (int k = 0; k < 3; ++k) squares += std::pow(channels[k] - want[k], 2);
    }
  const double mse = squares / (width * height * 3.0);
  const double psnr = 10 * std::log10(255.0 * 255.0 / mse);
  RecordProperty("psnr", std::to_string(psnr));
  EXPECT_GT(psnr, 30.0);
}

}  // namespace
