// A page's form on the viewer: real controls on the paint panel, typed into
// and clicked as a person would, submissions delivered after the click.
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "ViewerFixture.h"
#include "forms/FormControls.h"

namespace {

using viewer_testing::TallPage;
using viewer_testing::ViewerTest;
using Strings = std::vector<std::string>;

class ViewerForms : public ViewerTest {
 protected:
  void Load(const std::string& html) {
    Page("f.htm", html);
    view_->LoadFromFile("\\f.htm");
    Paint();  // the draw places the controls
  }
  template <class Widget>
  std::vector<Widget*> Widgets() {
    const QList<Widget*> found = view_->PaintPanel->findChildren<Widget*>();
    return std::vector<Widget*>(found.begin(), found.end());
  }
  void Receive() {
    view_->SetOnFormSubmit([this](viewer::ThtmlView*, const std::string&, const std::string&,
                                  const std::string&, const std::string&,
                                  const Strings& results) { received_.push_back(results); });
  }
  std::vector<Strings> received_;
};

TEST_F(ViewerForms, TypeTickAndPressSubmit) {
  Receive();
  Load(
      "<FORM><INPUT NAME=who MAXLENGTH=5> <INPUT TYPE=checkbox NAME=c VALUE=y>"
      "<INPUT TYPE=submit NAME=go VALUE=Send></FORM>");
  auto edits = Widgets<QLineEdit>();
  auto boxes = Widgets<QCheckBox>();
  auto buttons = Widgets<QPushButton>();
  ASSERT_EQ(edits.size(), 1u);
  ASSERT_EQ(boxes.size(), 1u);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_TRUE(edits[0]->isVisible());
  QTest::keyClicks(edits[0], "Annabel");  // five characters at most
  QTest::mouseClick(boxes[0], Qt::LeftButton, {}, QPoint(6, 6));
  QTest::mouseClick(buttons[0], Qt::LeftButton);
  EXPECT_TRUE(received_.empty());  // the message comes after the click's handling
  QCoreApplication::processEvents();
  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0], (Strings{"who=Annab", "c=y", "go=Send"}));
}

// MAXLENGTH limits typing, not the page's VALUE: a longer value is shown,
// submitted and reset whole; only while the text is shorter than the limit
// can more be typed.
TEST_F(ViewerForms, MaxLengthLimitsTypingNotTheValue) {
  Receive();
  Load("<FORM><INPUT NAME=m VALUE=abcdef MAXLENGTH=3></FORM>");
  auto edits = Widgets<QLineEdit>();
  ASSERT_EQ(edits.size(), 1u);
  QLineEdit& edit = *edits[0];
  EXPECT_EQ(edit.text(), "abcdef");
  edit.end(false);
  QTest::keyClicks(&edit, "x");
  EXPECT_EQ(edit.text(), "abcdef") << "at the limit already";
  for (int i = 0; i < 4; ++i) QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClicks(&edit, "xyz");
  EXPECT_EQ(edit.text(), "abx");
  auto& form = static_cast<forms::ThtmlForm&>(*view_->Document().Forms[0]);
  form.ResetControls();
  EXPECT_EQ(edit.text(), "abcdef");
  form.Submit(nullptr);
  QCoreApplication::processEvents();
  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0], (Strings{"m=abcdef"}));
}

// A list of several selections is filled and selected at once and read
// back at once (item by item, 10,000 selected options took seconds); what
// is sent is still each selected option in order, after a change and a
// reset as well.
TEST_F(ViewerForms, AListOfSeveralSelectionsSendsItsSelectedOptions) {
  Receive();
  std::string html = "<FORM><SELECT NAME=s MULTIPLE>";
  for (int i = 0; i < 12; ++i)
    html += std::string(i % 3 == 0 ? "<OPTION SELECTED>" : "<OPTION>") + std::to_string(i);
  Load(html + "</SELECT></FORM>");
  auto lists = Widgets<QListWidget>();
  ASSERT_EQ(lists.size(), 1u);
  auto& form = static_cast<forms::ThtmlForm&>(*view_->Document().Forms[0]);
  const auto sent = [&] {
    form.Submit(nullptr);
    QCoreApplication::processEvents();
    return received_.back();
  };
  EXPECT_EQ(sent(), (Strings{"s=0", "s=3", "s=6", "s=9"}));
  lists[0]->item(3)->setSelected(false);
  lists[0]->item(11)->setSelected(true);
  EXPECT_EQ(sent(), (Strings{"s=0", "s=6", "s=9", "s=11"}));
  form.ResetControls();
  EXPECT_EQ(sent(), (Strings{"s=0", "s=3", "s=6", "s=9"}));
}

TEST_F(ViewerForms, SubmissionsPostedBeforeAPageChangeAllArrive) {
  Receive();
  Load("<INPUT NAME=a VALUE=1>");
  auto& form = static_cast<forms::ThtmlForm&>(*view_->Document().Forms[0]);
  form.Submit(nullptr);
  form.Submit(nullptr);
  // Another page frees the form and its controls before the messages come.
  Load("<P>other page");
  EXPECT_TRUE(Widgets<QLineEdit>().empty() || !Widgets<QLineEdit>()[0]->isVisible());
  QCoreApplication::processEvents();
  EXPECT_EQ(received_, (std::vector<Strings>{{"a=1"}, {"a=1"}}));
}

TEST_F(ViewerForms, AClickThatLoadsAnotherPageFreesTheButtonItWasIn) {
  Receive();
  Page("next.htm", "<P>next page");
  Load("<INPUT NAME=a VALUE=1><INPUT TYPE=submit ONCLICK=go>");
  std::string onClick;
  view_->SetOnObjectClick(
      [&](viewer::ThtmlView* sender, layout::TFormControlObj*, const std::string& text) {
        onClick = text;
        sender->LoadFromFile("\\next.htm");
      });
  auto buttons = Widgets<QPushButton>();
  ASSERT_EQ(buttons.size(), 1u);
  QTest::mouseClick(buttons[0], Qt::LeftButton);
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(onClick, "go");
  EXPECT_TRUE(received_.empty());  // the page it would have submitted is gone
  EXPECT_TRUE(Widgets<QPushButton>().empty());
}

// Typing in a field, then another page: the field goes with its page, and
// the keys go to the viewer, which scrolls with them at once.
TEST_F(ViewerForms, TheViewerTakesTheKeyboardFromAControlThatGoesAway) {
  Load("<INPUT NAME=who>");
  auto edits = Widgets<QLineEdit>();
  ASSERT_EQ(edits.size(), 1u);
  view_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
  edits[0]->setFocus(Qt::MouseFocusReason);
  QTest::keyClicks(edits[0], "Ann");
  Load(TallPage(200));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QWidget* keys = QApplication::focusWidget();
  ASSERT_EQ(keys, view_.get());
  QTest::keyClick(keys, Qt::Key_PageDown);
  EXPECT_GT(view_->Document().YOffset, 0);
}

}  // namespace
