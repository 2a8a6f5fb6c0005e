#include "skinform/SkinForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "app/MainWindow.h"
#include "platform/Exceptions.h"
#include "platform/ui/Form.h"

namespace {

using platform::TMemoryStream;
using skinform::TSkinForm;

std::vector<uint8_t> MainWindowMask() {
  return app::BuiltInLayout().mask2;
}

TEST(SkinForm, MainWindowMaskReadsAndWritesBackByteForByte) {
  platform::TForm form;
  TSkinForm skin(&form);
  const std::vector<uint8_t> stored = MainWindowMask();
  ASSERT_EQ(stored.size(), 804u);
  TMemoryStream in(stored);
  skin.ReadMask(in);

  ASSERT_TRUE(skin.Mask().HasRegion());
  const platform::Region& region = *skin.Mask().Region();
  EXPECT_EQ(region.RectCount(), 48);
  EXPECT_EQ(region.BandCount(), 32);
  EXPECT_EQ(region.Bounds(), (platform::TRect{4, 1, 641, 483}));
  // The bottom band is three separate tabs.
  const std::vector<platform::TRect> rects = region.Rects();
  const int bottom = rects.back().bottom;
  int tabs = 0;
  for (const auto& r : rects) tabs += r.bottom == bottom;
  EXPECT_EQ(tabs, 3);

  // The window takes the region: inside it shows, outside it does not.
  ASSERT_TRUE(form.WindowRgn());
  EXPECT_TRUE(form.WindowRgn()->Contains(320, 240));
  EXPECT_FALSE(form.WindowRgn()->Contains(0, 0));
  EXPECT_FALSE(form.mask().isEmpty());

  TMemoryStream out;
  skin.WriteMask(out);
  EXPECT_EQ(out.Bytes(), stored);
  EXPECT_EQ(skin.MaskData(), std::vector<uint8_t>(stored.begin() + 4, stored.end()));
}

TEST(SkinForm, ZeroLengthMeansNoMaskAndWritesFourZeroBytes) {
  platform::TForm form;
  TSkinForm skin(&form);
  TMemoryStream in(std::vector<uint8_t>{0, 0, 0, 0});
  skin.ReadMask(in);
  EXPECT_FALSE(skin.Mask().HasRegion());
  EXPECT_FALSE(form.WindowRgn());
  TMemoryStream out;
  skin.WriteMask(out);
  EXPECT_EQ(out.Bytes(), std::vector<uint8_t>(4, 0));
}

TEST(SkinForm, DamagedValuesLeaveTheWindowRectangular) {
  const std::vector<uint8_t> stored = MainWindowMask();
  const struct {
    const char* what;
    std::vector<uint8_t> value;
  } cases[] = {
      {"truncated by one byte", std::vector<uint8_t>(stored.begin(), stored.end() - 1)},
      {"length only", std::vector<uint8_t>(stored.begin(), stored.begin() + 4)},
      {"length short of four bytes", {0x20, 0x03}},
      {"huge length, few bytes", {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3}},
      {"header of the wrong type",
       [&] {
         std::vector<uint8_t> v = stored;
         v[8] = 2;
         return v;
       }()},
  };
  for (const auto& c : cases) {
    platform::TForm form;
    TSkinForm skin(&form);
    TMemoryStream in(c.value);
    skin.ReadMask(in);
    EXPECT_FALSE(skin.Mask().HasRegion()) << c.what;
    EXPECT_FALSE(form.WindowRgn()) << c.what;
    EXPECT_TRUE(form.mask().isEmpty()) << c.what;
  }
}

TEST(SkinForm, PositionIsPinnedAndSizeTakesEffect) {
  platform::TForm form;
  form.resize(300, 200);
  TSkinForm skin(&form);
  form.show();
  EXPECT_EQ(skin.geometry(), QRect(0, 0, 300, 200));  // fills the client area
  skin.SetLeft(50);
  skin.SetTop(-7);
  EXPECT_EQ(skin.Left(), 0);
  EXPECT_EQ(skin.Top(), 0);
  skin.SetWidth(120);
  skin.SetHeight(80);
  EXPECT_EQ(skin.Width(), 120);
  EXPECT_EQ(skin.Height(), 80);
  form.resize(400, 250);  // aligned to the client area again
  EXPECT_EQ(skin.geometry(), QRect(0, 0, 400, 250));
}

TEST(SkinForm, ParentMustBeAFormWhichBecomesBorderless) {
  platform::TForm form;  // parents outlive the control they own
  QWidget panel;
  TSkinForm skin;
  try {
    skin.SetParentControl(&panel);
    FAIL() << "a panel was accepted";
  } catch (const platform::EInvalidOperation& error) {
    EXPECT_STREQ(error.what(), "Drop the SkinForm on a FORM!");
  }
  EXPECT_EQ(skin.parentWidget(), nullptr);

  EXPECT_EQ(form.BorderStyle(), platform::TFormBorderStyle::bsSizeable);
  skin.SetParentControl(&form);
  EXPECT_EQ(form.BorderStyle(), platform::TFormBorderStyle::bsNone);
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
}

TEST(SkinForm, NewPictureDropsTheMaskButTheWindowKeepsItsShape) {
  platform::TForm form;
  TSkinForm skin(&form);
  TMemoryStream in(MainWindowMask());
  skin.ReadMask(in);
  const QSize before = skin.size();
  skin.SetPicture(platform::Bitmap(10, 10));
  EXPECT_FALSE(skin.Mask().HasRegion());
  EXPECT_TRUE(form.WindowRgn());   // the window owns its region
  EXPECT_EQ(skin.size(), before);  // no resizing by the picture
  TMemoryStream out;
  skin.WriteMask(out);
  EXPECT_EQ(out.Bytes(), std::vector<uint8_t>(4, 0));
}

TEST(SkinForm, LeftDragMovesTheWindowOtherButtonsDoNothing) {
  platform::TForm form;
  form.resize(200, 100);
  form.move(100, 100);
  TSkinForm skin(&form);
  form.show();
  int downs = 0;
  skin.OnMouseDown = [&](Qt::MouseButton, int, int) { ++downs; };

  const auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                        QPoint global) {
    const QPointF local = skin.mapFromGlobal(QPointF(global));
    QMouseEvent event(type, local, QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(&skin, &event);
  };
  const QPoint start = form.pos() + QPoint(20, 20);
  send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, start);
  send(QEvent::MouseMove, Qt::NoButton, Qt::RightButton, start + QPoint(30, 10));
  send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, start + QPoint(30, 10));
  EXPECT_EQ(form.pos(), QPoint(100, 100));

  // A quick click, the pointer trembling less than the drag distance, and
  // the pointer going on without a button: nothing moves.
  send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
  send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(2, 1));
  send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, start + QPoint(2, 1));
  send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, start + QPoint(40, 30));
  EXPECT_EQ(form.pos(), QPoint(100, 100));

  // Offscreen there is no system move, so the form follows the mouse itself,
  // from the first move past the drag distance, at the press's offset.
  send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
  send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(1, 1));
  EXPECT_EQ(form.pos(), QPoint(100, 100));
  send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(30, 10));
  EXPECT_EQ(form.pos(), QPoint(130, 110));
  send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, start + QPoint(30, 10));
  send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, start + QPoint(60, 60));
  EXPECT_EQ(form.pos(), QPoint(130, 110));  // released: no more moving
  EXPECT_EQ(downs, 0);                      // the control's own mouse-down event is never raised
}

}  // namespace
