// Inline pictures on a page: sizes before and after the picture is known,
// placeholders, borders of linked pictures, alignment, floats, hit tests
// with maps, transparency, and the cache across document loads.
#include <gtest/gtest.h>

#include <sstream>

#include "PictureFixtures.h"
#include "TestSupport.h"
#include "images/ImageCache.h"
#include "images/ImageKinds.h"
#include "images/ImageModule.h"
#include "layout/Section.h"
#include "tools/PageRender.h"

namespace {

using layout::TImageObj;
using layout::TSection;
using testpictures::MemoryPictures;
using testpictures::SolidBmp;

class Pictures : public testing::Test {
 protected:
  void SetUp() override {
    images::ImageCache().Clear();
    settings.FontName = settings.PreFontName = std::string(platform::kTestFontName);
    settings.Width = 301;
    files.Add("p40x20.bmp", SolidBmp(40, 20, platform::RGB(255, 0, 0)));
    files.Install(settings);
  }
  void TearDown() override { images::ImageCache().Clear(); }

  std::vector<TImageObj*> Images(const tools::LaidOutPage& page) {
    std::vector<TImageObj*> found;
    for (const auto& section : *page.Document)
      if (auto* text = dynamic_cast<TSection*>(section.get()))
        for (const auto& image : text->Images) found.push_back(image.get());
    return found;
  }
  TImageObj& Only(const tools::LaidOutPage& page) {
    const auto all = Images(page);
    EXPECT_EQ(all.size(), 1u);
    return *all.at(0);
  }

  images::TImageModuleScope module;
  tools::PageSettings settings;
  MemoryPictures files;
};

// The pictures of a page and the cache share a budget: past it a picture
// is the missing-picture sign and the page still loads; pictures no page
// uses any more make room first.
TEST_F(Pictures, PicturesStayWithinTheBudget) {
  std::string html;
  for (int i = 0; i < 5; ++i) {
    const std::string name = "p" + std::to_string(i) + ".bmp";
    files.Add(name, SolidBmp(100, 100, platform::RGB(0, 0, 255)));
    html += "<IMG SRC=" + name + ">";
  }
  files.Install(settings);
  images::ImageCache().Budget = 2 * 100 * 100 * 4 + 1000;  // two of them
  const auto kinds = [&](const tools::LaidOutPage& page) {
    std::string shown;
    for (TImageObj* image : Images(page))
      shown += image->PictureKind == layout::TPictureKind::Bitmap ? 'P' : '-';
    return shown;
  };
  {
    const tools::LaidOutPage page = tools::LayOutHtml(html, settings);
    EXPECT_EQ(kinds(page), "PP---");
    EXPECT_LE(images::ImageCache().HeldBytes(), images::ImageCache().Budget);
  }
  // The page is gone: its pictures are unused and give way to others.
  const tools::LaidOutPage next =
      tools::LayOutHtml("<IMG SRC=p3.bmp><IMG SRC=p4.bmp><IMG SRC=p0.bmp>", settings);
  EXPECT_EQ(kinds(next), "PP-");
  images::ImageCache().Budget = images::kPictureBudget;
}

TEST_F(Pictures, SizesFromAttributesOrThePicture) {
  struct Case {
    const char* tag;
    int width, height;
  } cases[] = {
      {"<IMG SRC=p40x20.bmp>", 40, 20},
      {"<IMG SRC=p40x20.bmp HEIGHT=10>", 20, 10},  // the aspect is kept
      {"<IMG SRC=p40x20.bmp WIDTH=80>", 80, 40},
      {"<IMG SRC=p40x20.bmp WIDTH=7 HEIGHT=9>", 7, 9},
      {"<IMG SRC=p40x20.bmp WIDTH=50%>", 151, 20},  // MulDiv(301, 50, 100) rounds up
      {"<IMG SRC=p40x20.bmp WIDTH=0%>", 40, 20},    // out of 1..100: ignored
      {"<IMG SRC=p40x20.bmp WIDTH=101%>", 40, 20},
      {"<IMG SRC=p40x20.bmp HEIGHT=0>", 2, 1},         // a height is at least 1
      {"<A HREF=x><IMG SRC=p40x20.bmp></A>", 42, 22},  // a link's border
      {"<A HREF=x><IMG SRC=p40x20.bmp BORDER=0></A>", 40, 20},
      {"<A HREF=x><IMG SRC=p40x20.bmp BORDER=5></A>", 42, 22},  // still 1 pixel
      {"<IMG SRC=nothing.bmp>", 24, 24},                        // the error placeholder's box
      {"<IMG SRC=nothing.bmp WIDTH=5 HEIGHT=6>", 5, 6},
      {"<IMG SRC=nothing.bmp WIDTH=50>", 24, 24},  // one size alone is not used
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    const tools::LaidOutPage page = tools::LayOutHtml(c.tag, settings);
    const TImageObj& image = Only(page);
    EXPECT_EQ(image.ObjWidth, c.width);
    EXPECT_EQ(image.ObjHeight, c.height);
  }
}

TEST_F(Pictures, PlaceholderBoxHoldsTheAlternativeText) {
  // The test font is 8 pixels wide a character at every size? Measure it.
  const tools::LaidOutPage page =
      tools::LayOutHtml("<IMG SRC=nothing.bmp ALT=\"Company logo\">", settings);
  const TImageObj& image = Only(page);
  EXPECT_EQ(image.PictureKind, layout::TPictureKind::Error);
  platform::Bitmap scratch(1, 1);
  platform::TCanvas canvas(scratch);
  canvas.Font.SetName("Arial");
  canvas.Font.SetSize(8);
  EXPECT_EQ(image.ImageWidth, canvas.TextWidth("Company logo") + 2 + 24);
  EXPECT_EQ(image.ImageHeight, std::max(24, canvas.TextHeight("Company logo")));
  EXPECT_FALSE(image.SizeFixed);
}

TEST_F(Pictures, WithImagesOffEveryPictureIsASunkenBox) {
  settings.ShowImages = false;
  const tools::LaidOutPage page =
      tools::LayOutHtml("<IMG SRC=p40x20.bmp><IMG SRC=p40x20.bmp WIDTH=70 HEIGHT=50>", settings);
  const auto all = Images(page);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]->ImageWidth, 24);
  EXPECT_EQ(all[0]->ImageHeight, 24);
  EXPECT_EQ(all[1]->ImageWidth, 70);
  EXPECT_EQ(all[1]->ImageHeight, 50);
  EXPECT_TRUE(files.requests.empty());  // nothing fetched
}

TEST_F(Pictures, AttributesReadAsTheImageTagGivesThem) {
  struct Case {
    const char* tag;
    layout::TImageAlign align;
    int hspace;
    const char* map;
  } cases[] = {
      {"<IMG SRC=p40x20.bmp ALIGN=absmiddle>", layout::TImageAlign::Middle, 5, ""},
      {"<IMG SRC=p40x20.bmp ALIGN=top HSPACE=-30>", layout::TImageAlign::Top, 20, ""},
      {"<IMG SRC=p40x20.bmp ALIGN=baseline HSPACE=3>", layout::TImageAlign::Bottom, 3, ""},
      {"<IMG SRC=p40x20.bmp ALIGN=Left USEMAP=\" #Nav \">", layout::TImageAlign::Left, 5, "NAV"},
      {"<IMG SRC=p40x20.bmp ALIGN=right USEMAP=#>", layout::TImageAlign::Right, 5, "#"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    const tools::LaidOutPage page = tools::LayOutHtml(c.tag, settings);
    const TImageObj& image = Only(page);
    EXPECT_EQ(image.ImageAlign, c.align);
    EXPECT_EQ(image.HSpace, c.hspace);
    EXPECT_EQ(image.MapName, c.map);
  }
}

// Draws the page so the pictures know where they are.
platform::Bitmap Draw(tools::LaidOutPage& page, const tools::PageSettings& settings) {
  return tools::RenderPage(page, settings);
}

TEST_F(Pictures, AlignmentsOnTheLine) {
  tools::LaidOutPage page = tools::LayOutHtml(
      "x<IMG SRC=p40x20.bmp ALIGN=top>y<IMG SRC=p40x20.bmp ALIGN=middle>z"
      "<IMG SRC=p40x20.bmp>",
      settings);
  Draw(page, settings);
  const auto all = Images(page);
  ASSERT_EQ(all.size(), 3u);
  const auto* text = dynamic_cast<const TSection*>((*page.Document)[0]);
  ASSERT_NE(text, nullptr);
  const layout::LineRec& line = text->Lines[0];
  const int textTop = text->Top + line.SpaceAbove;  // the line is the first, at the section's top
  const int baseline = textTop + line.LineHeight - line.Descent;
  EXPECT_EQ(all[0]->DrawY, textTop);        // top: the text's top
  EXPECT_EQ(all[2]->DrawY, baseline - 20);  // bottom: on the baseline
  int index = 0;
  const layout::TFontObj& run = *text->Fonts.GetRunAt(0, index);
  EXPECT_EQ(all[1]->DrawY, baseline + run.Descent - run.TextHeight / 2 - 10);  // middle
  // Pictures follow the text left to right.
  EXPECT_LT(all[0]->DrawX + 40, all[1]->DrawX);
  EXPECT_LT(all[1]->DrawX + 40, all[2]->DrawX);
}

TEST_F(Pictures, FloatsTakeTheMarginAndTextFlowsBeside) {
  tools::LaidOutPage page = tools::LayOutHtml(
      "<IMG SRC=p40x20.bmp ALIGN=left HSPACE=7>text<IMG SRC=p40x20.bmp ALIGN=right>more"
      "<BR CLEAR=all>below",
      settings);
  Draw(page, settings);
  const auto all = Images(page);
  ASSERT_EQ(all.size(), 2u);
  const auto* text = dynamic_cast<const TSection*>((*page.Document)[0]);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(all[0]->FloatX, 0);
  EXPECT_EQ(text->Lines[0].LineIndent, 40 + 7);  // the text starts after the float and its space
  EXPECT_EQ(all[1]->FloatX, settings.Width - 40);
  // CLEAR=all moves the next text below both pictures.
  const TSection* below = nullptr;
  for (const auto& section : *page.Document)
    if (auto* s = dynamic_cast<const TSection*>(section.get()); s && s->Buff == "below") below = s;
  ASSERT_NE(below, nullptr);
  int y = below->Top;
  for (const auto& line : below->Lines)
    if (line.Count > 0 && below->Buff[line.Start] == 'b')
      break;
    else
      y += line.FullHeight();
  EXPECT_GE(y, all[0]->DrawY + 20 - page.Document->YOffset);
}

TEST_F(Pictures, HitTestsOnBordersMapsAndServerMaps) {
  const std::string html =
      "<MAP NAME=nav><AREA NOHREF COORDS=0,0,9,9><AREA HREF=one.htm TARGET=main COORDS=0,0,19,19>"
      "</MAP><A HREF=link.htm><IMG SRC=p40x20.bmp></A><BR>"
      "<A HREF=srv.htm><IMG SRC=p40x20.bmp ISMAP></A><BR>"
      "<A HREF=ignored.htm><IMG SRC=p40x20.bmp USEMAP=\"#Nav\"></A>";
  tools::LaidOutPage page = tools::LayOutHtml(html, settings);
  const int margin = settings.MarginHeight;
  {
    // Before the first draw a picture has no place: nothing is hit at the
    // page's top left, where its unset place would put it.
    layout::TImageObj* object = nullptr;
    int ix = 0, iy = 0;
    EXPECT_FALSE(page.Document->GetObjectAt(2, 2, object, ix, iy));
  }
  Draw(page, settings);
  const auto all = Images(page);
  ASSERT_EQ(all.size(), 3u);
  platform::Bitmap scratch(1, 1);
  platform::TCanvas canvas(scratch);
  // Hit tests take y from the top of the body, below the page's margin.
  const auto urlAt = [&](int x, int y) -> std::string {
    std::unique_ptr<base::TUrlTarget> url;
    layout::TFormControlObj* control = nullptr;
    if (!page.Document->GetUrlAt(canvas, x, y - margin, url, control)) return "-";
    return url->Url + (url->Target.empty() ? "" : "@" + url->Target);
  };
  // The linked picture: its border (one pixel around the picture) is not
  // the picture; one pixel inside is. On the border the link is still
  // found, through the text the picture stands in.
  const TImageObj& linked = *all[0];
  const auto objectAt = [&](int x, int y) {
    layout::TImageObj* object = nullptr;
    int ix = 0, iy = 0;
    page.Document->GetObjectAt(x, y - margin, object, ix, iy);
    return object;
  };
  EXPECT_EQ(objectAt(linked.DrawX - 1, linked.DrawY + 5), nullptr);
  EXPECT_EQ(objectAt(linked.DrawX + 5, linked.DrawY - 1), nullptr);
  EXPECT_EQ(objectAt(linked.DrawX + 40, linked.DrawY + 19), nullptr);
  EXPECT_EQ(objectAt(linked.DrawX, linked.DrawY), &linked);
  EXPECT_EQ(objectAt(linked.DrawX + 39, linked.DrawY + 19), &linked);
  EXPECT_EQ(urlAt(linked.DrawX, linked.DrawY), "link.htm");
  EXPECT_EQ(urlAt(linked.DrawX - 1, linked.DrawY + 5), "link.htm");
  // A server-side map adds the point inside the picture.
  EXPECT_EQ(urlAt(all[1]->DrawX + 12, all[1]->DrawY + 7), "srv.htm?12,7");
  // A client-side map named with "#" and mixed case finds the map NAV;
  // its NOHREF area hides the link area below it.
  EXPECT_EQ(urlAt(all[2]->DrawX + 5, all[2]->DrawY + 5), "-");
  EXPECT_EQ(urlAt(all[2]->DrawX + 15, all[2]->DrawY + 15), "one.htm@main");
  EXPECT_EQ(urlAt(all[2]->DrawX + 30, all[2]->DrawY + 15), "-");  // no area: not the link
  layout::TImageObj* object = nullptr;
  int ix = 0, iy = 0;
  EXPECT_TRUE(
      page.Document->GetObjectAt(all[1]->DrawX + 3, all[1]->DrawY + 4 - margin, object, ix, iy));
  EXPECT_EQ(object, all[1]);
  EXPECT_EQ(ix, 3);
  EXPECT_EQ(iy, 4);
}

TEST_F(Pictures, TranspShowsThePageThroughTheCornerColour) {
  // Red with a blue column on the left: the bottom-left pixel is blue.
  files.Add("corner.bmp", testpictures::Bmp24(4, 2, [](int x, int) {
              return x == 0 ? platform::RGB(0, 0, 255) : platform::RGB(255, 0, 0);
            }));
  // The first use has no mask; TRANSP on the cached picture makes it then.
  tools::LaidOutPage page = tools::LayOutHtml(
      "<BODY BGCOLOR=#00FF00><IMG SRC=corner.bmp>"
      "<IMG SRC=corner.bmp TRANSP>",
      settings);
  const platform::Bitmap picture = Draw(page, settings);
  const auto all = Images(page);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(picture.GetPixel(all[0]->DrawX, all[0]->DrawY), platform::RGB(0, 0, 255));
  EXPECT_EQ(picture.GetPixel(all[1]->DrawX, all[1]->DrawY), platform::RGB(0, 255, 0));
  EXPECT_EQ(picture.GetPixel(all[1]->DrawX, all[1]->DrawY + 1), platform::RGB(0, 255, 0));
  EXPECT_EQ(picture.GetPixel(all[1]->DrawX + 1, all[1]->DrawY), platform::RGB(255, 0, 0));
  const images::TBitmapItem* entry = images::ImageCache().Find("CORNER.BMP");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->Transparency, images::LLCorner);
  ASSERT_NE(entry->Mask, nullptr);
  EXPECT_EQ(entry->Mask->GetRaw(0, 1), 1u);  // set where transparent
  EXPECT_EQ(entry->Mask->GetRaw(1, 1), 0u);
}

TEST_F(Pictures, StillGifsBecomePlainPicturesWithTheGifsMask) {
  // A still transparent GIF becomes a plain picture with the GIF's mask.
  const uint8_t gif[] = {'G',  'I',  'F',  '8',  '9', 'a', 2,   0,   1,   0,
                         0x80, 0,    0,    0,    0,   0,   255, 255, 255,     // black, white
                         0x21, 0xF9, 4,    1,    0,   0,   0,   0,            // index 0 transparent
                         0x2C, 0,    0,    0,    0,   2,   0,   1,   0,   0,  // 2 x 1
                         2,    2,    0x44, 0x0A, 0,   0x3B};                  // pixels 0, 1
  files.Add("still.gif", std::vector<uint8_t>(std::begin(gif), std::end(gif)));
  tools::LaidOutPage page =
      tools::LayOutHtml("<BODY BGCOLOR=#00FF00><IMG SRC=still.gif>", settings);
  const platform::Bitmap picture = Draw(page, settings);
  const TImageObj& image = Only(page);
  EXPECT_EQ(image.PictureKind, layout::TPictureKind::Bitmap);
  EXPECT_EQ(image.Transparency, images::TGif);
  EXPECT_EQ(picture.GetPixel(image.DrawX, image.DrawY), platform::RGB(0, 255, 0));
  EXPECT_EQ(picture.GetPixel(image.DrawX + 1, image.DrawY), platform::RGB(255, 255, 255));
}

TEST(TransparentColourProbes, GifAndPngHeaders) {
  // GIF89 with a two-entry table, the control block right after it.
  std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a',  1,    0, 1, 0, 0x80, 0, 0, 10,
                              20,  30,  40,  50,  60,  0x21, 0xF9, 4, 1, 0, 0,    1, 0};
  platform::TColor colour = 0;
  EXPECT_FALSE(images::GifTransparentColor({}, colour));  // no bytes, no memory to copy from
  EXPECT_FALSE(images::PngTransparentColor({}, colour));
  EXPECT_TRUE(images::GifTransparentColor(gif, colour));
  EXPECT_EQ(colour, platform::RGB(40, 50, 60));
  gif[22] = 0;  // transparent flag off
  EXPECT_FALSE(images::GifTransparentColor(gif, colour));
  gif[22] = 1;
  gif[4] = '7';  // GIF87 has no control blocks
  EXPECT_FALSE(images::GifTransparentColor(gif, colour));
  gif[4] = '9';
  gif.insert(gif.begin() + 19, {0x21, 0xFE, 0});  // a comment first: not looked past
  EXPECT_FALSE(images::GifTransparentColor(gif, colour));

  const auto chunk = [](std::vector<uint8_t>& png, const char* type, std::vector<uint8_t> data) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    png.insert(png.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    png.insert(png.end(), {0, 0, 0, 0});  // the check value is not read
  };
  const auto png = [&](uint8_t colourType, uint8_t alpha) {
    std::vector<uint8_t> p = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    chunk(p, "IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, colourType, 0, 0, 0});
    chunk(p, "PLTE", {7, 8, 9, 1, 2, 3});
    chunk(p, "tRNS", {alpha});
    chunk(p, "IDAT", {});
    return p;
  };
  EXPECT_TRUE(images::PngTransparentColor(png(3, 0), colour));
  EXPECT_EQ(colour, platform::RGB(7, 8, 9));
  EXPECT_FALSE(images::PngTransparentColor(png(3, 127), colour));  // not below 127
  EXPECT_FALSE(images::PngTransparentColor(png(2, 0), colour));    // no palette picture
  std::vector<uint8_t> cut = png(3, 0);
  cut.resize(40);  // ends inside PLTE
  EXPECT_FALSE(images::PngTransparentColor(cut, colour));
}

TEST(EightBitDisplay, PicturesAreMappedToTheSharedPalette) {
  images::TImageModuleScope display(8);
  const std::vector<platform::TColor>* palette = images::ThePalette();
  ASSERT_NE(palette, nullptr);
  ASSERT_EQ(palette->size(), 256u);
  EXPECT_EQ((*palette)[10], platform::RGB(55, 55, 55));      // the cube starts at 10
  EXPECT_EQ((*palette)[224], platform::RGB(235, 255, 255));  // white is left out
  EXPECT_EQ((*palette)[225], platform::RGB(135, 135, 135));  // the grey ramp
  EXPECT_EQ((*palette)[248], platform::RGB(250, 250, 250));
  const auto bytes = SolidBmp(3, 2, platform::RGB(200, 60, 60));
  images::TTransparency mode = images::LLCorner;
  images::BitmapPtr mask;
  const images::BitmapPtr picture = images::LoadImageStream(bytes, mode, mask);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Format(), platform::TPixelFormat::pf8bit);
  EXPECT_EQ(picture->Palette(), *palette);
  EXPECT_EQ(picture->GetPixel(0, 0),
            (*palette)[platform::NearestPaletteIndex(*palette, platform::RGB(200, 60, 60))]);
  ASSERT_NE(mask, nullptr);  // every pixel has the corner's colour
  EXPECT_EQ(mask->GetRaw(2, 0), 1u);
}

TEST(TwentyFourBitDisplay, NoPaletteAndPicturesKeepTheirColours) {
  images::TImageModuleScope display(32);
  EXPECT_EQ(images::ThePalette(), nullptr);
  EXPECT_EQ(images::ColorBits(), 24);
  const auto bytes = SolidBmp(3, 2, platform::RGB(200, 60, 60));
  images::TTransparency mode = images::NotTransp;
  images::BitmapPtr mask;
  const images::BitmapPtr picture = images::LoadImageStream(bytes, mode, mask);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->GetPixel(1, 1), platform::RGB(200, 60, 60));
  EXPECT_EQ(mask, nullptr);
  EXPECT_EQ(images::LoadImageStream(std::span(bytes).first(19), mode, mask), nullptr);  // < 20
}

TEST_F(Pictures, CacheSharesPicturesAndAgesThemAcrossLoads) {
  images::TStringBitmapList& cache = images::ImageCache();
  {
    const tools::LaidOutPage page =
        tools::LayOutHtml("<IMG SRC=p40x20.bmp><IMG SRC=\" P40X20.BMP \">", settings);
    EXPECT_EQ(files.requests.size(), 1u);  // case and blanks aside, one picture
    ASSERT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Find("P40X20.BMP")->UseCount, 2);
  }
  // The page is gone: the entry is unused and ages at every load.
  EXPECT_EQ(cache.Find("P40X20.BMP")->UseCount, 0);
  cache.SetMaxAge(4);
  for (int load = 1; load <= 4; ++load) {
    cache.AgeImages();
    ASSERT_EQ(cache.Count(), 1) << "dropped after " << load << " loads";
  }
  cache.AgeImages();
  EXPECT_EQ(cache.Count(), 0);  // the fifth load drops it
  // In use, an entry never goes; with MaxAge 0 an unused one goes at once.
  const tools::LaidOutPage kept = tools::LayOutHtml("<IMG SRC=p40x20.bmp>", settings);
  cache.SetMaxAge(0);
  for (int load = 0; load < 10; ++load) cache.AgeImages();
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_EQ(files.requests.size(), 2u);
}

TEST_F(Pictures, PendingPicturesWaitAndAreNotAskedForTwice) {
  files.pending = images::PendingImageStream();
  files.pendingNames = {"later.bmp"};
  const tools::LaidOutPage page =
      tools::LayOutHtml("<IMG SRC=later.bmp><IMG SRC=LATER.BMP WIDTH=30 HEIGHT=30>", settings);
  const auto all = Images(page);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]->PictureKind, layout::TPictureKind::Wait);
  EXPECT_EQ(all[1]->PictureKind, layout::TPictureKind::Wait);
  EXPECT_EQ(files.requests, std::vector<std::string>{"later.bmp"});
  EXPECT_EQ(page.Document->MissingImages.size(), 2u);
  EXPECT_EQ(all[1]->ImageWidth, 30);
}

TEST_F(Pictures, TheBackgroundPictureComesThroughTheCache) {
  {
    tools::LaidOutPage page =
        tools::LayOutHtml("<BODY BACKGROUND=p40x20.bmp><IMG SRC=p40x20.bmp>", settings);
    const platform::Bitmap* background = page.Document->GetBackgroundBitmap();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->Width(), 40);
    EXPECT_EQ(files.requests.size(), 1u);  // one decode serves both
    EXPECT_EQ(images::ImageCache().Find("P40X20.BMP")->UseCount, 2);
  }
  EXPECT_EQ(images::ImageCache().Find("P40X20.BMP")->UseCount, 0);  // both released
  files.pending = images::PendingImageStream();
  files.pendingNames = {"later.bmp"};
  tools::LaidOutPage page = tools::LayOutHtml("<BODY BACKGROUND=later.bmp>", settings);
  EXPECT_EQ(page.Document->GetBackgroundBitmap(), nullptr);
  EXPECT_TRUE(page.Document->IsMissing("LATER.BMP"));
}

TEST(ImageKinds, BySignature) {
  struct Case {
    std::string bytes;
    images::TImageKind kind;
  } cases[] = {
      {"GIF89a", images::ikGif89}, {"GIF87a", images::ikGif87},    {"GIF8", images::ikGif87},
      {"BM....", images::ikBmp},   {"\x89PNG\r\n", images::ikPng}, {"\xFF\xD8\xFF", images::ikJpeg},
      {"GIF9", images::ikUnknown}, {"", images::ikUnknown},        {"B", images::ikUnknown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(
        images::GetImageKind({reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()}),
        c.kind);
  }
}

}  // namespace

namespace {

// Pictures stretched to sizes far beyond the window cost what the window
// shows: drawing a corner of each must not walk their whole size.
TEST_F(Pictures, HugePicturesDrawOnlyWhatIsVisible) {
  files.Add("still.bmp", SolidBmp(3, 3, platform::RGB(0, 0, 255)));
  const char* pages[] = {
      "<IMG SRC=p40x20.bmp WIDTH=99999999 HEIGHT=99999999>",
      "<A HREF=x><IMG SRC=p40x20.bmp WIDTH=2147483647 HEIGHT=2147483647 TRANSP></A>",
      "<IMG SRC=nothing.bmp WIDTH=99999999 HEIGHT=99999999 ALT=\"a b c d e f g\">",
      "<IMG SRC=p40x20.bmp WIDTH=100% HEIGHT=999999999 ALIGN=left>x",
  };
  for (const char* html : pages) {
    SCOPED_TRACE(html);
    tools::LaidOutPage page = tools::LayOutHtml(html, settings);
    platform::Bitmap window(200, 150);
    platform::TCanvas canvas(window);
    for (const int y : {0, 5000, 99990000}) {
      page.Document->SetYOffset(y);
      page.Document->Draw(canvas, {0, 0, 200, 150}, 2000, 10, 5);
    }
    EXPECT_GT(Only(page).ImageHeight, 1000000);
  }
}

}  // namespace
