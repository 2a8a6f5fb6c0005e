#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"
#include "viewer/HtmlView.h"

namespace viewer_testing {

// A viewer of the launcher's size over a scratch medium, measuring with the
// deterministic test font (8 pixels a character at 12 points).
class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetMediumRoot(medium_.Path());
    view_ = std::make_unique<viewer::ThtmlView>();
    view_->SetDefFontName(std::string(platform::kTestFontName));
    view_->SetDefPreFontName(std::string(platform::kTestFontName));
    view_->SetCharSet(platform::RUSSIAN_CHARSET);
    view_->SetBorderStyle(viewer::htSingle);
    view_->SetDefBackground(platform::clWhite);
    view_->show();
    view_->resize(611, 314);
  }

  // A page on the medium; UTF-8 text is stored in Windows-1251.
  void Page(const std::string& name, const std::string& utf8) {
    medium_.Write(name, platform::Utf8ToBytes(utf8, 1251));
  }

  // Paints the whole panel once, as a repaint does: hit tests compare with
  // the places the last draw recorded.
  QImage Paint() {
    QImage image(view_->PaintPanel->size(), QImage::Format_RGB32);
    QPainter painter(&image);
    view_->PaintPanel->Paint(view_->PaintPanel->rect(), painter);
    return image;
  }

  // The panel point in the middle of the character at document position p.
  QPoint PointOf(int p) {
    int x = 0, y = 0;
    EXPECT_TRUE(view_->Document().PosToPoint(view_->MeasureCanvas(), p, x, y)) << "position " << p;
    return {view_->MarginWidth() + x + 4, y - view_->Document().YOffset + 4};
  }

  // The position of the first occurrence of a UTF-8 text.
  int Find(const std::string& utf8) {
    return view_->Document().FindText(0, platform::Utf8ToBytes(utf8, 1251), true);
  }

  testing_support::TempDir medium_;
  std::unique_ptr<viewer::ThtmlView> view_;
};

// Lines of text, one paragraph each, enough to be `lines` lines long.
inline std::string TallPage(int lines) {
  std::string html;
  for (int i = 0; i < lines; ++i) html += "line " + std::to_string(i) + "<br>";
  return html;
}

}  // namespace viewer_testing
