#include "app/MainWindow.h"

#include <QCoreApplication>

#include "platform/CodePage.h"
#include "platform/Stream.h"
#include "platform/TextLines.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursors.h"

namespace app {

namespace {

struct Place {
  int left, top, width, height;
};

constexpr std::array<Place, 6> kButtonPlaces = {{
    {10, 60, 201, 39},
    {220, 60, 203, 39},
    {432, 60, 202, 39},
    {10, 437, 201, 39},
    {220, 437, 203, 39},
    {432, 437, 202, 39},
}};
constexpr Place kTitlePlace{46, 8, 553, 47};
constexpr Place kViewerPlace{16, 112, 611, 314};
constexpr int kHighlightedPicture = 0;
constexpr int kNormalPicture = 1;

}  // namespace

std::string ApplicationTitle() {
  return platform::Utf8ToBytes("Мастер установки (by Quillmoor)", 1251);
}

TForm1::TForm1(const StoredLayout& layout) {
  SetCaption(ApplicationTitle());
  SetClientSize(kClientWidth, kClientHeight);
  QPalette face = palette();
  face.setColor(QPalette::Window, QColor(192, 192, 192));  // button face
  setPalette(face);

  // SkinForm1: picture first, then the mask, as the layout stores them.
  SkinForm1 = new skinform::TSkinForm(this);
  SkinForm1->SetPicture(layout.skin);
  platform::TMemoryStream mask(layout.mask2);
  SkinForm1->ReadMask(mask);
  SkinForm1->OnMouseMove = [this](int, int) { SkinForm1MouseMove(); };

  for (int k = 1; k <= kButtonCount; ++k) {
    const Place& p = kButtonPlaces[k - 1];
    auto* button = new platform::TImage(this);
    button->SetBounds(p.left, p.top, p.width, p.height);
    button->SetCursorId(platform::crHandPoint);
    button->SetAutoSize(true);
    button->SetPicture(layout.normal[k - 1]);
    button->OnClick = [this, k] {
      platform::TApplication::Instance().RunHandler([&] { ImageClick(k); });
    };
    button->OnMouseMove = [this, k](int, int) { ImageMouseMove(k); };
    Buttons[k - 1] = button;
  }

  Image7 = new platform::TImage(this);
  Image7->SetBounds(kTitlePlace.left, kTitlePlace.top, kTitlePlace.width, kTitlePlace.height);
  Image7->SetAutoSize(true);
  Image7->OnMouseMove = [this](int, int) { SkinForm1MouseMove(); };

  htmlView1 = new viewer::ThtmlView(this);
  htmlView1->setGeometry(kViewerPlace.left, kViewerPlace.top, kViewerPlace.width,
                         kViewerPlace.height);
  htmlView1->SetCursorId(platform::crDocumentText);
  htmlView1->SetViewImages(true);
  htmlView1->SetDefBackground(platform::clWhite);
  htmlView1->SetBorderStyle(viewer::htSingle);
  htmlView1->SetHistoryMaxCount(0);
  htmlView1->SetDefFontName("Times New Roman");
  htmlView1->SetDefPreFontName("Courier New");
  htmlView1->SetNoSelect(false);
  htmlView1->SetCharSet(platform::RUSSIAN_CHARSET);
  htmlView1->OnMouseMove = [this](viewer::ThtmlView*, platform::TShiftState, int, int) {
    SkinForm1MouseMove();
  };
  htmlView1->OnHotSpotClick = [this](viewer::ThtmlView* sender, const std::string& src,
                                     bool& handled) { htmlView1HotSpotClick(sender, src, handled); };
  htmlView1->SetOnFormSubmit([this](viewer::ThtmlView*, const std::string&, const std::string&,
                                    const std::string&, const std::string&,
                                    const std::vector<std::string>& results) {
    htmlView1FormSubmit(results);
  });
  htmlView1->setFocus();

  for (int k = 1; k <= kButtonCount; ++k) {
    const Place& p = kButtonPlaces[k - 1];
    auto list = std::make_unique<platform::TImageList>(p.width, p.height);
    list->Add(layout.highlighted[k - 1]);
    list->Add(layout.normal[k - 1]);
    ImageLists.push_back(std::move(list));
  }

  OnActivate = [this] { OnActivated(); };
}

void TForm1::OnActivated() {
  if (activationErrorShown_) {
    activationErrorShown_ = false;
    return;
  }
  platform::TApplication& application = platform::TApplication::Instance();
  try {
    FormActivate();
  } catch (const std::exception& error) {
    // Closing a modal box gives the focus back and activates the window
    // again; only a box that takes the focus brings that activation.
    activationErrorShown_ = application.MessageBox().TakesFocus();
    application.ShowException(error);
  }
}

void TForm1::FormActivate() {
  Image7->LoadPictureFromFile(kTitlePicture);
  htmlView1->LoadFromFile(kButtonPages[0]);
  ListBox1 = platform::LoadLinesFromFile(kInstallFile);
  ListBox2 = platform::LoadLinesFromFile(kSerialFile);
}

void TForm1::ShowPicture(int k, int index) {
  platform::TImage* button = Buttons[k - 1];
  ImageLists[k - 1]->Draw(button->PictureForEditing(), 0, 0, index);
  button->NotifyPictureChanged();
}

void TForm1::ImageMouseMove(int k) {
  const int first = k <= 3 ? 1 : 4;  // the row group of k
  if (!flags_[k - 1]) {
    ShowPicture(k, kHighlightedPicture);
    flags_[k - 1] = true;
  }
  for (int j = first; j < first + 3; ++j) {
    if (j == k || !flags_[j - 1]) continue;
    ShowPicture(j, kNormalPicture);
    flags_[j - 1] = false;
  }
}

void TForm1::SkinForm1MouseMove() {
  for (int k = 1; k <= kButtonCount; ++k) {
    if (!flags_[k - 1]) continue;
    ShowPicture(k, kNormalPicture);
    flags_[k - 1] = false;
  }
}

void TForm1::ImageClick(int k) {
  if (k >= 1 && k <= 5) {
    htmlView1->LoadFromFile(kButtonPages[k - 1]);
    return;
  }
  // Button 6: the window vanishes at once, then closing the main form ends
  // the program (a hidden window's close does not count as the last window
  // closing, so the application is told to quit).
  hide();
  close();
  QCoreApplication::quit();
}

void TForm1::htmlView1FormSubmit(const std::vector<std::string>& Results) {
  std::string text;
  for (const std::string& result : Results) {
    if (!text.empty()) text += '\n';
    text += result;
  }
  // This box is ours, not one of the boxes whose closing shows the start
  // page again: what the person typed stays on the page behind it.
  const ReturnKeepsPage keepPage(*this);
  platform::TApplication& application = platform::TApplication::Instance();
  application.MessageBox().Show(application.Title(), text, platform::MessageIcon::None);
}

}  // namespace app
