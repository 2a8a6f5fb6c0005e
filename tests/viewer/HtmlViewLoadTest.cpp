// Properties, loading, links, anchors, history and the deferred events.
#include <QCoreApplication>
#include <QMouseEvent>
#include <vector>

#include "ViewerFixture.h"
#include "platform/Exceptions.h"
#include "platform/ui/Application.h"

namespace {

using viewer_testing::TallPage;
using viewer_testing::ViewerTest;

TEST_F(ViewerTest, PropertySettersClampAndIgnoreAsPublished) {
  struct Case {
    const char* what;
    std::function<void(viewer::ThtmlView&)> set;
    std::function<int(viewer::ThtmlView&)> get;
    int expected;
  };
  const Case cases[] = {
      {"DefFontSize 4 stores 6", [](auto& v) { v.SetDefFontSize(4); },
       [](auto& v) { return v.DefFontSize(); }, 6},
      {"DefFontSize 14", [](auto& v) { v.SetDefFontSize(14); },
       [](auto& v) { return v.Document().BaseFontSize; }, 14},
      {"ImageCacheCount 30 stores 20", [](auto& v) { v.SetImageCacheCount(30); },
       [](auto& v) { return v.ImageCacheCount(); }, 20},
      {"ImageCacheCount -3 stores 0", [](auto& v) { v.SetImageCacheCount(-3); },
       [](auto& v) { return v.ImageCacheCount(); }, 0},
      {"MarginWidth 51 ignored", [](auto& v) { v.SetMarginWidth(51); },
       [](auto& v) { return v.MarginWidth(); }, 10},
      {"MarginWidth 50 taken", [](auto& v) { v.SetMarginWidth(50); },
       [](auto& v) { return v.MarginWidth(); }, 50},
      {"MarginHeight -1 ignored", [](auto& v) { v.SetMarginHeight(-1); },
       [](auto& v) { return v.MarginHeight(); }, 5},
      {"MarginHeight 0 taken", [](auto& v) { v.SetMarginHeight(0); },
       [](auto& v) { return v.MarginHeight(); }, 0},
      {"HistoryMaxCount -1 ignored", [](auto& v) { v.SetHistoryMaxCount(-1); },
       [](auto& v) { return v.HistoryMaxCount(); }, 0},
      {"DefBackground ignored while processing",
       [](auto& v) {
         v.OnProcessing = [](viewer::ThtmlView* s, bool on) {
           if (on) s->SetDefBackground(platform::clRed);
         };
         v.SetScrollBars(viewer::ssVertical);
       },
       [](auto& v) { return static_cast<int>(v.DefBackground()); }, int{platform::clWhite}},
  };
  for (const Case& c : cases) {
    SetUp();
    c.set(*view_);
    EXPECT_EQ(c.get(*view_), c.expected) << c.what;
  }
}

TEST_F(ViewerTest, NamesAndRootsAreStoredAsPublished) {
  view_->SetServerRoot("  \\srv\\root\\  ");
  EXPECT_EQ(view_->ServerRoot(), "\\srv\\root");
  view_->SetDefFontName("An extremely long face name that goes past the limit");
  EXPECT_EQ(view_->Document().FontName.size(), 33u);
  view_->SetNoSelect(true);
  EXPECT_EQ(view_->Document().SelStart, -1);
  EXPECT_EQ(view_->Document().SelEnd, -1);
}

TEST_F(ViewerTest, LoadShowsThePageAndReportsProcessing) {
  Page("HTML/soft.htm", "<title>Старт</title><h1>Добро пожаловать</h1><p>text");
  std::vector<bool> processing;
  view_->OnProcessing = [&](viewer::ThtmlView*, bool on) { processing.push_back(on); };
  view_->LoadFromFile("\\HTML\\soft.htm");
  EXPECT_EQ(view_->CurrentFile(), "D:\\HTML\\soft.htm");
  EXPECT_EQ(view_->CurrentKind(), viewer::HtmlKind);
  EXPECT_EQ(view_->Title(), platform::Utf8ToBytes("Старт", 1251));
  EXPECT_GT(view_->Document().Count(), 0);
  EXPECT_EQ(processing, (std::vector<bool>{true, false}));
  EXPECT_GT(view_->DocHeight(), 0);
}

TEST_F(ViewerTest, BadFilesGiveTheErrorOrNothingAndTheViewerGoesOn) {
  Page("good.htm", "<p>good page");
  medium_.Write("empty.htm", "");
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  medium_.Write("binary.htm", binary);
  std::filesystem::create_directories(medium_.Path() / "folder.htm");
  view_->LoadFromFile("\\good.htm");
  const int sections = view_->Document().Count();

  const struct {
    const char* name;
    const char* error;  // nullptr: loads without one
  } cases[] = {
      {"\\nope.htm", "Can't locate file: \\nope.htm"},
      {"\\nope.htm#anchor", "Can't locate file: \\nope.htm"},
      {"\\folder.htm", "Can't locate file: \\folder.htm"},
      {"\\empty.htm", nullptr},
      {"\\binary.htm", nullptr},
  };
  for (const auto& c : cases) {
    view_->LoadFromFile("\\good.htm");
    if (c.error) {
      try {
        view_->LoadFromFile(c.name);
        ADD_FAILURE() << c.name << " loaded";
      } catch (const platform::EInOutError& error) {
        EXPECT_STREQ(error.what(), c.error);
      }
      // The page shown before stays, and the viewer is not left busy.
      EXPECT_EQ(view_->CurrentFile(), "D:\\good.htm") << c.name;
      EXPECT_EQ(view_->Document().Count(), sections) << c.name;
      EXPECT_FALSE(view_->Processing()) << c.name;
    } else {
      EXPECT_NO_THROW(view_->LoadFromFile(c.name)) << c.name;
      Paint();
    }
  }
}

TEST_F(ViewerTest, AnchorsScrollAndMissingAnchorsKeepThePosition) {
  Page("a.htm", TallPage(60) + "<a name=Part2>here</a>" + TallPage(60));
  Page("b.htm", TallPage(100));
  view_->LoadFromFile("\\a.htm#part2");
  const int anchorTop = view_->AnchorNames().at("PART2")->Top;
  EXPECT_EQ(view_->VBar->Position32, anchorTop);
  // The same file with an unknown anchor reloads and stays.
  view_->LoadFromFile("\\a.htm#nowhere");
  EXPECT_EQ(view_->VBar->Position32, anchorTop);
  // Another file with an unknown anchor stays too; without one it starts at the top.
  view_->LoadFromFile("\\b.htm#nowhere");
  EXPECT_EQ(view_->VBar->Position32, anchorTop);
  view_->LoadFromFile("\\a.htm");
  EXPECT_EQ(view_->VBar->Position32, 0);
  EXPECT_FALSE(view_->ScrollToAnchor(""));
  EXPECT_TRUE(view_->ScrollToAnchor("#PaRt2"));
}

TEST_F(ViewerTest, FullFileNameResolvesAgainstRootBaseAndCurrentFile) {
  Page("HTML/page.htm", "<p>x");
  view_->LoadFromFile("\\HTML\\page.htm");
  EXPECT_EQ(view_->FullFileName("next.htm"), "D:\\HTML\\next.htm");
  EXPECT_EQ(view_->FullFileName("  ..\\top.htm "), "D:\\top.htm");
  EXPECT_EQ(view_->FullFileName("\\abs.htm"), "D:\\abs.htm");
  EXPECT_EQ(view_->FullFileName("C:\\other\\x.htm"), "C:\\other\\x.htm");
  EXPECT_EQ(view_->FullFileName("\\\\server\\share\\x.htm"), "\\\\server\\share\\x.htm");
  view_->SetServerRoot("\\www\\");
  EXPECT_EQ(view_->FullFileName("/docs/x.htm"), "D:\\www\\docs\\x.htm");
  Page("HTML/based.htm", "<base href=\"DosPath\"><p>x");
  view_->LoadFromFile("\\HTML\\based.htm");
  EXPECT_EQ(view_->FullFileName("rel.htm"), "rel.htm");
}

TEST_F(ViewerTest, LinksFollowByKindOfTarget) {
  Page("HTML/page.htm",
       "<a href=\"other.htm#End\">one</a><br><a href=\"odd.htmlx\">two</a><br>"
       "<a href=\"pic.jpeg\">three</a><br><a href=\"notes.txt\">four</a><br>"
       "<a href=\"noext\">five</a><br>" +
           TallPage(40) + "<a name=top>top</a>");
  Page("HTML/other.htm", TallPage(80) + "<a name=end>end</a>");
  Page("HTML/odd.htmlx", "<p>odd");
  medium_.Write("HTML/pic.jpeg", "not really a picture");
  const struct {
    const char* text;
    const char* file;  // the file shown afterwards
    uint8_t kind;
  } cases[] = {
      {"one", "D:\\HTML\\other.htm", viewer::HtmlKind},
      {"two", "D:\\HTML\\odd.htmlx", viewer::HtmlKind},  // ".HTMLX" cut to ".HTML"
      {"three", "D:\\HTML\\pic.jpeg", viewer::ImageKind},
      {"four", "D:\\HTML\\page.htm", viewer::HtmlKind},
      {"five", "D:\\HTML\\page.htm", viewer::HtmlKind},
  };
  std::vector<std::string> asked;
  view_->OnHotSpotClick = [&](viewer::ThtmlView*, const std::string& src, bool&) {
    asked.push_back(src);
  };
  for (const auto& c : cases) {
    view_->LoadFromFile("\\HTML\\page.htm");
    Paint();
    asked.clear();
    const QPoint at = PointOf(Find(c.text));
    view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, at.x(), at.y());
    view_->PanelMouseUp(platform::mbLeft, 0, at.x(), at.y());
    EXPECT_EQ(asked.size(), 1u) << c.text;
    EXPECT_EQ(view_->CurrentFile(), c.file) << c.text;
    EXPECT_EQ(view_->CurrentKind(), c.kind) << c.text;
  }
  // The anchor of "other.htm#End" took the page to its end.
  view_->LoadFromFile("\\HTML\\page.htm");
  Paint();
  const QPoint at = PointOf(Find("one"));
  view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, at.x(), at.y());
  view_->PanelMouseUp(platform::mbLeft, 0, at.x(), at.y());
  EXPECT_EQ(view_->VBar->Position32, view_->DocHeight() - view_->PaintPanel->height());
}

TEST_F(ViewerTest, LinksOutOfTheMediumStayOnIt) {
  // A page outside the medium that the links below would reach if ".." or
  // a drive letter could leave the medium root.
  testing_support::TempDir outside;
  outside.Write("secret.htm", "<p>secret");
  const std::string up = std::string("../../../../../../../..") + outside.Path().string();
  Page("HTML/page.htm", "<a href=\"" + up + "/secret.htm\">one</a><br>"
                        "<a href=\"C:\\secret.htm\">two</a>");
  for (const char* text : {"one", "two"}) {
    view_->LoadFromFile("\\HTML\\page.htm");
    Paint();
    const QPoint at = PointOf(Find(text));
    view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, at.x(), at.y());
    try {
      view_->PanelMouseUp(platform::mbLeft, 0, at.x(), at.y());
      ADD_FAILURE() << text << " was followed";
    } catch (const platform::EInOutError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("Can't locate file: ", 0), 0u) << error.what();
    }
    EXPECT_EQ(view_->CurrentFile(), "D:\\HTML\\page.htm") << text;
    EXPECT_FALSE(view_->Processing()) << text;
  }
}

TEST_F(ViewerTest, AClickOnALinkToAMissingPageShowsTheErrorAndGoesOn) {
  auto box = std::make_unique<platform::CapturingMessageBox>();
  platform::CapturingMessageBox* shown = box.get();
  platform::TApplication::Instance().SetMessageBox(std::move(box));
  Page("page.htm", "<a href=\"gone.htm\">gone</a>");
  view_->LoadFromFile("\\page.htm");
  Paint();
  const QPointF at = PointOf(Find("gone"));
  QMouseEvent press(QEvent::MouseButtonPress, at, view_->PaintPanel->mapToGlobal(at),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, view_->PaintPanel->mapToGlobal(at),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view_->PaintPanel, &press);
  QCoreApplication::sendEvent(view_->PaintPanel, &release);
  ASSERT_EQ(shown->shown.size(), 1u);
  EXPECT_EQ(shown->shown[0].text, "Can't locate file: D:\\gone.htm.");
  EXPECT_EQ(shown->shown[0].icon, platform::MessageIcon::Error);
  EXPECT_EQ(view_->CurrentFile(), "D:\\page.htm");
  platform::TApplication::Instance().SetMessageBox(std::make_unique<platform::StderrMessageBox>());
}

TEST_F(ViewerTest, HandledLinksAreNotFollowed) {
  Page("page.htm", "<a href=\"other.htm\">go</a>");
  Page("other.htm", "<p>other");
  view_->LoadFromFile("\\page.htm");
  Paint();
  view_->OnHotSpotClick = [](viewer::ThtmlView*, const std::string&, bool& handled) {
    handled = true;
  };
  const QPoint at = PointOf(Find("go"));
  view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, at.x(), at.y());
  view_->PanelMouseUp(platform::mbLeft, 0, at.x(), at.y());
  EXPECT_EQ(view_->CurrentFile(), "D:\\page.htm");
  EXPECT_EQ(view_->LinkURL(), "other.htm");
}

class HistoryTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    for (const char* name : {"a", "b", "c", "d", "e"})
      Page(std::string(name) + ".htm",
           "<a href=\"#end\">jump</a>" + TallPage(80) + "<a name=end>" + name + "</a>");
    view_->OnHistoryChange = [this](viewer::ThtmlView*) { ++changes_; };
  }
  std::string Files() {
    std::string files;
    for (const std::string& f : view_->VisitedFiles()) files += f.substr(3, 1);
    return files;
  }
  int changes_ = 0;
};

TEST_F(HistoryTest, NothingIsRecordedWithACountOfZero) {
  view_->LoadFromFile("\\a.htm");
  view_->LoadFromFile("\\b.htm");
  EXPECT_TRUE(view_->VisitedFiles().empty());
  EXPECT_EQ(changes_, 0);
}

TEST_F(HistoryTest, NewestFirstLimitedAndGoneBackPlacesDropped) {
  view_->SetHistoryMaxCount(3);
  for (const char* name : {"\\a.htm", "\\b.htm", "\\c.htm", "\\d.htm"}) view_->LoadFromFile(name);
  EXPECT_EQ(Files(), "dcb");  // a fell off the end
  EXPECT_EQ(changes_, 4);
  EXPECT_EQ(view_->VisitIndex(), 0);

  view_->ScrollToY(100);
  const int left = view_->SavedPosition();
  view_->GoBack();
  EXPECT_EQ(view_->CurrentFile(), "D:\\c.htm");
  EXPECT_EQ(view_->VisitIndex(), 1);
  view_->GoBack();
  EXPECT_EQ(view_->VisitIndex(), 2);
  view_->GoForward();
  view_->GoForward();
  EXPECT_EQ(view_->CurrentFile(), "D:\\d.htm");
  EXPECT_EQ(view_->SavedPosition(), left);  // the place left kept its scroll position

  // Recording from a place gone back to drops the places before it.
  view_->GoBack();
  view_->LoadFromFile("\\e.htm");
  EXPECT_EQ(Files(), "ecb");
  EXPECT_EQ(view_->VisitIndex(), 0);

  // A link to an anchor on the same page is a new place; loading the same
  // file again is not.
  const int before = changes_;
  Paint();
  const QPoint jump = PointOf(Find("jump"));
  view_->PanelMouseDown(platform::mbLeft, platform::ssLeft, jump.x(), jump.y());
  view_->PanelMouseUp(platform::mbLeft, 0, jump.x(), jump.y());
  EXPECT_EQ(Files(), "eec");
  EXPECT_EQ(changes_, before + 1);
  view_->LoadFromFile("\\e.htm#end");
  EXPECT_EQ(changes_, before + 1);

  // A lower count empties the history.
  view_->SetHistoryMaxCount(1);
  EXPECT_TRUE(view_->VisitedFiles().empty());
  EXPECT_EQ(view_->VisitIndex(), 0);
}

TEST_F(ViewerTest, MetaRefreshIsReportedAfterTheLoad) {
  Page("r.htm", "<meta http-equiv=\"Refresh\" content=\"5; URL=Next.htm\"><p>x");
  Page("plain.htm", "<meta http-equiv=\"refresh\" content=\"5\"><p>x");
  std::vector<std::pair<int, std::string>> seen;
  view_->OnMetaRefresh = [&](viewer::ThtmlView* sender, int delay, const std::string& url) {
    EXPECT_FALSE(sender->Processing());
    seen.emplace_back(delay, url);
  };
  view_->LoadFromFile("\\r.htm");
  view_->LoadFromFile("\\plain.htm");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::make_pair(5, std::string("Next.htm")));
}

TEST_F(ViewerTest, FormSubmissionArrivesAfterTheHandlingThatSubmitted) {
  std::vector<std::string> received;
  view_->SetOnFormSubmit([&](viewer::ThtmlView*, const std::string& action, const std::string&,
                             const std::string&, const std::string& method,
                             const std::vector<std::string>& results) {
    received = results;
    received.push_back(action + " " + method);
  });
  ASSERT_TRUE(view_->Document().OnFormSubmit);
  view_->Document().OnFormSubmit("go.cgi", "", "", "POST", {"a=1", "b=2"});
  EXPECT_TRUE(received.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(received, (std::vector<std::string>{"a=1", "b=2", "go.cgi POST"}));
  view_->SetOnFormSubmit(nullptr);
  EXPECT_FALSE(view_->Document().OnFormSubmit);
}

TEST_F(ViewerTest, ClearDocumentEmptiesThePageButKeepsTheFile) {
  Page("a.htm", TallPage(100));
  view_->LoadFromFile("\\a.htm");
  view_->ClearDocument();
  EXPECT_EQ(view_->Document().Count(), 0);
  EXPECT_TRUE(view_->VBar->isHidden());
  EXPECT_EQ(view_->CurrentFile(), "D:\\a.htm");
  Paint();
}

TEST_F(ViewerTest, ShowImageFileMakesAPictureDocument) {
  medium_.Write("pic.bmp", "BM");
  view_->ShowImageFile("\\pic.bmp");
  EXPECT_EQ(view_->CurrentKind(), viewer::ImageKind);
  EXPECT_EQ(view_->CurrentFile(), "D:\\pic.bmp");
}

}  // namespace
