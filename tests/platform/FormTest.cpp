// The top-level window's activation rule and the cursor pictures, as the
// window system shows them.
#include "platform/ui/Form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBitmap>
#include <QDialog>
#include <QTest>

#include "platform/ui/ActivationRule.h"
#include "platform/ui/Cursors.h"

namespace {

using platform::TActivationRule;
using FocusTo = TActivationRule::FocusTo;

// Each row: the focus moves one step; the steps say whether the main
// window is activated by it.
TEST(ActivationRule, OnlyReturnsFromOwnWindowsActivate) {
  struct Step {
    FocusTo to;
    bool leftWindowOpen;
    bool activates;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"the first focus is no activation (the first show is)",
       {{FocusTo::MainWindow, true, false}}},
      {"back from another program",
       {{FocusTo::MainWindow, true, false},
        {FocusTo::Nowhere, true, false},
        {FocusTo::MainWindow, true, false}}},
      {"back from a message box",
       {{FocusTo::OwnWindow, true, false}, {FocusTo::MainWindow, true, true}}},
      {"only the first return after the box",
       {{FocusTo::OwnWindow, true, false},
        {FocusTo::MainWindow, true, true},
        {FocusTo::Nowhere, true, false},
        {FocusTo::MainWindow, true, false}}},
      {"a box left for another program, then back to the box and closed",
       {{FocusTo::OwnWindow, true, false},
        {FocusTo::Nowhere, true, false},
        {FocusTo::OwnWindow, true, false},
        {FocusTo::MainWindow, true, true}}},
      {"the box closed while another program has the focus",
       {{FocusTo::OwnWindow, true, false},
        {FocusTo::Nowhere, false, false},
        {FocusTo::MainWindow, true, false}}},
      {"a drop-down list is part of the window",
       {{FocusTo::MainWindow, true, false},
        {FocusTo::OwnPopup, true, false},
        {FocusTo::MainWindow, true, false}}},
  };
  for (const Case& c : cases) {
    TActivationRule rule;
    int n = 0;
    for (const Step& step : c.steps)
      EXPECT_EQ(rule.FocusMoved(step.to, step.leftWindowOpen), step.activates)
          << c.what << ", step " << ++n;
  }

  TActivationRule rule;
  EXPECT_TRUE(rule.Shown());
  EXPECT_FALSE(rule.Shown());
  rule.SetReturnKeepsPage(true);
  EXPECT_FALSE(rule.FocusMoved(FocusTo::OwnWindow));
  rule.SetReturnKeepsPage(false);
  EXPECT_FALSE(rule.FocusMoved(FocusTo::MainWindow)) << "a box that keeps the page";
}

// The same with real windows: the first show activates without the focus,
// a dialog of the application brings an activation when it is left, a box
// that keeps the page and a popup do not.
TEST(Form, ActivatedAtFirstShowAndOnReturnFromItsOwnWindows) {
  platform::TForm form;
  int activations = 0;
  form.OnActivate = [&] { ++activations; };
  form.setAttribute(Qt::WA_ShowWithoutActivating);  // a window manager that gives no focus
  form.resize(100, 80);
  form.show();
  EXPECT_EQ(activations, 0) << "posted, so the window is up first";
  QCoreApplication::processEvents();
  EXPECT_EQ(activations, 1);
  form.hide();
  form.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(activations, 1) << "shown again";

  const auto focus = [](QWidget& window) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  };
  focus(form);
  EXPECT_EQ(activations, 1) << "the first focus";

  QDialog box;
  box.show();
  focus(box);
  box.hide();
  focus(form);
  EXPECT_EQ(activations, 2) << "back from the box";

  {
    platform::TForm::ReturnKeepsPage keep(form);
    box.show();
    focus(box);
    box.hide();
  }
  focus(form);
  EXPECT_EQ(activations, 2) << "back from a box that keeps the page";

  QWidget popup(nullptr, Qt::Popup);
  popup.resize(20, 20);
  popup.show();
  QCoreApplication::processEvents();
  popup.hide();
  focus(form);
  EXPECT_EQ(activations, 2) << "back from a popup";
}

// The hand and the I-beam are drawn shapes on a clear field, black and
// white, everything else transparent (index 1 of a cursor bitmap is black,
// of its mask opaque).
TEST(Cursors, ShapesOnAClearField) {
  struct Case {
    const char* what;
    QCursor cursor;
    QPoint black, white;  // a black pixel and a white one
  };
  const Case cases[] = {
      {"hand", platform::HandCursor(), {13, 9}, {13, 10}},
      {"I-beam", platform::IBeamCursor(), {15, 5}, {14, 5}},
  };
  for (const Case& c : cases) {
    const QImage bits = c.cursor.bitmap().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage mask = c.cursor.mask().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(bits.size(), QSize(32, 32)) << c.what;
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) opaque += qGray(mask.pixel(x, y)) < 128;
    EXPECT_GT(opaque, 0) << c.what;
    EXPECT_LT(opaque, 32 * 32 / 4) << c.what << ": most of the field is clear";
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 31)})
      EXPECT_GE(qGray(mask.pixel(corner)), 128) << c.what << ": a corner is clear";
    EXPECT_LT(qGray(mask.pixel(c.black)), 128) << c.what;
    EXPECT_LT(qGray(bits.pixel(c.black)), 128) << c.what << ": the outline is black";
    EXPECT_LT(qGray(mask.pixel(c.white)), 128) << c.what;
    EXPECT_GE(qGray(bits.pixel(c.white)), 128) << c.what << ": white where drawn so";
  }
}

}  // namespace
