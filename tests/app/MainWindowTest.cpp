#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <filesystem>

#include "TestSupport.h"
#include "app/Screenshot.h"
#include "platform/Paths.h"
#include "platform/ui/Application.h"
#include "platform/ui/QtBridge.h"

namespace {

using app::TForm1;
using platform::CapturingMessageBox;

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    auto box = std::make_unique<CapturingMessageBox>();
    box_ = box.get();
    platform::TApplication::Instance().SetMessageBox(std::move(box));
    platform::TApplication::Instance().SetTitle(app::ApplicationTitle());
    platform::SetMediumRoot(medium_.Path());
    form_ = std::make_unique<TForm1>(app::BuiltInLayout());
  }
  void TearDown() override {
    form_.reset();
    platform::TApplication::Instance().SetMessageBox(
        std::make_unique<platform::StderrMessageBox>());
  }

  // A complete content folder; `skip` names a file to leave out.
  void MakeMedium(const std::string& skip = "") {
    const auto title = testing_support::SourceDir() / "demo/HTML/title.bmp";
    std::ifstream in(title, std::ios::binary);
    const std::string bmp{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(bmp.empty()) << "missing " << title;
    const std::pair<std::string, std::string> files[] = {
        {"HTML/title.bmp", bmp},
        {"HTML/soft.htm", "<p>start"},
        {"HTML/internet.htm", "<p>net"},
        {"HTML/products.htm", "<p>products"},
        {"HTML/help.htm", "<p>help"},
        {"HTML/install.dat", "D:\\SETUP\r\nsetup.exe\r\n/q\r\n"},
        {"HTML/serial.dat", "KEY-1\r\nKEY-2\r\n"},
    };
    for (const auto& [name, content] : files)
      if (name != skip) medium_.Write(name, content);
  }

  testing_support::TempDir medium_;
  CapturingMessageBox* box_ = nullptr;
  std::unique_ptr<TForm1> form_;
};

TEST_F(Form1Test, WindowAndComponentsSitWhereTheLayoutSays) {
  EXPECT_EQ(form_->size(), QSize(647, 486));
  EXPECT_EQ(form_->Caption(), app::ApplicationTitle());
  EXPECT_EQ(platform::TApplication::Instance().Title(), app::ApplicationTitle());
  EXPECT_EQ(form_->BorderStyle(), platform::TFormBorderStyle::bsNone);
  EXPECT_EQ(form_->SkinForm1->geometry(), QRect(0, 0, 647, 486));
  const QRect buttons[6] = {{10, 60, 201, 39},  {220, 60, 203, 39},  {432, 60, 202, 39},
                            {10, 437, 201, 39}, {220, 437, 203, 39}, {432, 437, 202, 39}};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(form_->Buttons[k]->geometry(), buttons[k]) << "Image" << k + 1;
    EXPECT_EQ(form_->ImageLists[k]->Count(), 2);
    EXPECT_EQ(form_->ImageLists[k]->Width(), buttons[k].width());
  }
  EXPECT_EQ(form_->Image7->pos(), QPoint(46, 8));
  EXPECT_EQ(form_->htmlView1->geometry(), QRect(16, 112, 611, 314));
  EXPECT_EQ(form_->htmlView1->DefBackground(), platform::clWhite);
  EXPECT_EQ(form_->htmlView1->CharSet(), 204);
  EXPECT_EQ(form_->htmlView1->BorderStyle(), viewer::htSingle);
  ASSERT_TRUE(form_->WindowRgn());
  EXPECT_EQ(form_->WindowRgn()->RectCount(), 48);
}

TEST_F(Form1Test, HoverHighlightsOneButtonPerRow) {
  // Each step: the mouse moves over button k (0 = skin, title or page);
  // then the six flags, and how many button pictures were drawn.
  const struct {
    int k;
    const char* flags;
    int drawn;
  } steps[] = {
      {1, "100000", 1},                    // 1 lights up
      {1, "100000", 0},                    // again over a lit button: nothing is drawn
      {2, "010000", 2},                    // same row: 2 lights, 1 goes back
      {5, "010010", 1},                    // other row: 2 stays lit
      {3, "001010", 2}, {0, "000000", 2},  // the skin resets both
      {0, "000000", 0}, {6, "000001", 1}, {4, "000100", 2},
  };
  for (const auto& step : steps) {
    int before = 0;
    for (auto* b : form_->Buttons) before += b->PictureChangeCount();
    if (step.k == 0)
      form_->SkinForm1MouseMove();
    else
      form_->ImageMouseMove(step.k);
    std::string flags;
    int after = 0;
    for (int k = 1; k <= 6; ++k) flags += form_->Highlighted(k) ? '1' : '0';
    for (auto* b : form_->Buttons) after += b->PictureChangeCount();
    EXPECT_EQ(flags, step.flags) << "after moving over " << step.k;
    EXPECT_EQ(after - before, step.drawn) << "after moving over " << step.k;
  }
}

TEST_F(Form1Test, HighlightedAndNormalPicturesAreTheListPictures) {
  const platform::Bitmap normal = form_->Buttons[1]->Picture();
  form_->ImageMouseMove(2);
  EXPECT_EQ(form_->Buttons[1]->Picture(), form_->ImageLists[1]->Image(0));
  EXPECT_FALSE(form_->Buttons[1]->Picture() == normal);
  form_->SkinForm1MouseMove();
  EXPECT_EQ(form_->Buttons[1]->Picture(), normal);
}

TEST_F(Form1Test, ActivationLoadsEverythingInOrder) {
  MakeMedium();
  form_->OnActivate();
  EXPECT_TRUE(box_->shown.empty());
  EXPECT_EQ(form_->Image7->size(), QSize(553, 47));  // auto-sized to the bitmap
  EXPECT_EQ(form_->htmlView1->CurrentFile(), "D:\\HTML\\soft.htm");
  EXPECT_EQ(form_->ListBox1, (std::vector<std::string>{"D:\\SETUP", "setup.exe", "/q"}));
  EXPECT_EQ(form_->ListBox2, (std::vector<std::string>{"KEY-1", "KEY-2"}));

  // Every activation reloads: changed files show up.
  medium_.Write("HTML/serial.dat", "KEY-3");
  form_->OnActivate();
  EXPECT_EQ(form_->ListBox2, (std::vector<std::string>{"KEY-3"}));
}

TEST_F(Form1Test, FailingStepSkipsTheStepsAfterIt) {
  const struct {
    const char* missing;
    const char* message;
    bool pageLoaded;
    bool installRead;
  } cases[] = {
      {"HTML/title.bmp", "Cannot open file \\HTML\\title.bmp.", false, false},
      {"HTML/soft.htm", "Can't locate file: \\HTML\\soft.htm.", false, false},
      {"HTML/install.dat", "Cannot open file \\HTML\\install.dat.", true, false},
      {"HTML/serial.dat", "Cannot open file \\HTML\\serial.dat.", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.missing);
    std::filesystem::remove_all(medium_.Path() / "HTML");
    MakeMedium(c.missing);
    form_ = std::make_unique<TForm1>(app::BuiltInLayout());
    box_->shown.clear();
    form_->OnActivate();
    ASSERT_EQ(box_->shown.size(), 1u);
    EXPECT_EQ(box_->shown[0].text, c.message);
    EXPECT_EQ(box_->shown[0].caption, app::ApplicationTitle());
    EXPECT_EQ(box_->shown[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(!form_->htmlView1->CurrentFile().empty(), c.pageLoaded);
    EXPECT_EQ(!form_->ListBox1.empty(), c.installRead);
    EXPECT_TRUE(form_->ListBox2.empty());
  }
}

TEST_F(Form1Test, ButtonsLoadTheirPagesAndAMissingPageKeepsTheOldOne) {
  MakeMedium();
  form_->OnActivate();
  const char* expected[] = {"D:\\HTML\\soft.htm", "D:\\HTML\\internet.htm", nullptr,
                            "D:\\HTML\\products.htm", "D:\\HTML\\help.htm"};
  for (int k = 1; k <= 5; ++k) {
    if (!expected[k - 1]) {  // tutor.htm is missing from this medium
      const std::string before = form_->htmlView1->CurrentFile();
      const bool ok = platform::TApplication::Instance().RunHandler([&] { form_->ImageClick(k); });
      EXPECT_FALSE(ok);
      ASSERT_EQ(box_->shown.size(), 1u);
      EXPECT_EQ(box_->shown[0].text, "Can't locate file: \\HTML\\tutor.htm.");
      EXPECT_EQ(form_->htmlView1->CurrentFile(), before);
      continue;
    }
    form_->ImageClick(k);
    EXPECT_EQ(form_->htmlView1->CurrentFile(), expected[k - 1]);
  }
}

TEST_F(Form1Test, ExitButtonHidesTheWindowAtOnce) {
  form_->show();
  ASSERT_TRUE(form_->isVisible());
  form_->ImageClick(6);
  EXPECT_FALSE(form_->isVisible());
}

TEST_F(Form1Test, ScreenshotIsTransparentOutsideTheRegion) {
  MakeMedium();
  form_->OnActivate();
  const QImage shot = app::GrabWindow(*form_, form_->WindowRgn());
  ASSERT_EQ(shot.size(), QSize(647, 486));
  EXPECT_EQ(qAlpha(shot.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(shot.pixel(3, 200)), 0);    // left of the bounding box
  EXPECT_EQ(qAlpha(shot.pixel(4, 200)), 255);  // its first column
  EXPECT_EQ(qAlpha(shot.pixel(210, 480)), 0);  // between two bottom tabs
  EXPECT_EQ(qAlpha(shot.pixel(100, 480)), 255);
  EXPECT_EQ(shot.pixel(300, 250), qRgb(255, 255, 255));  // the empty white page
}

// Where the window system keeps no shape (Wayland), the window itself is
// transparent outside its region, as the screenshot is, and keeps the
// region as its input area.
TEST_F(Form1Test, AShapeOfTransparencyPaintsNothingOutsideTheRegion) {
  MakeMedium();
  form_->OnActivate();
  form_->SetShapeByTransparency(true);
  const QImage drawn = form_->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage shot = app::GrabWindow(*form_, form_->WindowRgn());
  ASSERT_EQ(drawn.size(), shot.size());
  int differ = 0;
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) differ += drawn.pixel(x, y) != shot.pixel(x, y);
  EXPECT_EQ(differ, 0) << "pixels unlike the screenshot";
  EXPECT_EQ(qAlpha(drawn.pixel(210, 480)), 0);  // between two bottom tabs
  EXPECT_EQ(form_->mask(), platform::ToQRegion(*form_->WindowRgn()));

  // The page goes to a surface with an alpha channel there: it is opaque.
  viewer::TPaintPanel& panel = *form_->htmlView1->PaintPanel;
  QImage surface(panel.size(), QImage::Format_ARGB32_Premultiplied);
  surface.fill(Qt::transparent);
  QPainter painter(&surface);
  panel.Paint(panel.rect(), painter);
  painter.end();
  EXPECT_EQ(qAlpha(surface.pixel(100, 100)), 255);
}

TEST(ErrorBox, PeriodIsAppendedOnlyWhenMissing) {
  EXPECT_EQ(platform::WithFinalPeriod("Cannot open file x"), "Cannot open file x.");
  EXPECT_EQ(platform::WithFinalPeriod("Done."), "Done.");
  EXPECT_EQ(platform::WithFinalPeriod("Drop the SkinForm on a FORM!"),
            "Drop the SkinForm on a FORM!.");
  EXPECT_EQ(platform::WithFinalPeriod(""), ".");
}

}  // namespace
