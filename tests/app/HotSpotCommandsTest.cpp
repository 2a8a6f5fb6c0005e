// The links of the menu pages as commands: addresses, installers, keys.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "TestSupport.h"
#include "app/MainWindow.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"
#include "platform/ui/Application.h"
#include "platform/ui/Shell.h"

namespace {

namespace fs = std::filesystem;
using platform::CapturingMessageBox;

// Records what the launcher asks of the shell and starts nothing.
class RecordingShell : public platform::IShell {
 public:
  explicit RecordingShell(std::vector<std::string>& calls) : calls_(calls) {}
  bool OpenAddress(std::string_view address) override {
    calls_.push_back("open " + std::string(address));
    return true;
  }
  bool StartProgram(std::string_view file, std::string_view parameters,
                    std::string_view directory) override {
    calls_.push_back("start " + std::string(file) + " | " + std::string(parameters) + " | " +
                     std::string(directory));
    return true;
  }

 private:
  std::vector<std::string>& calls_;
};

class HotSpotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto box = std::make_unique<CapturingMessageBox>();
    box_ = box.get();
    platform::TApplication::Instance().SetMessageBox(std::move(box));
    platform::TApplication::Instance().SetTitle(app::ApplicationTitle());
    platform::SetShell(std::make_unique<RecordingShell>(calls_));
    platform::SetMediumRoot(medium_.Path());
    form_ = std::make_unique<app::TForm1>(app::BuiltInLayout());
  }
  void TearDown() override {
    form_.reset();
    platform::SetShell(nullptr);
    platform::TApplication::Instance().SetMessageBox(
        std::make_unique<platform::StderrMessageBox>());
  }

  testing_support::TempDir medium_;
  CapturingMessageBox* box_ = nullptr;
  std::vector<std::string> calls_;
  std::unique_ptr<app::TForm1> form_;
};

TEST_F(HotSpotTest, LinkCommands) {
  form_->ListBox1 = {"\\DIR1", "one.exe", "/a", "\\DIR2", "two.exe", "/s \"x y\""};
  form_->ListBox2 = {"KEY-ONE", platform::Utf8ToBytes("КЛЮЧ-2", 1251)};
  const struct {
    const char* src;
    const char* call;   // what the shell was asked, "" for nothing
    const char* error;  // the error raised, "" for none
    bool handled;
  } cases[] = {
      {"install2", "start two.exe | /s \"x y\" | \\DIR2", "", false},
      {"install1", "start one.exe | /a | \\DIR1", "", false},
      {"install 2", "start two.exe | /s \"x y\" | \\DIR2", "", false},
      {"install$2", "start two.exe | /s \"x y\" | \\DIR2", "", false},
      {"install0x2", "start two.exe | /s \"x y\" | \\DIR2", "", false},
      {"install+1", "start one.exe | /a | \\DIR1", "", false},
      {"install0", "", "List index out of bounds (-3)", false},
      {"install3", "", "List index out of bounds (6)", false},
      {"install-1", "", "List index out of bounds (-6)", false},
      {"install2147483647", "", "List index out of bounds (6442450938)", false},
      {"install", "", "'' is not a valid integer value", false},
      {"install2 ", "", "'2 ' is not a valid integer value", false},
      {"install2147483648", "", "'2147483648' is not a valid integer value", false},
      {"Install1", "", "", false},
      {"http://www.example.com/page.html", "open http://www.example.com/page.html", "", true},
      {"https://forum.example.com/", "open https://forum.example.com/", "", true},
      {"mailto:support@example.com", "open mailto:support@example.com", "", true},
      {"HTTP://www.example.com/", "", "", false},
      {"serial3", "", "List index out of bounds (2)", false},
      {"serial0", "", "List index out of bounds (-1)", false},
      {"serialx", "", "'x' is not a valid integer value", false},
      {"products.htm", "", "", false},
  };
  for (const auto& c : cases) {
    calls_.clear();
    bool handled = false;
    std::string error;
    try {
      form_->htmlView1HotSpotClick(form_->htmlView1, c.src, handled);
    } catch (const std::exception& e) {
      error = e.what();
    }
    EXPECT_EQ(calls_.empty() ? "" : calls_[0], c.call) << c.src;
    EXPECT_LE(calls_.size(), 1u) << c.src;
    EXPECT_EQ(error, c.error) << c.src;
    EXPECT_EQ(handled, c.handled) << c.src;
  }
  EXPECT_TRUE(box_->shown.empty());
}

TEST_F(HotSpotTest, AnInstallEntryMissingItsParametersStartsNothing) {
  form_->ListBox1 = {"\\DIR1", "one.exe", "", "\\DIR2", "two.exe"};
  bool handled = false;
  EXPECT_THROW(form_->htmlView1HotSpotClick(form_->htmlView1, "install2", handled),
               platform::EStringListError);
  EXPECT_TRUE(calls_.empty());
  // An empty parameter line is a line like any other.
  form_->htmlView1HotSpotClick(form_->htmlView1, "install1", handled);
  EXPECT_EQ(calls_, (std::vector<std::string>{"start one.exe |  | \\DIR1"}));
}

TEST_F(HotSpotTest, ASerialLinkCopiesTheKeyAndSaysSo) {
  const std::string key = platform::Utf8ToBytes("КЛЮЧ-2026", 1251);
  form_->ListBox2 = {"FIRST", key};
  bool handled = false;
  form_->htmlView1HotSpotClick(form_->htmlView1, "serial2", handled);
  EXPECT_FALSE(handled);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("КЛЮЧ-2026"));
  ASSERT_EQ(box_->shown.size(), 1u);
  EXPECT_EQ(box_->shown[0].caption, app::ApplicationTitle());
  EXPECT_EQ(box_->shown[0].text,
            platform::Utf8ToBytes("Серийный номер : КЛЮЧ-2026 занесен в буфер обмена", 1251));
  EXPECT_EQ(box_->shown[0].icon, platform::MessageIcon::None);
}

// A click on a page's link goes through the viewer: an address opens once
// and is not looked up as a page; a bad command shows its error box.
TEST_F(HotSpotTest, ClickedLinksReachTheCommandsThroughTheViewer) {
  medium_.Write("HTML/menu.htm",
                "<a href=\"http://www.example.com/faq.html\">web</a><br>"
                "<a href=\"install0\">bad</a>");
  form_->htmlView1->LoadFromFile("\\HTML\\menu.htm");
  viewer::ThtmlView& view = *form_->htmlView1;
  QImage image(view.PaintPanel->size(), QImage::Format_RGB32);
  QPainter painter(&image);
  view.PaintPanel->Paint(view.PaintPanel->rect(), painter);
  const auto click = [&](const char* text) {
    const int p = view.Document().FindText(0, text, true);
    int x = 0, y = 0;
    ASSERT_TRUE(view.Document().PosToPoint(view.MeasureCanvas(), p, x, y));
    const QPointF at(view.MarginWidth() + x + 4, y + 4);
    QMouseEvent press(QEvent::MouseButtonPress, at, view.PaintPanel->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view.PaintPanel->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.PaintPanel, &press);
    QCoreApplication::sendEvent(view.PaintPanel, &release);
  };
  click("web");
  EXPECT_EQ(calls_, (std::vector<std::string>{"open http://www.example.com/faq.html"}));
  EXPECT_TRUE(box_->shown.empty()) << box_->shown[0].text;
  click("bad");
  ASSERT_EQ(box_->shown.size(), 1u);
  EXPECT_EQ(box_->shown[0].text, "List index out of bounds (-3).");
  EXPECT_EQ(box_->shown[0].icon, platform::MessageIcon::Error);
  EXPECT_EQ(view.CurrentFile(), "D:\\HTML\\menu.htm");
}

// Processes whose parent is this one (running or left as zombies).
int ChildProcesses() {
  int children = 0;
  const std::string self = std::to_string(getpid());
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (name) state ppid ...: the name may hold blanks, so read after ')'.
    std::istringstream rest(line.substr(line.rfind(')') + 1));
    std::string state, parent;
    rest >> state >> parent;
    if (parent == self) ++children;
  }
  return children;
}

// The real shell: the demo installer that writes a file, started from an
// install entry with two quoted parameters; what it wrote shows its folder
// and that the parameters arrived as they were written, with no shell
// reading `;`, `$(...)`, backquotes or quotes on the way.
TEST(HotSpotProcess, AnInstallerStartsInItsFolderWithItsParametersUnchanged) {
  testing_support::TempDir medium, temporary;
  const fs::path script = testing_support::SourceDir() / "demo/SETUP/write-file.sh";
  fs::create_directories(medium.Path() / "SETUP");
  fs::copy_file(script, medium.Path() / "SETUP/write-file.sh");
  fs::permissions(medium.Path() / "SETUP/write-file.sh", fs::perms::owner_all);
  medium.Write("HTML/install.dat",
               "\\SETUP\r\nwrite-file.sh\r\n"
               "\"log file.txt\" \"a;b $(touch pwned) `touch pwned` \\\"q\\\"\"\r\n");
  platform::SetMediumRoot(medium.Path());
  platform::SetShell(nullptr);
  setenv("TMPDIR", temporary.Path().c_str(), 1);

  app::TForm1 form(app::BuiltInLayout());
  form.ListBox1 = platform::LoadLinesFromFile("\\HTML\\install.dat");
  bool handled = false;
  form.htmlView1HotSpotClick(form.htmlView1, "install1", handled);

  const fs::path log = temporary.Path() / "log file.txt";
  for (int i = 0; i < 200 && !fs::exists(log); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::ifstream in(log);
  const std::string written{std::istreambuf_iterator<char>(in), {}};
  unsetenv("TMPDIR");
  EXPECT_NE(written.find("folder: " + (medium.Path() / "SETUP").string() + "\n"),
            std::string::npos)
      << written;
  EXPECT_NE(written.find("argument: [log file.txt]\nargument: [a;b $(touch pwned) `touch pwned` "
                         "\"q\"]\n"),
            std::string::npos)
      << written;
  EXPECT_FALSE(fs::exists(medium.Path() / "SETUP/pwned"));
  EXPECT_FALSE(fs::exists(temporary.Path() / "pwned"));
  EXPECT_EQ(ChildProcesses(), 0) << "the installer stays a child of the launcher";
}

}  // namespace
