#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/ImageList.h"
#include "platform/ui/Form.h"
#include "platform/ui/PictureControl.h"
#include "skinform/SkinForm.h"
#include "viewer/HtmlView.h"

namespace app {

// The application title and window caption, as ANSI (Windows-1251) bytes.
std::string ApplicationTitle();

// The content files, relative to the root of the current drive.
inline constexpr const char* kTitlePicture = "\\HTML\\title.bmp";
inline constexpr const char* kInstallFile = "\\HTML\\install.dat";
inline constexpr const char* kSerialFile = "\\HTML\\serial.dat";
inline constexpr std::array<const char*, 5> kButtonPages = {
    "\\HTML\\soft.htm", "\\HTML\\internet.htm", "\\HTML\\tutor.htm", "\\HTML\\products.htm",
    "\\HTML\\help.htm"};

// The stored layout the window is made from: skin, mask and button pictures.
struct StoredLayout {
  platform::Bitmap skin;
  std::vector<uint8_t> mask2;  // the "Mask2" value
  std::array<platform::Bitmap, 6> normal;
  std::array<platform::Bitmap, 6> highlighted;
};

// The confirmation of a key copied to the clipboard, ANSI bytes.
std::string SerialMessage(const std::string& key);

// The layout built into the program.
StoredLayout BuiltInLayout();

// The launcher's only window.
class TForm1 : public platform::TForm {
 public:
  static constexpr int kClientWidth = 647;
  static constexpr int kClientHeight = 486;
  static constexpr int kButtonCount = 6;

  explicit TForm1(const StoredLayout& layout);

  // Loads the content: title picture, start page, both command files, in
  // that order; a failing step raises and skips the steps after it.
  void FormActivate();

  // Hover logic of button k (1..6) and the reset of all six.
  void ImageMouseMove(int k);
  void SkinForm1MouseMove();
  // Clicks of button k (1..6).
  void ImageClick(int k);
  // The viewer's link click: "http..." and "mailto..." open with the shell,
  // "installN" starts entry N of the install list, "serialN" copies key N
  // to the clipboard. Errors raise (conversion, list index).
  void htmlView1HotSpotClick(viewer::ThtmlView* Sender, const std::string& SRC, bool& Handled);
  // A submitted form of a page: its name=value strings in a message box,
  // one a line (the demo medium's registration page shows what it sends).
  void htmlView1FormSubmit(const std::vector<std::string>& Results);

  bool Highlighted(int k) const { return flags_.at(k - 1); }

  // Components, in creation (and stacking) order.
  skinform::TSkinForm* SkinForm1 = nullptr;
  std::array<platform::TImage*, kButtonCount> Buttons{};  // Image1 .. Image6
  platform::TImage* Image7 = nullptr;                     // title picture
  viewer::ThtmlView* htmlView1 = nullptr;
  std::vector<std::string> ListBox1;  // lines of the install command file
  std::vector<std::string> ListBox2;  // lines of the key file
  std::vector<std::unique_ptr<platform::TImageList>> ImageLists;  // ImageList1 .. 6

 private:
  void ShowPicture(int k, int index);
  void OnActivated();

  std::array<bool, kButtonCount> flags_{};
  // Set while the error box of a failed activation is up: closing it
  // activates the window again, which must not show the same error forever.
  bool activationErrorShown_ = false;
};

}  // namespace app
