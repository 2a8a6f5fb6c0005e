// Pages of many form controls on the viewer: only the controls in sight have
// widgets, a control keeps what a person did to it while it has none, and
// the focus and Tab go through all of them as though each had one.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <vector>

#include "ViewerFixture.h"
#include "forms/FormControls.h"

namespace {

using viewer_testing::TallPage;
using viewer_testing::ViewerTest;
using Strings = std::vector<std::string>;

bool IsControlWidget(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QCheckBox*>(w) ||
         qobject_cast<const QRadioButton*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QListWidget*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QPushButton*>(w);
}

class ControlsInSight : public ViewerTest {
 protected:
  // The page in the active window, with the keyboard on the viewer (the
  // window system gives a window it activates to its first field).
  void Load(const std::string& html) {
    Page("f.htm", html);
    view_->LoadFromFile("\\f.htm");
    view_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
    view_->setFocus(Qt::MouseFocusReason);
    Paint();
  }
  // Scrolls as the wheel does (the focus stays where it is) and paints.
  void ScrollTo(int y) {
    view_->ScrollToY(y);
    Paint();
  }
  // The widgets of the page's controls, those freed after their own
  // handlers gone too.
  std::vector<QWidget*> ControlWidgets() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::vector<QWidget*> found;
    for (QWidget* w : view_->PaintPanel->findChildren<QWidget*>())
      if (IsControlWidget(w)) found.push_back(w);
    return found;
  }
  QWidget* OnlyWidget() {
    const std::vector<QWidget*> widgets = ControlWidgets();
    EXPECT_EQ(widgets.size(), 1u);
    return widgets.empty() ? nullptr : widgets[0];
  }
  bool InPanel(const QWidget* w) {
    const QRect box(w->mapTo(view_->PaintPanel, QPoint(0, 0)), w->size());
    return w->isVisible() && box.intersects(view_->PaintPanel->rect());
  }
  // The NAME of the control with the focus, empty for none.
  std::string FocusedName() {
    const platform::TWinControl* focused = view_->Document().ControlParent().FocusedControl();
    for (const layout::TFormControlObj* control : view_->Document().Controls)
      if (focused && control->GetControl() == focused) return control->Name;
    return {};
  }
  forms::ThtmlForm& Form() { return static_cast<forms::ThtmlForm&>(*view_->Document().Forms[0]); }
  Strings Submitted() {
    Strings results;
    view_->SetOnFormSubmit([&](viewer::ThtmlView*, const std::string&, const std::string&,
                               const std::string&, const std::string&,
                               const Strings& sent) { results = sent; });
    Form().Submit(nullptr);
    QCoreApplication::processEvents();
    return results;
  }
};

TEST_F(ControlsInSight, APageOfManyControlsHasWidgetsOnlyForThoseInSight) {
  static const char* const kinds[] = {"<INPUT NAME=f%d VALUE=v%d>",
                                      "<INPUT TYPE=checkbox NAME=f%d>",
                                      "<INPUT TYPE=radio NAME=f%d>",
                                      "<SELECT NAME=f%d><OPTION>a<OPTION>b</SELECT>",
                                      "<SELECT NAME=f%d SIZE=2><OPTION>a<OPTION>b</SELECT>",
                                      "<TEXTAREA NAME=f%d ROWS=1>t%d</TEXTAREA>",
                                      "<INPUT TYPE=submit NAME=f%d>"};
  std::string html = "<FORM>";
  char tag[96];
  for (int i = 0; i < 700; ++i) {
    std::snprintf(tag, sizeof tag, kinds[i % 7], i, i);
    html += std::string(tag) + "<BR>";
  }
  Load(html);
  for (const int y : {0, view_->DocHeight() / 2, view_->DocHeight()}) {
    ScrollTo(y);
    const std::vector<QWidget*> widgets = ControlWidgets();
    EXPECT_GT(widgets.size(), 3u) << "at " << y;
    EXPECT_LT(widgets.size(), 40u) << "at " << y;
    for (const QWidget* w : widgets) EXPECT_TRUE(InPanel(w)) << "at " << y;
  }
  // A field in sight has its widget, with its value.
  const layout::TFormControlObj& middle = *view_->Document().Controls[350];
  ASSERT_EQ(middle.Name, "f350");
  ScrollTo(middle.YValue - 100);
  bool seen = false;
  for (const QWidget* w : ControlWidgets())
    if (auto* edit = qobject_cast<const QLineEdit*>(w); edit && edit->text() == "v350") seen = true;
  EXPECT_TRUE(seen);
}

// A control scrolled out of sight gives up its widget; back in sight it
// shows what was done to it, and sends the same while away.
struct KeptState {
  const char* name;
  std::string html;
  std::function<void(QWidget&)> change;
  std::function<void(QWidget&)> check;
};

class StateOutOfSight : public ControlsInSight, public ::testing::WithParamInterface<KeptState> {};

TEST_P(StateOutOfSight, IsKeptWhileTheControlHasNoWidget) {
  const KeptState& row = GetParam();
  Load("<FORM>" + row.html + TallPage(300));
  QWidget* before = OnlyWidget();
  ASSERT_NE(before, nullptr);
  row.change(*before);
  view_->setFocus(Qt::MouseFocusReason);  // a click gave the control the focus, which parks it
  const Strings sent = Submitted();
  ScrollTo(view_->DocHeight());
  EXPECT_TRUE(ControlWidgets().empty());
  EXPECT_EQ(Submitted(), sent);
  ScrollTo(0);
  QWidget* after = OnlyWidget();
  ASSERT_NE(after, nullptr);
  row.check(*after);
  EXPECT_EQ(Submitted(), sent);
}

std::string ManyLines(int count, int longLine) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += "line " + std::to_string(i) + std::string(i == longLine ? 200 : 0, 'x') + "\n";
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Controls, StateOutOfSight,
    ::testing::Values(
        KeptState{"EditTextCaretAndSelection", "<INPUT NAME=e VALUE=Ann>",
                  [](QWidget& w) {
                    auto& edit = static_cast<QLineEdit&>(w);
                    edit.end(false);
                    edit.insert(QString::fromUtf8("a\u4e2d"));  // no byte in the page's code page
                    edit.cursorBackward(true, 3);               // selected towards the start
                  },
                  [](QWidget& w) {
                    auto& edit = static_cast<QLineEdit&>(w);
                    EXPECT_EQ(edit.text(), QString::fromUtf8("Anna\u4e2d"));
                    EXPECT_EQ(edit.selectedText(), QString::fromUtf8("na\u4e2d"));
                    EXPECT_EQ(edit.cursorPosition(), 2);
                  }},
        KeptState{"PasswordText", "<INPUT TYPE=password NAME=p>",
                  [](QWidget& w) { QTest::keyClicks(&w, "secret"); },
                  [](QWidget& w) {
                    auto& edit = static_cast<QLineEdit&>(w);
                    EXPECT_EQ(edit.text(), "secret");
                    EXPECT_EQ(edit.echoMode(), QLineEdit::Password);
                  }},
        KeptState{"CheckBoxTicked", "<INPUT TYPE=checkbox NAME=c>",
                  [](QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(6, 6)); },
                  [](QWidget& w) { EXPECT_TRUE(static_cast<QCheckBox&>(w).isChecked()); }},
        KeptState{"RadioButtonChecked", "<INPUT TYPE=radio NAME=r VALUE=on>",
                  [](QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(6, 6)); },
                  [](QWidget& w) { EXPECT_TRUE(static_cast<QRadioButton&>(w).isChecked()); }},
        KeptState{"DropDownChoice", "<SELECT NAME=s><OPTION>a<OPTION>b<OPTION>c</SELECT>",
                  [](QWidget& w) { static_cast<QComboBox&>(w).setCurrentIndex(2); },
                  [](QWidget& w) { EXPECT_EQ(static_cast<QComboBox&>(w).currentIndex(), 2); }},
        KeptState{"ListSelectionCurrentAndTopItems",
                  "<SELECT NAME=l MULTIPLE SIZE=4><OPTION>0<OPTION>1<OPTION>2<OPTION>3<OPTION>4"
                  "<OPTION>5<OPTION>6<OPTION>7<OPTION>8<OPTION>9<OPTION>10<OPTION>11</SELECT>",
                  [](QWidget& w) {
                    auto& list = static_cast<QListWidget&>(w);
                    list.clearSelection();
                    list.item(1)->setSelected(true);
                    list.item(9)->setSelected(true);
                    list.setCurrentRow(9, QItemSelectionModel::NoUpdate);
                    list.scrollToItem(list.item(7), QAbstractItemView::PositionAtTop);
                  },
                  [](QWidget& w) {
                    auto& list = static_cast<QListWidget&>(w);
                    std::vector<int> rows;
                    for (const QModelIndex& index : list.selectionModel()->selectedIndexes())
                      rows.push_back(index.row());
                    std::sort(rows.begin(), rows.end());
                    EXPECT_EQ(rows, (std::vector<int>{1, 9}));
                    EXPECT_EQ(list.currentRow(), 9);
                    EXPECT_EQ(list.indexAt(QPoint(0, 0)).row(), 7);
                  }},
        KeptState{"TextAreaTextCaretAndScroll",
                  "<TEXTAREA NAME=t ROWS=3>" + ManyLines(40, 30) + "</TEXTAREA>",
                  [](QWidget& w) {
                    auto& memo = static_cast<QPlainTextEdit&>(w);
                    QTextCursor cursor = memo.textCursor();
                    cursor.setPosition(20);
                    cursor.setPosition(9, QTextCursor::KeepAnchor);
                    memo.setTextCursor(cursor);
                    memo.insertPlainText(QString::fromUtf8("\u00a0typed"));  // a no-break space
                    memo.verticalScrollBar()->setValue(28);
                    QCoreApplication::processEvents();  // the lines in view are laid out
                    memo.horizontalScrollBar()->setValue(120);
                    cursor = memo.textCursor();
                    cursor.setPosition(30, QTextCursor::KeepAnchor);
                    memo.setTextCursor(cursor);
                    memo.verticalScrollBar()->setValue(28);
                    memo.horizontalScrollBar()->setValue(120);
                  },
                  [](QWidget& w) {
                    auto& memo = static_cast<QPlainTextEdit&>(w);
                    EXPECT_TRUE(memo.toPlainText().startsWith(QString::fromUtf8("line 0\nli ")));
                    EXPECT_EQ(memo.textCursor().anchor(), 15);
                    EXPECT_EQ(memo.textCursor().position(), 30);
                    EXPECT_EQ(memo.verticalScrollBar()->value(), 28);
                    EXPECT_EQ(memo.horizontalScrollBar()->value(), 120);
                  }}),
    [](const ::testing::TestParamInfo<KeptState>& info) { return std::string(info.param.name); });

TEST_F(ControlsInSight, AResetOutOfSightShowsWhenTheFieldComesBack) {
  Load("<FORM><INPUT NAME=e VALUE=first>" + TallPage(300));
  QTest::keyClicks(OnlyWidget(), " changed");
  ScrollTo(view_->DocHeight());
  Form().ResetControls();
  ScrollTo(0);
  QWidget* after = OnlyWidget();
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(static_cast<QLineEdit*>(after)->text(), "first");
}

// Tab goes from field to field in page order, out of sight or not, scrolls
// the one it reaches into view and leaves it ready for typing; a text area
// types its Tab; past the last field Tab comes round to the first.
TEST_F(ControlsInSight, TabGoesThroughEveryFieldInPageOrder) {
  Load("<FORM><INPUT NAME=a VALUE=1>" + TallPage(100) +
       "<INPUT NAME=b VALUE=2><INPUT TYPE=checkbox NAME=c>" + TallPage(100) +
       "<TEXTAREA NAME=d></TEXTAREA><INPUT NAME=e VALUE=5>");
  OnlyWidget()->setFocus(Qt::MouseFocusReason);
  const auto tab = [&](Qt::Key key, const std::string& expected) {
    QTest::keyClick(QApplication::focusWidget(), key);
    Paint();
    EXPECT_EQ(FocusedName(), expected);
    EXPECT_TRUE(InPanel(QApplication::focusWidget())) << expected << " is out of sight";
  };
  tab(Qt::Key_Tab, "b");
  QTest::keyClicks(QApplication::focusWidget(), "X");  // Tab selected the text: typing replaces it
  tab(Qt::Key_Tab, "c");
  tab(Qt::Key_Tab, "d");
  tab(Qt::Key_Tab, "d");
  EXPECT_EQ(static_cast<QPlainTextEdit*>(QApplication::focusWidget())->toPlainText(), "\t");
  view_->Document().Controls[4]->GetControl()->SetFocus();  // a click on it
  EXPECT_EQ(FocusedName(), "e");
  tab(Qt::Key_Tab, "a");
  tab(Qt::Key_Backtab, "e");
  tab(Qt::Key_Backtab, "d");
  EXPECT_EQ(Submitted(), (Strings{"a=1", "b=X", "d=\t", "e=5"}));
}

// From the viewer Tab enters the page at the first field in sight, in page
// order whatever order the fields came into sight in.
TEST_F(ControlsInSight, TabFromTheViewerReachesTheFirstFieldInSight) {
  Load("<FORM><INPUT NAME=a>" + TallPage(100) + "<INPUT NAME=b>" + TallPage(8) + "<INPUT NAME=c>" +
       TallPage(100));
  const std::vector<layout::TFormControlObj*>& controls = view_->Document().Controls;
  ScrollTo(controls[2]->YValue - 5);  // c alone
  ASSERT_EQ(ControlWidgets().size(), 1u);
  ScrollTo(controls[1]->YValue - 5);  // b comes into sight above it
  ASSERT_EQ(ControlWidgets().size(), 2u);
  QTest::keyClick(view_.get(), Qt::Key_Tab);
  EXPECT_EQ(FocusedName(), "b");
}

// A picture of a window never shown (the launcher's screenshots) shows its
// text areas laid out, scroll bars and all, though their widgets were made
// while the picture was being drawn.
TEST_F(ControlsInSight, APictureOfAWindowNotShownLaysOutItsTextAreas) {
  view_->hide();
  Page("f.htm", "<TEXTAREA ROWS=3>text</TEXTAREA>");
  for (int page = 0; page < 2; ++page) {  // later pictures too
    view_->LoadFromFile("\\f.htm");
    view_->grab();
    const auto memos = view_->PaintPanel->findChildren<QPlainTextEdit*>();
    ASSERT_EQ(memos.size(), 1);
    // The bar stands beside the text, as tall as it.
    const QPlainTextEdit& memo = *memos[0];
    const QWidget& bar = *memo.verticalScrollBar();
    EXPECT_LT(memo.viewport()->geometry().right(), bar.mapTo(&memo, QPoint(0, 0)).x());
    EXPECT_EQ(bar.height(), memo.viewport()->height());
    view_->ClearDocument();
  }
}

// The field with the focus is scrolled into view; scrolled away it keeps
// its widget, parked out of sight, and takes the keys typed; once the
// focus has gone, out of sight it has none.
TEST_F(ControlsInSight, AFocusedFieldKeepsItsWidgetOutOfSight) {
  Load("<FORM><INPUT NAME=top>" + TallPage(200) + "<INPUT NAME=bottom>");
  view_->Document().Controls[1]->GetControl()->SetFocus();
  EXPECT_GT(view_->Document().YOffset, 0);  // the page scrolled down to it
  Paint();
  ASSERT_EQ(ControlWidgets().size(), 1u);
  QWidget* bottom = QApplication::focusWidget();
  EXPECT_TRUE(InPanel(bottom));
  QTest::keyClicks(bottom, "An");
  ScrollTo(0);
  EXPECT_EQ(ControlWidgets().size(), 2u);
  EXPECT_TRUE(bottom->hasFocus());
  EXPECT_EQ(bottom->geometry().left(), layout::TFormControlObj::kParkedLeft);
  QTest::keyClicks(bottom, "na");
  view_->PaintPanel->setFocus();
  Paint();
  EXPECT_EQ(ControlWidgets().size(), 1u);
  EXPECT_EQ(Submitted(), (Strings{"top=", "bottom=Anna"}));
}

}  // namespace
