// The GIF decoder and animation on hand-made files: the block walk, the
// LZW edge cases, composing and disposing, the animation clock, drawing
// over a background, and hostile headers.
#include "images/GifImage.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "AllocationCounter.h"
#include "GifBuilder.h"
#include "TestSupport.h"
#include "images/ImageModule.h"
#include "platform/Canvas.h"
#include "platform/Paths.h"

namespace {

using gif_test::GifBuilder;
using gif_test::ImageOptions;
using gif_test::Rgb;
using images::TGIFImage;
using platform::Bitmap;
using platform::RGB;
using platform::TColor;

// Index 0 black, 1 white, 2 red, 3 green.
const std::vector<Rgb> kColors = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 255, 0}};
constexpr TColor kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0);

std::unique_ptr<TGIFImage> Load(const std::vector<uint8_t>& bytes) {
  auto gif = std::make_unique<TGIFImage>();
  EXPECT_TRUE(gif->LoadFromStream(bytes));
  return gif;
}

// Frames of one pixel in the given colours (indexes), each shown `delayCs`.
std::vector<uint8_t> Animation(const std::vector<uint8_t>& colors, int delayCs, int loop = -1) {
  GifBuilder b;
  b.Header(1, 1, kColors);
  if (loop >= 0) b.Loop(loop);
  for (uint8_t color : colors) b.Control(1, delayCs).Image(0, 0, 1, 1, {color});
  return b.Trailer().bytes;
}

// Codes of `width` bits, least significant bit first, in one sub-block
// chain after the minimum code size.
std::vector<uint8_t> FrameWithCodes(int width, int height, int minCodeSize,
                                    const std::vector<int>& codes, int codeWidth,
                                    bool interlaced = false) {
  std::vector<uint8_t> data;
  uint32_t bits = 0;
  int count = 0;
  for (int code : codes) {
    bits |= static_cast<uint32_t>(code) << count;
    count += codeWidth;
    while (count >= 8) {
      data.push_back(static_cast<uint8_t>(bits));
      bits >>= 8;
      count -= 8;
    }
  }
  if (count > 0) data.push_back(static_cast<uint8_t>(bits));
  GifBuilder b;
  b.Header(width, height, kColors).U8(0x2C).U16(0).U16(0).U16(width).U16(height);
  b.U8(interlaced ? 0x40 : 0);
  b.U8(static_cast<uint8_t>(minCodeSize)).SubBlocks(data);
  return b.Trailer().bytes;
}

TEST(GifFile, OneFrameIsNotAnimatedTwoAre) {
  auto one = Load(Animation({1}, 10));
  EXPECT_EQ(one->FrameCount, 1);
  EXPECT_FALSE(one->Animated);
  auto two = Load(Animation({1, 2}, 10));
  EXPECT_EQ(two->FrameCount, 2);
  EXPECT_TRUE(two->Animated);
  EXPECT_EQ(two->Frame(2).Delay, 100);
}

TEST(GifFile, CommentsGoToTheirFrameAndPlainTextIsSkipped) {
  GifBuilder b;
  b.Header(1, 1, kColors);
  b.Raw({0x21, 0x01, 12, 0, 0, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0}).Raw({3, 'a', 'b', 'c', 0});
  b.Image(0, 0, 1, 1, {1}).Comment("hello").Image(0, 0, 1, 1, {2}).Trailer();
  auto gif = Load(b.bytes);
  ASSERT_EQ(gif->FrameCount, 2);
  EXPECT_EQ(gif->Frame(1).Comment, "");
  EXPECT_EQ(gif->Frame(2).Comment, "hello");
}

TEST(GifFile, AnUnknownExtensionEndsTheWalkKeepingEarlierFrames) {
  GifBuilder b;
  b.Header(1, 1, kColors).Image(0, 0, 1, 1, {2});
  b.Raw({0x21, 0x2A, 3, 'a', 'b', 'c', 0}).Image(0, 0, 1, 1, {3}).Trailer();
  auto gif = Load(b.bytes);
  EXPECT_EQ(gif->FrameCount, 1);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 0), kRed);
}

TEST(GifFile, ALoopBlockWithABufferSizeDoesNotEndTheWalk) {
  GifBuilder b;
  b.Header(1, 1, kColors).Raw({0x21, 0xFF, 11});
  for (char c : std::string("NETSCAPE2.0")) b.U8(static_cast<uint8_t>(c));
  b.Raw({3, 1, 5, 0, 5, 2, 0, 4, 0, 0, 0});  // loop 5, then a buffer size
  b.Image(0, 0, 1, 1, {2}).Image(0, 0, 1, 1, {3}).Trailer();
  auto gif = Load(b.bytes);
  EXPECT_EQ(gif->LoopLimit, 5);
  EXPECT_EQ(gif->FrameCount, 2);
}

TEST(GifFile, At256FramesTheRestIsIgnored) {
  auto gif = Load(Animation(std::vector<uint8_t>(300, 1), 1));
  EXPECT_EQ(gif->FrameCount, 256);
}

TEST(GifFile, AFrameBeyondTheScreenEnlargesIt) {
  GifBuilder b;
  b.Header(2, 2, kColors).Image(3, 1, 2, 2, {2, 2, 2, 3}).Trailer();
  auto gif = Load(b.bytes);
  EXPECT_EQ(gif->ScreenWidth, 5u);
  EXPECT_EQ(gif->ScreenHeight, 3u);
  ASSERT_EQ(gif->ImageDC->Width(), 5);
  EXPECT_EQ(gif->ImageDC->GetPixel(4, 2), kGreen);
}

TEST(GifFile, InterlacedHeightThreeDecodesRowsZeroTwoOne) {
  // One pixel a row; the data holds rows 0, 2, 1 in that order.
  GifBuilder b;
  b.Header(1, 3, kColors).Image(0, 0, 1, 3, {1, 2, 3}, {.interlaced = true}).Trailer();
  auto gif = Load(b.bytes);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 0), kWhite);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 1), kGreen);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 2), kRed);
}

// Frames whose data could fill them, but together more pixels than a
// picture may have (every use of an animation keeps them all): the walk
// ends at the frame that would pass the ceiling, keeping those before.
TEST(GifFile, FramesTogetherStayWithinThePictureCeiling) {
  GifBuilder b;
  b.Header(2048, 2048, kColors);
  const std::vector<uint8_t> data(1200, 0x55);  // enough codes for 2048 x 2048
  for (int i = 0; i < 6; ++i)
    b.U8(0x2C).U16(0).U16(0).U16(2048).U16(2048).U8(0).U8(2).SubBlocks(data);
  b.Trailer();
  TGIFImage header;
  ASSERT_TRUE(header.LoadHeaderFromStream(b.bytes));
  EXPECT_EQ(header.FrameCount, 4);  // 4 x 2048 x 2048 is the ceiling itself
  EXPECT_LE(int64_t{header.FrameCount} * 2048 * 2048, images::kMaxGifFramePixels);
}

TEST(GifFile, HeaderLoadFindsTheSameFramesAndDecodesNothing) {
  GifBuilder b;
  b.Header(2, 1, kColors).Control(1, 5, 0).Image(0, 0, 2, 1, {0, 2});
  b.Raw({0, 0}).Image(1, 0, 1, 1, {3}).Trailer();  // padding zeros between frames
  TGIFImage header;
  ASSERT_TRUE(header.LoadHeaderFromStream(b.bytes));
  EXPECT_EQ(header.FrameCount, 2);
  EXPECT_TRUE(header.Animated);
  EXPECT_FALSE(header.ImageDC);
  EXPECT_EQ(header.GetBitmap(), nullptr);
  EXPECT_EQ(header.GetMask(), nullptr);

  auto full = Load(b.bytes);
  EXPECT_EQ(full->FrameCount, 2);
  ASSERT_NE(full->GetBitmap(), nullptr);
  EXPECT_EQ(full->GetBitmap()->GetPixel(0, 0), platform::clBlack);  // transparent: black
  EXPECT_EQ(full->GetBitmap()->GetPixel(1, 0), kRed);
  ASSERT_NE(full->GetMask(), nullptr);
  EXPECT_EQ(full->GetMask()->GetRaw(0, 0), 1u);
  EXPECT_EQ(full->GetMask()->GetRaw(1, 0), 0u);
}

TEST(GifFile, TruncatedFilesKeepTheFramesReadSoFar) {
  GifBuilder b;
  b.Header(2, 1, kColors).Image(0, 0, 2, 1, {2, 3});
  const size_t firstFrameEnd = b.bytes.size();
  b.Control(2, 1, 0).Image(0, 0, 2, 1, {1, 0}, {.localTable = kColors}).Trailer();
  for (size_t size = 0; size <= b.bytes.size(); ++size) {
    SCOPED_TRACE("first " + std::to_string(size) + " bytes");
    const std::vector<uint8_t> part(b.bytes.begin(),
                                    b.bytes.begin() + static_cast<std::ptrdiff_t>(size));
    TGIFImage gif;
    const bool loaded = gif.LoadFromStream(part);
    if (size < 13) {
      EXPECT_FALSE(loaded);
      continue;
    }
    ASSERT_TRUE(loaded);
    EXPECT_LE(gif.FrameCount, 2);
    if (size >= firstFrameEnd) {
      ASSERT_GE(gif.FrameCount, 1);
      gif.SetCurrentFrame(1);
      EXPECT_EQ(gif.ImageDC->GetPixel(1, 0), kGreen);
    }
    for (int n = 1; n <= gif.FrameCount + 1; ++n) gif.SetCurrentFrame(n);
  }
}

TEST(GifFile, FilesAreReadByTheirWindowsNames) {
  testing_support::TempDir medium;
  const std::vector<uint8_t> bytes = Animation({1, 2}, 10);
  medium.Write("HTML/Globe.gif", std::string(bytes.begin(), bytes.end()));
  platform::SetMediumRoot(medium.Path());
  TGIFImage header;
  ASSERT_TRUE(header.LoadHeaderFromFile("\\html\\GLOBE.GIF"));
  EXPECT_EQ(header.FrameCount, 2);
  EXPECT_FALSE(header.ImageDC);
  TGIFImage gif;
  ASSERT_TRUE(gif.LoadFromFile("D:\\HTML\\globe.gif"));
  EXPECT_EQ(gif.ImageDC->GetPixel(0, 0), kWhite);
}

TEST(GifFile, SomethingElseThanAGifIsRefused) {
  TGIFImage gif;
  EXPECT_FALSE(gif.LoadFromStream(std::vector<uint8_t>{'B', 'M', 0, 0}));
  EXPECT_TRUE(gif.Empty);
  EXPECT_FALSE(gif.LoadFromFile("\\no\\such\\file.gif"));
}

// --- LZW codes written by hand: minimum code size 2 (clear 4, end 5,
// first free entry 6), 3-bit codes, a frame of 4 x 1 pixels. Each stream
// is decoded as a plain frame and as an interlaced one, whose single row
// goes through the decoder's row-by-row path. ---

struct CodeCase {
  const char* name;
  std::vector<int> codes;
  std::vector<uint8_t> pixels;  // expected indexes; 0 where nothing is supplied
};

class GifCodes : public testing::TestWithParam<std::tuple<CodeCase, bool>> {};

TEST_P(GifCodes, DecodeAsExpected) {
  const auto& [c, interlaced] = GetParam();
  auto gif = Load(FrameWithCodes(4, 1, 2, c.codes, 3, interlaced));
  ASSERT_EQ(gif->FrameCount, 1);
  for (int x = 0; x < 4; ++x) {
    const Rgb want = kColors[c.pixels[x]];
    EXPECT_EQ(gif->ImageDC->GetPixel(x, 0), RGB(want.r, want.g, want.b)) << "pixel " << x;
  }
}

const CodeCase kCodeCases[] = {
    {"LeadingClearsAreSkipped", {4, 4, 4, 3, 1, 4, 2, 1, 5}, {3, 1, 2, 1}},
    {"ADoubleClearIsNotAPixel", {4, 1, 4, 4, 2, 5}, {1, 2, 0, 0}},
    {"TheNextFreeCodeRepeatsThePreviousString", {4, 1, 6, 5}, {1, 1, 1, 0}},
    {"AStringPastTheFrameIsCut", {4, 1, 6, 7, 5}, {1, 1, 1, 1}},
    {"AnEndCodeFirstSuppliesNothing", {4, 5, 3}, {0, 0, 0, 0}},
    {"ACodeBeyondTheNextFreeOneEndsThePixels", {4, 1, 7, 2, 5}, {1, 0, 0, 0}},
    {"AnUndefinedFirstCodeEndsThePixels", {4, 7, 1, 5}, {0, 0, 0, 0}},
    {"PixelsAfterTheFrameAreIgnored", {4, 2, 3, 4, 3, 1, 4, 2, 2, 5}, {2, 3, 3, 1}},
    {"NoEndCodeStillDecodes", {4, 1, 2, 4, 3, 1}, {1, 2, 3, 1}},
};

INSTANTIATE_TEST_SUITE_P(Lzw, GifCodes,
                         testing::Combine(testing::ValuesIn(kCodeCases), testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "Interlaced" : "");
                         });

// Compressed data whose table fills up and whose codes reach 12 bits: the
// encoder clears the full table, or keeps using it without new entries.
class GifFullTable : public testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(GifFullTable, DecodesEveryPixel) {
  const auto [clearWhenFull, interlaced] = GetParam();
  const int width = 400, height = 100;
  std::vector<uint8_t> pixels(width * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[y * width + x] = static_cast<uint8_t>((x * 7 + y * 13 + (x * y) % 5) % 200);
  std::vector<Rgb> table(256);
  for (int i = 0; i < 256; ++i) table[i] = {static_cast<uint8_t>(i), 0, 0};
  // Interlaced rows go in pass order.
  std::vector<uint8_t> stream = pixels;
  if (interlaced) {
    stream.clear();
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int y = start; y < height; y += step)
        stream.insert(stream.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
  }
  const std::vector<uint8_t> codes = GifBuilder::Compress(stream, 8, clearWhenFull);
  ASSERT_GT(codes.size() * 8 / 12, 4096u);  // enough codes to fill the table
  GifBuilder b;
  b.Header(width, height, table)
      .Image(0, 0, width, height, stream,
             {.interlaced = interlaced,
              .localTable = {},
              .minCodeSize = 8,
              .compress = true,
              .clearWhenFull = clearWhenFull})
      .Trailer();
  auto gif = Load(b.bytes);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      ASSERT_EQ(gif->ImageDC->GetPixel(x, y), RGB(pixels[y * width + x], 0, 0)) << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(Lzw, GifFullTable, testing::Combine(testing::Bool(), testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) ? "Clear" : "Deferred") +
                                  (std::get<1>(info.param) ? "Interlaced" : "");
                         });

// --- Hostile headers: refused before anything large is allocated. ---

struct HostileCase {
  const char* name;
  std::vector<uint8_t> bytes;
  bool loads;
  int frames;
};

std::vector<HostileCase> HostileCases() {
  std::vector<HostileCase> cases;
  cases.push_back({"ScreenOf65535Squared",
                   GifBuilder().Header(65535, 65535, kColors).Trailer().bytes, false, 0});
  cases.push_back({"ScreenOf4096SquaredWithATinyFrame",
                   GifBuilder().Header(4096, 4096, kColors).Image(0, 0, 1, 1, {1}).Trailer().bytes,
                   false, 0});
  cases.push_back({"FrameOf65535SquaredWithFewBytes",
                   GifBuilder()
                       .Header(1, 1, kColors)
                       .Image(0, 0, 1, 1, {1})
                       .Image(0, 0, 65535, 65535, {1, 2, 3})
                       .Trailer()
                       .bytes,
                   true, 1});
  cases.push_back({"FramePlacedBeyondTheFormatsRange",
                   GifBuilder().Header(1, 1, kColors).Image(65535, 0, 1, 1, {1}).Trailer().bytes,
                   false, 0});
  cases.push_back({"MinimumCodeSizeAbove11",
                   GifBuilder()
                       .Header(1, 1, kColors)
                       .Image(0, 0, 1, 1, {1})
                       .Image(0, 0, 1, 1, {1, 1, 1}, {.minCodeSize = 12})
                       .Trailer()
                       .bytes,
                   true, 1});
  return cases;
}

class GifHostile : public testing::TestWithParam<HostileCase> {};

TEST_P(GifHostile, AllocatesOnlyWhatTheDataCanFill) {
  const HostileCase& c = GetParam();
  allocation_counter::Reset();
  TGIFImage gif;
  EXPECT_EQ(gif.LoadFromStream(c.bytes), c.loads);
  EXPECT_EQ(gif.FrameCount, c.frames);
  TGIFImage header;
  EXPECT_EQ(header.LoadHeaderFromStream(c.bytes), c.loads);
  EXPECT_LT(allocation_counter::Largest(), size_t{300} << 10);
}

INSTANTIATE_TEST_SUITE_P(Headers, GifHostile, testing::ValuesIn(HostileCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GifHostile, AFileOfThirtyBytesClaimingTheLargestScreenAllocatesNothingBig) {
  GifBuilder b;
  b.Header(65535, 65535, {{0, 0, 0}, {255, 255, 255}}).Image(0, 0, 2, 2, {1, 0, 0, 1});
  ASSERT_LE(b.bytes.size(), 40u);
  allocation_counter::Reset();
  TGIFImage gif;
  EXPECT_FALSE(gif.LoadFromStream(b.bytes));
  EXPECT_LT(allocation_counter::Largest(), size_t{4} << 10);
}

TEST(GifHostile, AFrameItsDataCanFillIsDecoded) {
  // The mirror image of the above: a large frame with the data for it.
  const int side = 600;
  GifBuilder b;
  b.Header(side, side, kColors).Image(0, 0, side, side, std::vector<uint8_t>(side * side, 3));
  auto gif = Load(b.Trailer().bytes);
  EXPECT_EQ(gif->ImageDC->GetPixel(side - 1, side - 1), kGreen);
}

// --- Composing and disposing. ---

struct DisposalCase {
  int fileValue;
  int stored;
  TColor underSecondFrame;  // what frame 1 left at (0, 0) once frame 2 shows
};

class GifDisposal : public testing::TestWithParam<DisposalCase> {};

TEST_P(GifDisposal, FileValuesAndTheirEffect) {
  const DisposalCase& c = GetParam();
  GifBuilder b;
  b.Header(2, 1, kColors).Control(c.fileValue, 10).Image(0, 0, 2, 1, {2, 2});
  b.Control(1, 10).Image(1, 0, 1, 1, {3}).Trailer();
  auto gif = Load(b.bytes);
  EXPECT_EQ(gif->Frame(1).Disposal, c.stored);
  gif->SetCurrentFrame(2);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 0), c.underSecondFrame);
  EXPECT_EQ(gif->ImageDC->GetPixel(1, 0), kGreen);
}

// Restoring to the background or to what was there before frame 1 gives
// the empty canvas: black in an image without transparency.
INSTANTIATE_TEST_SUITE_P(
    Values, GifDisposal,
    testing::Values(DisposalCase{0, 0, kRed}, DisposalCase{1, 1, kRed},
                    DisposalCase{2, 2, platform::clBlack}, DisposalCase{3, 3, platform::clBlack},
                    DisposalCase{4, 2, platform::clBlack}, DisposalCase{5, 2, platform::clBlack},
                    DisposalCase{6, 2, platform::clBlack}, DisposalCase{7, 2, platform::clBlack}),
    [](const auto& info) { return "Value" + std::to_string(info.param.fileValue); });

TEST(GifCompose, RestoringPreviousBringsBackTheMaskToo) {
  GifBuilder b;
  b.Header(2, 1, kColors).Control(1, 10, 0).Image(0, 0, 2, 1, {2, 0});
  b.Control(3, 10).Image(0, 0, 2, 1, {3, 3}).Control(1, 10).Image(0, 0, 1, 1, {1}).Trailer();
  auto gif = Load(b.bytes);
  gif->SetCurrentFrame(2);
  EXPECT_EQ(gif->MaskDC->GetRaw(1, 0), 0u);
  gif->SetCurrentFrame(3);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 0), kWhite);
  EXPECT_EQ(gif->MaskDC->GetRaw(1, 0), 1u);  // transparent again, as after frame 1
  EXPECT_EQ(gif->ImageDC->GetPixel(1, 0), platform::clBlack);
}

TEST(GifCompose, SetCurrentFrameWrapsAround) {
  auto gif = Load(Animation({1, 2, 3}, 10));
  const std::pair<int, int> cases[] = {{2, 2}, {4, 1}, {0, 3}, {-5, 3}, {3, 3}};
  for (const auto& [asked, shown] : cases) {
    gif->SetCurrentFrame(asked);
    EXPECT_EQ(gif->CurrentFrame, shown) << "asked " << asked;
  }
}

// Frame 1 red at the left, transparent at the right; frame 2 green at the
// right only; both stay. Every loop must start as the first did: on the
// second play the right pixel is transparent again under frame 1, whether
// the wrap comes from the clock or from choosing frame 1.
TEST(GifCompose, EachLoopStartsAsTheFirstDid) {
  GifBuilder b;
  b.Header(2, 1, kColors).Loop(0).Control(1, 10, 0).Image(0, 0, 2, 1, {2, 0});
  b.Control(1, 10).Image(1, 0, 1, 1, {3}).Trailer();
  const auto state = [](const TGIFImage& gif) {
    return std::vector<uint32_t>{gif.ImageDC->GetRaw(0, 0), gif.ImageDC->GetRaw(1, 0),
                                 gif.MaskDC->GetRaw(0, 0), gif.MaskDC->GetRaw(1, 0)};
  };
  auto gif = Load(b.bytes);
  const std::vector<uint32_t> first = state(*gif);
  EXPECT_EQ(first[3], 1u) << "transparent at first";
  gif->SetCurrentFrame(2);
  EXPECT_EQ(gif->ImageDC->GetPixel(1, 0), kGreen);
  gif->SetCurrentFrame(1);
  EXPECT_EQ(state(*gif), first) << "chosen";

  gif->SetAnimate(true, 0);
  for (uint32_t now = 200; gif->CurrentFrame != 2; now += 200) gif->Step(now, nullptr);
  for (uint32_t now = 2000; gif->CurrentFrame != 1; now += 200) gif->Step(now, nullptr);
  EXPECT_EQ(state(*gif), first) << "by the clock";
}

// Frames that draw only what changed: frame N is what the animation shows
// after frames 1 to N, not frame N over frame 1.
TEST(GifCompose, PlayingToAFrameComposesTheFramesBefore) {
  GifBuilder b;
  b.Header(3, 1, kColors).Control(1, 10).Image(0, 0, 3, 1, {1, 1, 1});
  b.Control(1, 10).Image(0, 0, 1, 1, {2}).Control(1, 10).Image(1, 0, 1, 1, {3}).Trailer();
  auto gif = Load(b.bytes);
  gif->PlayToFrame(3);
  EXPECT_EQ(gif->CurrentFrame, 3);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 0), kRed) << "frame 2 stays";
  EXPECT_EQ(gif->ImageDC->GetPixel(1, 0), kGreen);
  EXPECT_EQ(gif->ImageDC->GetPixel(2, 0), kWhite);
  gif->PlayToFrame(9);  // past the last: frame 1, as when chosen
  EXPECT_EQ(gif->CurrentFrame, 1);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 0), kWhite);
}

// --- The animation clock. ---

struct LoopCase {
  const char* name;
  int loopExtension;  // -1: none
  int plays;          // 0: for ever
};

class GifLoops : public testing::TestWithParam<LoopCase> {};

TEST_P(GifLoops, PlayAsOftenAsTheFileSays) {
  const LoopCase& c = GetParam();
  auto gif = Load(Animation({1, 2}, 10, c.loopExtension));
  gif->SetAnimate(true, 0);
  int secondFrameShown = 0, invalidations = 0;
  gif->DrawX = 5;
  gif->DrawWidth = 7;
  for (uint32_t now = 50; now <= 10000; now += 50) {
    const int before = gif->CurrentFrame;
    gif->Step(now, [&](const platform::TRect& r) {
      ++invalidations;
      EXPECT_EQ(r, (platform::TRect{5, 0, 12, 0}));
    });
    if (gif->CurrentFrame == 2 && before != 2) ++secondFrameShown;
  }
  EXPECT_EQ(invalidations, c.plays == 0 ? invalidations : 2 * c.plays - 1);
  if (c.plays == 0) {
    EXPECT_TRUE(gif->Animate);
    EXPECT_GT(secondFrameShown, 20);
  } else {
    EXPECT_FALSE(gif->Animate);
    EXPECT_EQ(secondFrameShown, c.plays);
    EXPECT_EQ(gif->CurrentFrame, 2);  // the last frame stays
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, GifLoops,
                         testing::Values(LoopCase{"NoExtensionPlaysOnce", -1, 1},
                                         LoopCase{"ZeroLoopsForEver", 0, 0},
                                         LoopCase{"ThreePlaysThreeTimes", 3, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GifClock, AZeroDelayStepsAtTheNextTickAcrossTheClocksWrap) {
  auto gif = Load(Animation({1, 2, 3}, 0, 0));
  const uint32_t start = 0xFFFFFFC0u;  // the clock wraps during the run
  gif->SetAnimate(true, start);
  EXPECT_EQ(gif->CurrentDelay, 1);
  gif->Step(start, nullptr);       // no time has passed
  gif->Step(start + 50, nullptr);  // the first step only starts the timing
  EXPECT_EQ(gif->CurrentFrame, 1);
  const int expected[] = {2, 3, 1, 2};
  for (int i = 0; i < 4; ++i) {
    gif->Step(start + 100 + 50 * i, nullptr);
    EXPECT_EQ(gif->CurrentFrame, expected[i]) << "tick " << i;
  }
}

TEST(GifClock, ACopyAnimatesIndependently) {
  auto source = Load(Animation({1, 2, 3}, 10, 0));
  source->SetAnimate(true, 0);
  auto copy = TGIFImage::CreateCopy(*source);
  EXPECT_TRUE(copy->IsCopy);
  EXPECT_FALSE(source->IsCopy);
  EXPECT_EQ(copy->Frame(1).ColorTable, copy->GlobalColorTable.data());
  copy->Step(100, nullptr);
  copy->Step(200, nullptr);
  EXPECT_EQ(copy->CurrentFrame, 2);
  EXPECT_EQ(copy->ImageDC->GetPixel(0, 0), kRed);
  EXPECT_EQ(source->CurrentFrame, 1);
  EXPECT_EQ(source->ImageDC->GetPixel(0, 0), kWhite);
  source.reset();  // the copy owns all it uses
  copy->SetCurrentFrame(3);
  EXPECT_EQ(copy->ImageDC->GetPixel(0, 0), kGreen);
}

// --- Drawing. ---

Bitmap Canvas(int width, int height, TColor color) {
  Bitmap bitmap(width, height);
  bitmap.Fill(color);
  return bitmap;
}

struct DrawCase {
  const char* name;
  int disposal;
  TColor throughTransparent;
};

class GifDraw : public testing::TestWithParam<DrawCase> {};

// Frames that stay are drawn through the work picture over the given
// colour; frames that go are drawn straight over the canvas's pixels.
TEST_P(GifDraw, TransparentPixelsShowTheBackground) {
  const DrawCase& c = GetParam();
  GifBuilder b;
  b.Header(2, 1, kColors).Control(c.disposal, 10, 0).Image(0, 0, 2, 1, {0, 2}).Trailer();
  auto gif = Load(b.bytes);
  Bitmap target = Canvas(6, 4, platform::clBlue);
  platform::TCanvas canvas(target);
  canvas.SetTextColor(platform::clYellow);  // must not colour the mask
  gif->Draw(canvas, {.Color = platform::clLime}, 1, 1, 4, 2);
  EXPECT_EQ(gif->DrawX, 1);
  EXPECT_EQ(gif->DrawHeight, 2);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      TColor want = platform::clBlue;
      if (y >= 1 && y < 3 && x >= 1 && x < 3) want = c.throughTransparent;
      if (y >= 1 && y < 3 && x >= 3 && x < 5) want = kRed;
      EXPECT_EQ(target.GetPixel(x, y), want) << x << ", " << y;
    }
  EXPECT_EQ(canvas.GetTextColor(), platform::clYellow);
}

INSTANTIATE_TEST_SUITE_P(Paths, GifDraw,
                         testing::Values(DrawCase{"WorkPicture", 1, platform::clLime},
                                         DrawCase{"StraightOntoTheCanvas", 2, platform::clBlue}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GifDraw, AnOpaquePictureIsCopied) {
  auto gif = Load(Animation({2}, 0));
  Bitmap target = Canvas(3, 3, platform::clBlue);
  platform::TCanvas canvas(target);
  gif->Draw(canvas, {}, 1, 1, 2, 2);
  EXPECT_EQ(target.GetPixel(1, 1), kRed);
  EXPECT_EQ(target.GetPixel(2, 2), kRed);
  EXPECT_EQ(target.GetPixel(0, 0), platform::clBlue);
  gif->SetVisible(false);
  Bitmap hidden = Canvas(3, 3, platform::clBlue);
  platform::TCanvas hiddenCanvas(hidden);
  gif->Draw(hiddenCanvas, {}, 1, 1, 2, 2);
  EXPECT_EQ(hidden.GetPixel(1, 1), platform::clBlue);
}

class GifTiles : public testing::TestWithParam<std::pair<int, int>> {};

// The tiles line up with the document, not with the picture.
TEST_P(GifTiles, TheBackgroundPictureIsTiledFromTheDocumentsOrigin) {
  const auto [docX, docY] = GetParam();
  Bitmap tile(2, 2);
  tile.SetPixel(0, 0, kRed);
  tile.SetPixel(1, 0, kGreen);
  tile.SetPixel(0, 1, platform::clBlue);
  tile.SetPixel(1, 1, kWhite);
  GifBuilder b;
  b.Header(3, 3, kColors).Control(0, 0, 0).Image(0, 0, 3, 3, std::vector<uint8_t>(9, 0));
  auto gif = Load(b.Trailer().bytes);
  Bitmap target = Canvas(5, 5, platform::clBlack);
  platform::TCanvas canvas(target);
  gif->Draw(canvas, {.Color = platform::clYellow, .Tile = &tile, .DocX = docX, .DocY = docY}, 1, 2,
            3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(target.GetPixel(1 + x, 2 + y),
                tile.GetPixel(((docX + x) % 2 + 2) % 2, ((docY + y) % 2 + 2) % 2))
          << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(Positions, GifTiles,
                         testing::Values(std::pair{0, 0}, std::pair{1, 3}, std::pair{-1, -4},
                                         std::pair{101, 200}));

// A pixel that turns transparent again must show the background, not what
// an earlier frame left in the work picture.
TEST(GifDraw, TheWorkPictureIsRepaintedWherePixelsTurnTransparent) {
  GifBuilder b;
  b.Header(2, 1, kColors);
  b.Control(1, 10, 0).Image(0, 0, 2, 1, {2, 0});  // red, transparent
  b.Control(2, 10).Image(0, 0, 1, 1, {3});        // green, then restored
  b.Control(1, 10).Image(1, 0, 1, 1, {1});        // white beside it
  auto gif = Load(b.Trailer().bytes);
  for (int frame = 1; frame <= 3; ++frame) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    gif->SetCurrentFrame(frame);
    Bitmap target = Canvas(2, 1, platform::clBlue);
    platform::TCanvas canvas(target);
    gif->Draw(canvas, {.Color = platform::clYellow}, 0, 0, 2, 1);
    const TColor left[] = {kRed, kGreen, platform::clYellow};
    EXPECT_EQ(target.GetPixel(0, 0), left[frame - 1]);
  }
}

TEST(GifDraw, AFirstFrameThatGoesStillLeavesTheBackgroundForTheNext) {
  GifBuilder b;
  b.Header(2, 1, kColors);
  b.Control(2, 10, 0).Image(0, 0, 2, 1, {2, 0});
  b.Control(1, 10, 0).Image(1, 0, 1, 1, {0});
  auto gif = Load(b.Trailer().bytes);
  Bitmap target = Canvas(2, 1, platform::clBlue);
  platform::TCanvas canvas(target);
  gif->Draw(canvas, {.Color = platform::clYellow}, 0, 0, 2, 1);
  gif->SetCurrentFrame(2);
  gif->Draw(canvas, {.Color = platform::clYellow}, 0, 0, 2, 1);
  EXPECT_EQ(target.GetPixel(0, 0), platform::clYellow);
  EXPECT_EQ(target.GetPixel(1, 0), platform::clYellow);
}

TEST(GifDraw, LaterTransparentFramesShowThePageWhereNothingCoversIt) {
  GifBuilder b;
  b.Header(2, 1, kColors).Image(0, 0, 1, 1, {2});  // opaque, covers half
  b.Control(1, 10, 0).Image(1, 0, 1, 1, {0}).Trailer();
  auto gif = Load(b.bytes);
  Bitmap target = Canvas(2, 1, platform::clBlue);
  platform::TCanvas canvas(target);
  gif->Draw(canvas, {.Color = platform::clYellow}, 0, 0, 2, 1);
  EXPECT_EQ(target.GetPixel(0, 0), kRed);
  EXPECT_EQ(target.GetPixel(1, 0), platform::clYellow);
}

// --- An 8-bit display: colours come out as entries of the shared palette. ---

TEST(GifPalette, AnEightBitDisplayShowsPaletteColours) {
  images::TImageModuleScope scope(8);
  const std::vector<TColor>& palette = *images::ThePalette();
  const TColor odd = RGB(250, 10, 10);
  GifBuilder b;
  // Two entries; index 3 lies past the table.
  b.Header(3, 1, {{250, 10, 10}, {0, 0, 0}}).Control(1, 0, 1);
  b.Image(0, 0, 3, 1, {0, 1, 3}).Trailer();
  auto gif = Load(b.bytes);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 0), palette[platform::NearestPaletteIndex(palette, odd)]);
  EXPECT_NE(gif->ImageDC->GetPixel(0, 0), odd);
  EXPECT_EQ(gif->ImageDC->GetPixel(2, 0), palette[0]);
  Bitmap target = Canvas(3, 1, platform::clBlack);
  platform::TCanvas canvas(target);
  gif->Draw(canvas, {.Color = odd}, 0, 0, 3, 1);
  EXPECT_EQ(target.GetPixel(1, 0), palette[platform::NearestPaletteIndex(palette, odd)]);
}

TEST(GifPalette, WithoutThePaletteColoursAreExactAndPastTheTableBlack) {
  GifBuilder b;
  b.Header(2, 1, {{250, 10, 10}, {1, 2, 3}}).Image(0, 0, 2, 1, {0, 3}).Trailer();
  auto gif = Load(b.bytes);
  EXPECT_EQ(gif->ImageDC->GetPixel(0, 0), RGB(250, 10, 10));
  EXPECT_EQ(gif->ImageDC->GetPixel(1, 0), platform::clBlack);
}

}  // namespace
