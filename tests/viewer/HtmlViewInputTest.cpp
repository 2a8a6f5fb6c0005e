// Scroll bars, scrolling, painting, cursors, link clicks, selection and copy.
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QWheelEvent>
#include <vector>

#include "ViewerFixture.h"
#include "platform/ui/Cursors.h"
#include "tools/PageRender.h"

namespace {

using viewer_testing::TallPage;
using viewer_testing::ViewerTest;

// A preformatted line of `chars` characters: the page is that wide
// whatever the viewer's width.
std::string WideLine(int chars) {
  return "<pre>" + std::string(static_cast<size_t>(chars), 'w') + "</pre>";
}

TEST_F(ViewerTest, ScrollBarsFollowThePageSize) {
  const int S = view_->BarWidth();
  ASSERT_EQ(S, 16);
  struct Case {
    const char* what;
    std::string html;
    bool vertical, horizontal;
  };
  const Case cases[] = {
      {"short and narrow: no bar", "<p>short", false, false},
      {"tall: vertical only", TallPage(60), true, false},
      {"tall and wide: both", TallPage(60) + WideLine(200), true, true},
      {"short and wide: horizontal only", WideLine(200), false, true},
  };
  for (const Case& c : cases) {
    Page("p.htm", c.html);
    view_->LoadFromFile("\\p.htm");
    EXPECT_EQ(view_->VBar->isVisibleTo(view_.get()), c.vertical) << c.what;
    EXPECT_EQ(view_->HBar->isVisibleTo(view_.get()), c.horizontal) << c.what;
    const int panelWidth = 611 - 2 - (c.vertical ? S : 0);
    const int panelHeight = 314 - 2 - (c.horizontal ? S : 0);
    EXPECT_EQ(view_->PaintPanel->size(), QSize(panelWidth, panelHeight)) << c.what;
    EXPECT_EQ(view_->VBar->Max32, view_->DocHeight()) << c.what;
    EXPECT_EQ(view_->VBar->Page32, panelHeight + 1) << c.what;
  }
}

// The square between the bars is painted in the bars' face; what lies
// under the viewer (the skin) does not show through.
TEST_F(ViewerTest, TheCornerBetweenTheBarsIsPainted) {
  class Beneath : public QWidget {
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::magenta); }
  } beneath;
  beneath.resize(611, 314);
  view_->setParent(&beneath);
  const auto giveBack = qScopeGuard([&] { view_->setParent(nullptr); });
  view_->move(0, 0);
  beneath.show();
  Page("p.htm", TallPage(60) + WideLine(200));
  view_->LoadFromFile("\\p.htm");
  ASSERT_TRUE(view_->VBar->isVisibleTo(view_.get()) && view_->HBar->isVisibleTo(view_.get()));
  const int S = view_->BarWidth();
  const QImage shown = beneath.grab().toImage();
  const QColor face = view_->palette().color(QPalette::Window);
  for (const QPoint p : {QPoint(611 - 2 - S + 1, 314 - 2 - S + 1), QPoint(611 - 3, 314 - 3)})
    EXPECT_EQ(shown.pixelColor(p).rgb(), face.rgb()) << p.x() << ", " << p.y();
}

TEST_F(ViewerTest, AVerticalBarThatAppearsNeedsNoSecondLayout) {
  Page("p.htm", TallPage(60));
  const int before = view_->LayoutCount();
  view_->LoadFromFile("\\p.htm");
  EXPECT_TRUE(view_->VBar->isVisibleTo(view_.get()));
  EXPECT_EQ(view_->LayoutCount(), before + 1);
}

TEST_F(ViewerTest, AnAlmostFullPageGetsTheVerticalBarOnlyWithTheHorizontalOne) {
  // A page whose height lies between H - 2 - S and H - 2: it needs the
  // vertical bar only when the horizontal one takes its rows.
  Page("p.htm", TallPage(5) + WideLine(100));
  view_->LoadFromFile("\\p.htm");
  const int S = view_->BarWidth();
  const int need = 2 * view_->MarginWidth() + view_->DocWidth();
  const int height = view_->DocHeight() + 3;
  for (const auto& [width, both] : {std::pair{need, true}, std::pair{need + S, false}}) {
    view_->resize(width, height);
    EXPECT_EQ(view_->VBar->isVisibleTo(view_.get()), both) << "width " << width;
    EXPECT_EQ(view_->HBar->isVisibleTo(view_.get()), both) << "width " << width;
  }
}

TEST_F(ViewerTest, KeysScrollWithinThePage) {
  view_->resize(611, 302);  // a panel 300 pixels high
  Page("long.htm", TallPage(300));
  Page("short.htm", "<p>short");
  view_->LoadFromFile("\\long.htm");
  ASSERT_EQ(view_->PaintPanel->height(), 300);
  const int bottom = view_->DocHeight() - 300;
  const struct {
    Qt::Key key;
    int expected;
  } steps[] = {
      {Qt::Key_PageDown, 284}, {Qt::Key_Down, 300}, {Qt::Key_Up, 284},
      {Qt::Key_End, bottom},   {Qt::Key_Down, bottom}, {Qt::Key_Home, 0},
      {Qt::Key_PageUp, 0},
  };
  for (const auto& step : steps) {
    QKeyEvent press(QEvent::KeyPress, step.key, Qt::NoModifier);
    QCoreApplication::sendEvent(view_.get(), &press);
    EXPECT_EQ(view_->VBar->Position32, step.expected) << "key " << step.key;
    EXPECT_EQ(view_->Document().YOffset, step.expected) << "key " << step.key;
  }
  QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(view_.get(), &wheel);
  EXPECT_EQ(view_->VBar->Position32, 48);  // three small steps a notch
  for (int part = 0; part < 4; ++part) {   // a touchpad: quarters of a notch
    QWheelEvent touch(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -30), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view_.get(), &touch);
  }
  EXPECT_EQ(view_->VBar->Position32, 96);

  view_->LoadFromFile("\\short.htm");
  QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
  QCoreApplication::sendEvent(view_.get(), &down);
  EXPECT_EQ(view_->VBar->Position32, 0);
}

TEST_F(ViewerTest, ScrollBarActionsMoveThePageByTheirSteps) {
  Page("long.htm", TallPage(300));
  view_->LoadFromFile("\\long.htm");
  const int page = view_->VBar->LargeChange();
  EXPECT_EQ(page, view_->PaintPanel->height() - 16);
  view_->VBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(view_->VBar->Position32, 16);
  view_->VBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(view_->VBar->Position32, 16 + page);
  EXPECT_EQ(view_->VBar->value(), 16 + page);
  view_->VBar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(view_->VBar->Position32, view_->DocHeight() - view_->PaintPanel->height());
  view_->VBar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(view_->Document().YOffset, 0);
}

TEST_F(ViewerTest, PaintingShowsThePageScrolled) {
  Page("p.htm", "<body bgcolor=#00FF00>" + TallPage(100));
  view_->LoadFromFile("\\p.htm");
  const QImage top = Paint();
  EXPECT_EQ(top.pixel(top.width() - 2, top.height() - 2), qRgb(0, 255, 0));
  view_->ScrollToY(160);
  const QImage scrolled = Paint();
  // The rows 160 pixels down are now at the top (the text cursor line
  // between is the same).
  EXPECT_EQ(scrolled.copy(0, 20, 200, 100), top.copy(0, 180, 200, 100));
}

TEST_F(ViewerTest, TheBackgroundPictureTilesAndScrollsWithThePage) {
  // A 2 x 2 picture, 24 bits, rows bottom-up: red, green on top; blue,
  // white below.
  std::string bmp = "BM";
  const auto le32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp += static_cast<char>(v >> (8 * i));
  };
  le32(70), le32(0), le32(54);
  le32(40), le32(2), le32(2), le32(1 | (24 << 16)), le32(0), le32(16);
  le32(0), le32(0), le32(0), le32(0);
  bmp += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);  // blue, white
  bmp += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // red, green
  medium_.Write("tile.bmp", bmp);
  Page("p.htm", "<body background=\"tile.bmp\">" + TallPage(100));
  view_->LoadFromFile("\\p.htm");
  ASSERT_NE(view_->Document().BackgroundBitmap, nullptr);
  QImage image = Paint();
  const int x = (image.width() - 4) & ~1;  // right of the text, an even column
  EXPECT_EQ(image.pixel(x, 0), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(x + 1, 0), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(x, 1), qRgb(0, 0, 255));
  view_->ScrollToY(1);
  image = Paint();
  EXPECT_EQ(image.pixel(x, 0), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(x, 1), qRgb(255, 0, 0));
}

TEST_F(ViewerTest, CursorAndHotSpotEventsFollowTheMouse) {
  Page("p.htm", "<p>plain text <a href=\"x.htm\">link</a>" + TallPage(3));
  view_->LoadFromFile("\\p.htm");
  Paint();
  std::vector<std::string> covered;
  view_->OnHotSpotCovered = [&](viewer::ThtmlView*, const std::string& src) {
    covered.push_back(src);
  };
  const QPoint link = PointOf(Find("link")), text = PointOf(Find("plain"));
  const struct {
    QPoint at;
    int cursor;
  } moves[] = {
      {text, platform::crDocumentText},
      {link, platform::crDocumentHand},
      {link + QPoint(8, 0), platform::crDocumentHand},
      {text, platform::crDocumentText},
      {QPoint(300, 250), platform::crArrow},  // below the text
  };
  for (const auto& move : moves) {
    view_->PanelMouseMove(0, move.at.x(), move.at.y());
    EXPECT_EQ(view_->PaintPanel->CursorId(), move.cursor)
        << "at " << move.at.x() << "," << move.at.y();
  }
  EXPECT_EQ(covered, (std::vector<std::string>{"x.htm", ""}));
  // The scroll bars are the window system's: they show the arrow, whatever
  // the viewer's own cursor is.
  view_->SetCursorId(platform::crIBeam);
  EXPECT_EQ(view_->VBar->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(view_->HBar->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ViewerTest, ADragAcrossALinkSelectsInsteadOfFollowing) {
  Page("p.htm", "<p><a href=\"other.htm\">a long link text</a>");
  Page("other.htm", "<p>other");
  view_->LoadFromFile("\\p.htm");
  Paint();
  const QPoint from = PointOf(Find("long")), to = PointOf(Find("text"));
  view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, from.x(), from.y());
  view_->PanelMouseMove(platform::ssLeft, to.x(), to.y());
  view_->PanelMouseUp(platform::mbLeft, 0, to.x(), to.y());
  EXPECT_EQ(view_->CurrentFile(), "D:\\p.htm");
  EXPECT_EQ(view_->SelectedText(), "long link ");
  // Without moving, the same link is followed.
  view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, from.x(), from.y());
  view_->PanelMouseUp(platform::mbLeft, 0, from.x(), from.y());
  EXPECT_EQ(view_->CurrentFile(), "D:\\other.htm");
}

TEST_F(ViewerTest, DoubleClickSelectsAWordOfTheCodePage) {
  Page("p.htm", "<p>ab МОЛОЧНЫЙ x9Y7z, ЖЁЛУДЬ; end");
  view_->LoadFromFile("\\p.htm");
  Paint();
  const auto bytes = [](const char* utf8) { return platform::Utf8ToBytes(utf8, 1251); };
  const struct {
    const char* click;  // the text whose first character is clicked
    const char* word;
  } cases[] = {
      {"ЛОЧ", "МОЛО"},      // Ч (0xD7) ends a word of the Russian code page
      {"НЫЙ", "НЫЙ"},
      {"9Y7", "x9Y7z"},     // letters and digits make one word
      {"ЖЁЛ", "Ж"},         // nor is Ё (0xA8): the word bytes are fixed ranges
      {"ЛУДЬ", "ЛУДЬ"},
  };
  for (const auto& c : cases) {
    const QPoint at = PointOf(Find(c.click));
    view_->SelectWordAt(at.x(), at.y());
    EXPECT_EQ(view_->SelectedText(), bytes(c.word)) << c.click;
  }
}

TEST_F(ViewerTest, DoubleClickAfterFollowingALinkSelectsNothing) {
  Page("p.htm", "<p>word <a href=\"#here\">jump</a><a name=here>x</a>");
  view_->LoadFromFile("\\p.htm");
  Paint();
  const QPoint link = PointOf(Find("jump"));
  view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, link.x(), link.y());
  view_->PanelMouseUp(platform::mbLeft, 0, link.x(), link.y());
  view_->SelectWordAt(link.x(), link.y());
  EXPECT_EQ(view_->SelectedText(), "");
  view_->SetNoSelect(true);
  const QPoint word = PointOf(Find("word"));
  view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, word.x(), word.y());
  view_->PanelMouseUp(platform::mbLeft, 0, word.x(), word.y());
  view_->SelectWordAt(word.x(), word.y());
  EXPECT_EQ(view_->SelectedText(), "");
}

TEST_F(ViewerTest, CopyPutsTheSelectionOnTheClipboardAsUnicode) {
  Page("p.htm", "<p>Привет, мир");
  view_->LoadFromFile("\\p.htm");
  QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
  QCoreApplication::sendEvent(view_.get(), &selectAll);
  QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
  QCoreApplication::sendEvent(view_.get(), &copy);
  EXPECT_EQ(QGuiApplication::clipboard()->text().trimmed(), QString::fromUtf8("Привет, мир"));

  // Pictures and controls are no text, and lines end as the platform's do.
  Page("p.htm", "<p>один <img src=none.bmp> два<br>три <input name=x> четыре");
  view_->LoadFromFile("\\p.htm");
  QCoreApplication::sendEvent(view_.get(), &selectAll);
  QCoreApplication::sendEvent(view_.get(), &copy);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("один  два\nтри  четыре\n"));
}

TEST_F(ViewerTest, DraggingOutsideScrollsBySmallOrLargeSteps) {
  Page("long.htm", TallPage(300));
  view_->LoadFromFile("\\long.htm");
  Paint();
  view_->ScrollToY(1000);
  const QPoint start = PointOf(Find("line 70"));
  view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, start.x(), start.y());
  const int h = view_->height();
  const struct {
    int y;
    int step;
  } steps[] = {{h + 1, 16}, {h + 15, 16}, {h + 16, 128}, {0, -16}, {-15, -16}, {-16, -128}};
  for (const auto& s : steps) {
    const int before = view_->VBar->Position32;
    view_->AutoScrollStep(start.x(), s.y);
    EXPECT_EQ(view_->VBar->Position32 - before, s.step) << "mouse at y " << s.y;
    EXPECT_EQ(view_->Document().YOffset, view_->VBar->Position32);
  }
  // Scrolling down extended the selection from where the button went down.
  EXPECT_GT(view_->Document().SelEnd, view_->Document().SelStart);
  view_->PanelMouseUp(platform::mbLeft, 0, start.x(), 0);
  EXPECT_FALSE(view_->AutoScrolling());
}

TEST_F(ViewerTest, TinySizesLayOutAndPaint) {
  Page("p.htm", TallPage(20) + WideLine(50) + "<ul><li>item<ol><li>nested</ol></ul><hr>");
  view_->LoadFromFile("\\p.htm");
  for (const QSize size : {QSize(1, 1), QSize(0, 0), QSize(30, 5000), QSize(5000, 3)}) {
    view_->resize(size);
    EXPECT_GE(view_->VBar->Position32, 0);
    if (!view_->PaintPanel->size().isEmpty()) Paint();
  }
}

TEST_F(ViewerTest, AResizeReLaysOutAndKeepsThePlace) {
  Page("p.htm", TallPage(200));
  view_->LoadFromFile("\\p.htm");
  view_->ScrollToY(800);
  const int place = view_->SavedPosition();
  const int layouts = view_->LayoutCount();
  view_->resize(400, 314);
  EXPECT_EQ(view_->LayoutCount(), layouts + 1);
  EXPECT_EQ(view_->SavedPosition(), place);
  view_->resize(400, 200);  // the height alone lays nothing out
  EXPECT_EQ(view_->LayoutCount(), layouts + 1);
}

}  // namespace

namespace {

// The launcher's viewer and the page tool draw a demo page alike: the same
// layout width, fonts and pixels, so htmlrender shows what people see.
class DemoPageTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DemoPageTest, TheViewerDrawsWhatHtmlrenderDraws) {
  const std::filesystem::path demo = testing_support::SourceDir() / "demo";
  platform::SetMediumRoot(demo);
  viewer::ThtmlView view;
  view.SetDefBackground(platform::clWhite);
  view.SetBorderStyle(viewer::htSingle);
  view.SetCharSet(platform::RUSSIAN_CHARSET);
  view.show();
  view.resize(611, 314);
  view.LoadFromFile(std::string("\\HTML\\") + GetParam());
  QImage shown(view.PaintPanel->size(), QImage::Format_RGB32);
  QPainter painter(&shown);
  view.PaintPanel->Paint(view.PaintPanel->rect(), painter);

  tools::LaidOutPage page = tools::LayOutFile(demo / "HTML" / GetParam(), tools::PageSettings{});
  const platform::Bitmap whole = tools::RenderPage(page, tools::PageSettings{});
  // The panel is one pixel wider than the layout width and both margins.
  const int columns = std::min(whole.Width(), shown.width());
  const int rows = std::min(whole.Height(), shown.height());
  int differing = 0;
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < columns; ++x)
      if ((shown.pixel(x, y) & 0xFFFFFF) != (whole.Row32(y)[x] & 0xFFFFFF)) ++differing;
  EXPECT_EQ(differing, 0) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoPageTest,
                         ::testing::Values("soft.htm", "internet.htm", "tutor.htm", "products.htm",
                                           "help.htm"),
                         [](const auto& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
