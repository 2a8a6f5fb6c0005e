// Forms on a page read by the builder, with controls that keep their state:
// what the readers put into the controls, what forms submit, radio groups,
// reset, Enter, image points, sizes and placing.

#include "forms/FormControls.h"

#include <gtest/gtest.h>

#include "images/ImageModule.h"
#include "layout/Section.h"
#include "platform/Font.h"
#include "tools/PageRender.h"

namespace {

using forms::ThtmlForm;
using layout::TFormControlObj;

tools::PageSettings TestSettings() {
  tools::PageSettings s;
  s.FontName = s.PreFontName = std::string(platform::kTestFontName);
  return s;
}

struct Page {
  explicit Page(const std::string& html) : page(tools::LayOutHtml(html, TestSettings())) {
    Doc().OnFormSubmit = [this](const std::string& action, const std::string&, const std::string&,
                                const std::string& method, std::vector<std::string> results) {
      submits.push_back({action, method, std::move(results)});
    };
  }
  layout::TSectionList& Doc() { return *page.Document; }
  ThtmlForm& Form(int i = 0) { return static_cast<ThtmlForm&>(*Doc().Forms[i]); }
  template <class T>
  T& Control(int i) {
    return dynamic_cast<T&>(*Doc().Controls.at(i));
  }
  // What the first form sends when it is submitted now.
  std::vector<std::string> SubmitFirst() {
    Form().Submit(nullptr);
    return submits.empty() ? std::vector<std::string>{} : submits.back().results;
  }

  struct Submitted {
    std::string action, method;
    std::vector<std::string> results;
  };
  tools::LaidOutPage page;
  std::vector<Submitted> submits;
};

using Strings = std::vector<std::string>;

TEST(FormReaders, SelectOptionsKeepTextValueAndSelection) {
  Page p("<SELECT MULTIPLE NAME=s><OPTION>one<OPTION SELECTED VALUE=2>two<OPTION> three ");
  auto& list = p.Control<forms::TListBoxFormControlObj>(0);
  ASSERT_EQ(list.Options.size(), 3u);
  EXPECT_EQ(list.Options[0].first, "one");
  EXPECT_EQ(list.Options[0].second.OptionValue, "");
  EXPECT_FALSE(list.Options[0].second.Selected);
  EXPECT_EQ(list.Options[1].first, "two");
  EXPECT_EQ(list.Options[1].second.OptionValue, "2");
  EXPECT_TRUE(list.Options[1].second.Selected);
  EXPECT_EQ(list.Options[2].first, "three");  // trimmed; the unclosed list ends with the input
  EXPECT_FALSE(list.Options[2].second.Selected);
  EXPECT_EQ(p.SubmitFirst(), Strings{"s=2"});
}

TEST(FormReaders, AnEmptyOptionHandsItsValueAndSelectionOn) {
  // The next OPTION tag always says whether it is selected; a value it
  // does not give is the one carried over.
  Page p(
      "<SELECT MULTIPLE NAME=s><OPTION SELECTED VALUE=v></OPTION><OPTION>next"
      "<OPTION SELECTED VALUE=w> <OPTION>last</SELECT>");
  auto& list = p.Control<forms::TListBoxFormControlObj>(0);
  ASSERT_EQ(list.Options.size(), 2u);
  EXPECT_EQ(list.Options[0].first, "next");
  EXPECT_EQ(list.Options[0].second.OptionValue, "v");
  EXPECT_FALSE(list.Options[0].second.Selected);
  EXPECT_EQ(list.Options[1].first, "last");
  EXPECT_EQ(list.Options[1].second.OptionValue, "w");
  EXPECT_FALSE(list.Options[1].second.Selected);
}

TEST(FormReaders, OptionTextAndValueAreCutAt80) {
  const std::string longText(100, 'x'), longValue(90, 'v');
  Page p("<SELECT NAME=s><OPTION VALUE=" + longValue + ">" + longText + "</SELECT>");
  auto& combo = p.Control<forms::TComboFormControlObj>(0);
  ASSERT_EQ(combo.Options.size(), 1u);
  EXPECT_EQ(combo.Options[0].first, std::string(80, 'x'));
  EXPECT_EQ(combo.Options[0].second.OptionValue, std::string(80, 'v'));
  EXPECT_EQ(combo.LongestText, 80);
}

TEST(FormReaders, TextAreaLines) {
  struct Case {
    const char* html;
    Strings lines;
  } cases[] = {
      // A line end right after the tag gives an empty first line.
      {"<TEXTAREA NAME=t>\nfirst\nsecond</TEXTAREA>after", {"", "first", "second"}},
      // Markup inside stays as written; entities are decoded.
      {"<TEXTAREA NAME=t><b>bold</b> &amp; more</TEXTAREA>", {"<b>bold</b> & more"}},
      // The last line is added only when it is not empty.
      {"<TEXTAREA NAME=t>one\n</TEXTAREA>", {"one"}},
      // Cut off by the end of the input.
      {"<TEXTAREA NAME=t>open\nend", {"open", "end"}},
  };
  for (const Case& c : cases) {
    Page p(c.html);
    EXPECT_EQ(p.Control<forms::TTextAreaFormControlObj>(0).InitialLines, c.lines) << c.html;
  }
}

// A text area of millions of lines would take gigabytes in its window: it
// takes the first 65,536 lines and 1 MiB; the rest is neither shown nor
// submitted, and the page goes on after it.
TEST(FormReaders, TextAreasTakeAtMostTheirLimits) {
  using Area = forms::TTextAreaFormControlObj;
  std::string manyLines = "<FORM><TEXTAREA NAME=t>";
  for (size_t i = 0; i < Area::kMaxLines + 10; ++i) manyLines += "x\n";
  manyLines += "</TEXTAREA>after</FORM>";
  const std::string longLine =
      "<TEXTAREA NAME=t>a\n" + std::string(Area::kMaxBytes + 5, 'y') + "\nz</TEXTAREA>";
  Page many(manyLines);
  EXPECT_EQ(many.Control<Area>(0).InitialLines.size(), Area::kMaxLines);
  EXPECT_EQ(many.Control<Area>(0).Memo().Lines().size(), Area::kMaxLines);
  EXPECT_EQ(many.SubmitFirst().size(), Area::kMaxLines);
  Page wide(longLine);
  const Strings& lines = wide.Control<Area>(0).InitialLines;
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size() + lines[1].size(), Area::kMaxBytes);
}

TEST(FormReaders, TextAfterATextAreaFlowsOn) {
  Page p("<TEXTAREA>x</TEXTAREA > after");
  const auto& section = dynamic_cast<const layout::TSection&>(*p.Doc()[0]);
  EXPECT_EQ(section.Buff, std::string("\x02 after"));
}

TEST(FormSubmission, EveryKindOfControlInOrder) {
  struct Case {
    const char* name;
    const char* html;
    Strings sent;
  } cases[] = {
      {"hidden", "<INPUT TYPE=hidden NAME=h VALUE=1>", {"h=1"}},
      {"edit", "<INPUT NAME=e VALUE=abc>", {"e=abc"}},
      {"unknown type is an edit", "<INPUT TYPE=date NAME=e VALUE=x>", {"e=x"}},
      {"password", "<INPUT TYPE=password NAME=p VALUE=secret>", {"p=secret"}},
      {"check box on", "<INPUT TYPE=checkbox NAME=c CHECKED>", {"c=On"}},
      {"check box off", "<INPUT TYPE=checkbox NAME=c VALUE=yes>", {}},
      {"radio",
       "<INPUT TYPE=radio NAME=r VALUE=a><INPUT TYPE=radio NAME=r VALUE=b CHECKED>",
       {"r=b"}},
      {"drop-down, first when none selected",
       "<SELECT NAME=s><OPTION>x<OPTION>y</SELECT>",
       {"s=x"}},
      {"drop-down, value of the last selected",
       "<SELECT NAME=s><OPTION SELECTED>x<OPTION SELECTED VALUE=7>y</SELECT>",
       {"s=7"}},
      {"list of several",
       "<SELECT NAME=m MULTIPLE><OPTION SELECTED>a<OPTION>b<OPTION SELECTED VALUE=3>c</SELECT>",
       {"m=a", "m=3"}},
      {"text area, one string a line", "<TEXTAREA NAME=t>a\nb</TEXTAREA>", {"t=a", "t=b"}},
      {"image not clicked", "<INPUT TYPE=image NAME=pick SRC=x.gif>", {}},
      {"buttons send nothing themselves", "<INPUT TYPE=submit NAME=ok><INPUT TYPE=reset>", {}},
      {"in creation order",
       "<INPUT TYPE=hidden NAME=a VALUE=1><INPUT NAME=b><INPUT TYPE=checkbox NAME=c CHECKED>"
       "<TEXTAREA NAME=d>x</TEXTAREA>",
       {"a=1", "b=", "c=On", "d=x"}},
  };
  for (const Case& c : cases) {
    Page p(std::string("<FORM>") + c.html + "</FORM>");
    EXPECT_EQ(p.SubmitFirst(), c.sent) << c.name;
  }
}

TEST(FormSubmission, FormAttributesAndTheSubmitButton) {
  Page p(
      "<FORM ACTION=go.cgi METHOD=POSTAL><INPUT NAME=a VALUE=1>"
      "<INPUT TYPE=submit NAME=ok VALUE=Send><INPUT TYPE=submit></FORM>");
  EXPECT_EQ(p.Form().Method, "POST");  // cut to four characters
  p.Control<forms::TButtonFormControlObj>(1).ButtonClicked();
  p.Control<forms::TButtonFormControlObj>(2).ButtonClicked();
  ASSERT_EQ(p.submits.size(), 2u);
  EXPECT_EQ(p.submits[0].action, "go.cgi");
  EXPECT_EQ(p.submits[0].results, (Strings{"a=1", "ok=Send"}));
  EXPECT_EQ(p.submits[1].results, Strings{"a=1"});  // no name: nothing added
  EXPECT_EQ(p.Control<forms::TButtonFormControlObj>(2).Button().Caption(), "Submit");
  EXPECT_EQ(Page("<FORM></FORM><INPUT>").Form().Method, "Get");
}

TEST(FormSubmission, NothingWithoutAHandler) {
  Page p("<INPUT NAME=a><INPUT TYPE=submit>");
  p.Doc().OnFormSubmit = nullptr;
  p.Control<forms::TButtonFormControlObj>(1).ButtonClicked();
  EXPECT_TRUE(p.submits.empty());
}

TEST(FormSubmission, ControlsOutsideFormsShareAnImplicitFormUntilAFormEnds) {
  Page p("<INPUT NAME=a><INPUT NAME=b></FORM><INPUT NAME=c><FORM><INPUT NAME=d></FORM>");
  ASSERT_EQ(p.Doc().Forms.Count(), 3);
  EXPECT_EQ(p.Form(0).ControlList.Count(), 2);
  EXPECT_EQ(p.Form(1).ControlList.Count(), 1);
  EXPECT_EQ(p.Form(2).ControlList.Count(), 1);
}

TEST(FormSubmission, AClickHandlerThatReplacesThePageEndsTheClick) {
  Page p("<INPUT TYPE=reset><INPUT TYPE=radio NAME=r>");
  p.Doc().OnObjectClick = [&p](TFormControlObj*, const std::string&) { p.Doc().Clear(); };
  p.Control<forms::TButtonFormControlObj>(0).ButtonClicked();  // frees the button itself
  EXPECT_EQ(p.Doc().Forms.Count(), 0);
}

TEST(RadioButtons, SameNameIgnoringCaseWithinOneForm) {
  Page p(
      "<FORM><TABLE><TR><TD BGCOLOR=red><INPUT TYPE=radio NAME=a CHECKED>"
      "<TD><INPUT TYPE=radio NAME=A><INPUT TYPE=radio NAME=b CHECKED></TABLE></FORM>"
      "<FORM><INPUT TYPE=radio NAME=a CHECKED></FORM>"
      // Я and я in Windows-1251: only a-z fold, so two groups.
      "<FORM><INPUT TYPE=radio NAME=\xDF CHECKED><INPUT TYPE=radio NAME=\xFF></FORM>");
  auto checked = [&p](int i) {
    return p.Control<forms::TRadioButtonFormControlObj>(i).RadioButton().Checked();
  };
  auto& second = p.Control<forms::TRadioButtonFormControlObj>(1);
  second.RadioButton().SetChecked(true);
  second.RadioButton().OnClick();
  EXPECT_FALSE(checked(0));  // a and A exclude each other, in other cells too
  EXPECT_TRUE(checked(1));
  EXPECT_TRUE(checked(2));  // another name
  EXPECT_TRUE(checked(3));  // another form
  auto& small = p.Control<forms::TRadioButtonFormControlObj>(5);
  small.RadioButton().SetChecked(true);
  small.RadioButton().OnClick();
  EXPECT_TRUE(checked(4)) << "a capital Cyrillic letter is another name";
}

TEST(RadioButtons, ThePanelTakesTheColourBehindIt) {
  Page p(
      "<BODY BGCOLOR=#00FF00><INPUT TYPE=radio><TABLE><TR><TD BGCOLOR=#0000FF>"
      "<INPUT TYPE=radio><TD><INPUT TYPE=radio></TABLE>");
  platform::Bitmap picture = tools::RenderPage(p.page, TestSettings());
  auto colour = [&p](int i) {
    return p.Control<forms::TRadioButtonFormControlObj>(i).RadioButton().Color();
  };
  EXPECT_EQ(colour(0), 0x0000FF00u);
  EXPECT_EQ(colour(1), 0x00FF0000u);  // the cell's own background
  EXPECT_EQ(colour(2), 0x0000FF00u);  // a cell without one shows the page's
}

TEST(FormReset, EveryControlBackToItsInitialState) {
  Page p(
      "<INPUT NAME=e VALUE=start><INPUT TYPE=checkbox NAME=c CHECKED>"
      "<INPUT TYPE=radio NAME=r VALUE=1><SELECT NAME=s><OPTION>x<OPTION SELECTED>y</SELECT>"
      "<SELECT NAME=m MULTIPLE><OPTION>a<OPTION>b</SELECT><TEXTAREA NAME=t>one</TEXTAREA>"
      "<INPUT TYPE=reset>");
  const Strings initial = p.SubmitFirst();
  p.Control<forms::TEditFormControlObj>(0).Edit().SetText("typed");
  p.Control<forms::TCheckBoxFormControlObj>(1).CheckBox().SetChecked(false);
  p.Control<forms::TRadioButtonFormControlObj>(2).RadioButton().SetChecked(true);
  dynamic_cast<platform::TComboBox&>(*p.Doc().Controls[3]->Control).SetItemIndex(0);
  dynamic_cast<platform::TListBox&>(*p.Doc().Controls[4]->Control).SetSelected(1, true);
  p.Control<forms::TTextAreaFormControlObj>(5).Memo().SetLines({"new", "lines"});
  EXPECT_NE(p.SubmitFirst(), initial);
  p.Control<forms::TButtonFormControlObj>(6).ButtonClicked();
  EXPECT_EQ(p.SubmitFirst(), initial);
  EXPECT_EQ(initial, (Strings{"e=start", "c=On", "s=y", "t=one"}));
}

TEST(FormEnterKey, SubmitsOnlyAFormWithOneControlToFillIn) {
  struct Case {
    const char* html;
    size_t submits;
  } cases[] = {
      {"<FORM><INPUT NAME=q></FORM>", 1},
      {"<FORM><INPUT NAME=q><INPUT TYPE=hidden NAME=h></FORM>", 1},  // hidden ones do not count
      {"<FORM><INPUT NAME=q><INPUT TYPE=checkbox NAME=c></FORM>", 0},
      {"<FORM><INPUT NAME=q><INPUT TYPE=submit></FORM>", 0},
  };
  for (const Case& c : cases) {
    Page p(c.html);
    int key = platform::VK_RETURN;
    p.Doc().Controls[0]->Control->OnKeyDown(key);
    key = 'A';
    p.Doc().Controls[0]->Control->OnKeyDown(key);
    EXPECT_EQ(p.submits.size(), c.submits) << c.html;
  }
  // A text area never submits this way.
  Page area("<FORM><TEXTAREA NAME=t></TEXTAREA></FORM>");
  int key = platform::VK_RETURN;
  area.Doc().Controls[0]->Control->OnKeyDown(key);
  EXPECT_TRUE(area.submits.empty());
}

TEST(ImageButtons, SubmitThePointClickedOnce) {
  images::TImageModuleScope module;  // pictures and their placeholders
  Page p(
      "<FORM><INPUT NAME=a VALUE=1><INPUT TYPE=image NAME=pick SRC=x.gif WIDTH=40 HEIGHT=30>"
      "</FORM><FORM><INPUT TYPE=image SRC=y.gif></FORM>");
  // The viewer's hit test finds the picture and notes the point in it.
  tools::RenderPage(p.page, TestSettings());
  const auto& section = dynamic_cast<const layout::TSection&>(*p.Doc()[0]);
  const layout::TImageObj& image = *section.Images[0];
  platform::Bitmap scratch(1, 1);
  platform::TCanvas canvas(scratch);
  std::unique_ptr<base::TUrlTarget> url;
  TFormControlObj* control = nullptr;
  // Hit tests take y from the top of the body, below the page's margin.
  const int x = image.DrawX + 10, y = image.DrawY + 4 - TestSettings().MarginHeight;
  ASSERT_TRUE(p.Doc().GetUrlAt(canvas, x, y, url, control));
  ASSERT_NE(control, nullptr);
  control->ImageClicked();
  ASSERT_EQ(p.submits.size(), 1u);
  EXPECT_EQ(p.submits[0].results, (Strings{"a=1", "pick.x=10", "pick.y=4"}));
  p.Form().Submit(nullptr);  // no new click: nothing for the picture
  EXPECT_EQ(p.submits[1].results, Strings{"a=1"});
  auto& unnamed = p.Control<forms::TImageFormControlObj>(2);
  unnamed.SetClickPoint(3, 5);
  unnamed.ImageClicked();
  EXPECT_EQ(p.submits[2].results, (Strings{"x=3", "y=5"}));
}

TEST(ControlSizes, FromTheFixedFontAtTenPoints) {
  Page p(
      "<INPUT SIZE=25><INPUT SIZE=\"30, 2\"><INPUT SIZE=abc>"
      "<SELECT MULTIPLE><OPTION>a<OPTION>b<OPTION>c<OPTION>d<OPTION>e</SELECT>"
      "<SELECT SIZE=3><OPTION>a</SELECT><SELECT MULTIPLE>" +
      [] {
        std::string twelve;
        for (int i = 0; i < 12; ++i) twelve += "<OPTION>item" + std::to_string(i);
        return twelve;
      }() +
      "</SELECT><TEXTAREA ROWS=2 COLS=10 WRAP=soft></TEXTAREA><TEXTAREA ROWS=-3></TEXTAREA>"
      "<INPUT TYPE=checkbox><INPUT TYPE=radio><INPUT TYPE=submit VALUE=Go>");
  platform::TFont fixed;
  fixed.SetName(std::string(platform::kTestFontName));
  fixed.SetSize(10);
  const int a = fixed.Face().Advance('A'), h = fixed.Face().Metrics().tmHeight;
  auto size = [&p](int i) {
    const TFormControlObj& c = *p.Doc().Controls.at(i);
    return std::make_pair(c.Width(), c.Height());
  };
  EXPECT_EQ(size(0), std::make_pair(a * 25 + 5, 20));
  EXPECT_EQ(size(1), std::make_pair(a * 30 + 5, 20));
  EXPECT_EQ(size(2), std::make_pair(a * 20 + 5, 20));
  EXPECT_EQ(size(3), std::make_pair(a * 3 + 15 + 4, h * 5 + 4));  // five options, five rows
  EXPECT_EQ(size(4), std::make_pair(a * 3 + 15 + 4, h * 3 + 4));
  EXPECT_EQ(size(5).second, h * 8 + 4);                                // twelve options, eight rows
  EXPECT_EQ(size(6), std::make_pair(a * 10 + 5 + 20, h * 2 + 5 + 4));  // wrapped: no bar below
  EXPECT_EQ(size(7).second, h * 5 + 5 + 20);                           // unusable ROWS: 5
  EXPECT_EQ(size(8), std::make_pair(13, 13));
  EXPECT_EQ(size(9), std::make_pair(13, 14));
}

TEST(ControlSizes, HugeNumbersStayWithinAWindowsReach) {
  Page p(
      "<INPUT SIZE=2147483647><TEXTAREA ROWS=2147483647 COLS=2147483647></TEXTAREA>"
      "<SELECT SIZE=2147483647 MULTIPLE><OPTION>a</SELECT>");
  for (const TFormControlObj* c : p.Doc().Controls) {
    EXPECT_LE(c->Width(), 32767 + 24);  // the inside, and the frame around it
    EXPECT_LE(c->Height(), 32767 + 24);
  }
}

// A draw shows the controls in its clip and hides the others, whether the
// page scrolled or a picture of it is drawn band by band: only controls in
// sight have windows. The focused control alone waits out of sight, parked.
TEST(ControlPlacing, ADrawShowsOnlyTheControlsInItsClip) {
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += "<P>line";
  Page p("<INPUT NAME=top>" + lines + "<INPUT NAME=middle>" + lines + "<INPUT NAME=bottom>");
  TFormControlObj& top = *p.Doc().Controls[0];
  TFormControlObj& middle = *p.Doc().Controls[1];
  TFormControlObj& bottom = *p.Doc().Controls[2];
  using Shown = std::vector<bool>;
  const auto shown = [&] {
    return Shown{top.Control->Visible(), middle.Control->Visible(), bottom.Control->Visible()};
  };
  // Before any draw all wait out of sight.
  EXPECT_EQ(top.Control->Top(), TFormControlObj::kHiddenTop);
  EXPECT_EQ(shown(), (Shown{false, false, false}));
  platform::Bitmap view(300, 100);
  platform::TCanvas canvas(view);
  const auto scrollTo = [&](int y) {
    p.Doc().SetYOffset(y);
    p.Doc().Draw(canvas, {0, 0, 300, 100}, 2000, 10, 5);
  };
  scrollTo(0);
  EXPECT_EQ(shown(), (Shown{true, false, false}));
  EXPECT_EQ(top.Control->Top(), 5);
  scrollTo(middle.YValue);
  EXPECT_EQ(shown(), (Shown{false, true, false}));
  // A band of a picture lower down: the offset stays, the clip moves.
  p.Doc().SetYOffset(0);
  canvas.SetWindowOrg(0, bottom.YValue);
  p.Doc().Draw(canvas, {0, bottom.YValue, 300, bottom.YValue + 100}, 2000, 10, 5);
  EXPECT_EQ(shown(), (Shown{false, false, true}));
  canvas.SetWindowOrg(0, 0);
  // The focused control waits parked while out of sight; the others go.
  middle.Control->SetFocus();
  scrollTo(0);
  EXPECT_EQ(shown(), (Shown{true, true, false}));
  EXPECT_EQ(middle.Control->Left(), TFormControlObj::kParkedLeft);
  top.Control->SetFocus();
  scrollTo(0);
  EXPECT_EQ(shown(), (Shown{true, false, false}));
}

TEST(ControlPlacing, FocusScrollsTheControlIntoView) {
  Page p("<INPUT NAME=a><INPUT NAME=b>");
  std::vector<TFormControlObj*> shown;
  p.Doc().OnShowFormControl = [&shown](TFormControlObj* c) { shown.push_back(c); };
  p.Doc().Controls[1]->Control->SetFocus();
  EXPECT_EQ(shown, std::vector<TFormControlObj*>{p.Doc().Controls[1]});
}

}  // namespace
