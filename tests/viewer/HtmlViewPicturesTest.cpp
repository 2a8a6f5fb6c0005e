// Pictures in the viewer: animated ones move on the viewer's clock, each
// occurrence on its own, the cache ages with every page loaded, and a
// missing picture is found once it is there.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <fstream>
#include <iterator>

#include "ViewerFixture.h"
#include "images/GifImage.h"
#include "images/ImageCache.h"

namespace {

using viewer_testing::ViewerTest;

std::string ReadSource(const std::string& relative) {
  std::ifstream in(testing_support::SourceDir() / relative, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(ViewerTest, AnimatedPicturesStepOnTheViewersClock) {
  medium_.Write("globe.gif", ReadSource("demo/HTML/globe.gif"));  // 6 frames, 150 ms each
  Page("p.htm", "<IMG SRC=globe.gif> <IMG SRC=GLOBE.GIF>");
  view_->LoadFromFile("\\p.htm");
  auto& animated = view_->Document().AnimatedImages;
  ASSERT_EQ(animated.size(), 2u);
  EXPECT_NE(animated[0], animated[1]);  // the second occurrence is a copy of its own
  EXPECT_TRUE(animated[1]->IsCopy);
  Paint();
  EXPECT_TRUE(animated[0]->Shown && animated[1]->Shown);
  EXPECT_TRUE(view_->Document().AnimationTimer.Enabled);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 2000 && (animated[0]->CurrentFrame < 3 || animated[1]->CurrentFrame < 3)) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
  EXPECT_GE(animated[0]->CurrentFrame, 3);
  EXPECT_GE(animated[1]->CurrentFrame, 3);
}

TEST_F(ViewerTest, TheCacheAgesWithEveryPageLoaded) {
  images::TStringBitmapList& cache = images::ImageCache();
  cache.Clear();
  medium_.Write("pic.bmp", ReadSource("demo/HTML/disk.bmp"));
  Page("pic.htm", "<IMG SRC=pic.bmp>");
  Page("text.htm", "words");
  view_->SetImageCacheCount(1);
  view_->LoadFromFile("\\pic.htm");
  EXPECT_EQ(cache.Count(), 1);
  view_->LoadFromFile("\\text.htm");  // released, age 1: kept
  EXPECT_EQ(cache.Count(), 1);
  view_->LoadFromFile("\\text.htm");  // age 2 is beyond 1
  EXPECT_EQ(cache.Count(), 0);
  view_->LoadFromFile("\\pic.htm");
  view_->SetImageCacheCount(0);
  view_->LoadFromFile("\\text.htm");  // with a count of 0 it goes at the next load
  EXPECT_EQ(cache.Count(), 0);
}

TEST_F(ViewerTest, AMissingPictureIsLookedForAgainAtTheNextLoad) {
  images::TStringBitmapList& cache = images::ImageCache();
  cache.Clear();
  Page("p.htm", "<IMG SRC=late.bmp> <IMG SRC=LATE.BMP>");
  view_->LoadFromFile("\\p.htm");
  EXPECT_EQ(cache.Count(), 0);
  medium_.Write("late.bmp", ReadSource("demo/HTML/disk.bmp"));
  view_->LoadFromFile("\\p.htm");
  EXPECT_EQ(cache.Count(), 1);
}

}  // namespace
