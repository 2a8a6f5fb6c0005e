#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "images/ImageCache.h"
#include "images/ImageLoad.h"
#include "layout/Cell.h"
#include "layout/Fonts.h"
#include "layout/FormControlObj.h"
#include "platform/Bitmap.h"
#include "platform/Controls.h"
#include "platform/Stream.h"

namespace layout {

// The animation timer of a document: 50 ms, off while laying out and
// drawing, on while animated images exist. The viewer runs the clock and
// hears of every change.
struct TAnimationTimer {
  static constexpr int kInterval = 50;
  bool Enabled = false;
  int Interval = kInterval;
  std::function<void(bool enabled)> OnChange;
  void SetEnabled(bool on) {
    if (on == Enabled) return;
    Enabled = on;
    if (OnChange) OnChange(on);
  }
};

// The document: its body and the state every section shares (default
// fonts and colours, selection, scroll offset, background, and the lists
// of forms, maps, controls and animated images).
class TSectionList : public TCell, public TFontDefaults {
 public:
  static constexpr size_t kMaxFaceName = 33;

  TSectionList();
  ~TSectionList() override;

  bool ShowImages = true;
  // Counts the document's layouts: what cells measured in one layout holds
  // until the next. Measuring is above 0 while a table sizes a cell.
  uint64_t LayoutGeneration = 0;
  int Measuring = 0;
  TExtent YOffset = 0;
  // Counts the pages the document held: code that calls out (a control's
  // click hook may load another page) sees whether its page is still there.
  uint64_t PageGeneration = 0;
  int SelStart = 0;
  int SelEnd = 0;
  platform::TColor Background = platform::clBtnFace;
  std::function<void(TSectionList&)> OnBackgroundChange;
  std::string BackgroundName;
  bool BackgroundFetched = false;
  std::shared_ptr<const platform::Bitmap> BackgroundBitmap;
  // Receives the text of CopySelection while a copy runs.
  std::string* ClipBuffer = nullptr;
  TAnimationTimer AnimationTimer;
  // The viewer's hooks. ExpandFileName turns a picture name into a full
  // file name. OnImageRequest is the host's picture source: the stream it
  // leaves (the host keeps it) holds the picture's bytes, none for no
  // picture. OnShowFormControl scrolls a focused form control into view;
  // OnFormSubmit receives a submitted form; OnObjectClick a control's
  // ONCLICK text.
  std::function<std::string(const std::string& name)> ExpandFileName;
  std::function<void(const std::string& src, platform::TMemoryStream*& stream)> OnImageRequest;
  std::function<void(TFormControlObj* control)> OnShowFormControl;
  std::function<void(const std::string& action, const std::string& target,
                     const std::string& encType, const std::string& method,
                     std::vector<std::string> results)>
      OnFormSubmit;
  std::function<void(TFormControlObj* control, const std::string& onClick)> OnObjectClick;
  // Shows a processing error (a table with too many columns) to the user.
  std::function<void(const std::string&)> OnProcessError;

  // Forms and maps belong to the document; controls and animated images
  // to their sections.
  base::TFreeList<TFormBase> Forms;
  base::TFreeList<TMapItem> Maps;
  std::vector<TFormControlObj*> Controls;
  // What form controls stand on: the viewer's paint panel; controls that
  // keep only their state while the host gives none.
  platform::TControlParent& ControlParent() { return *controlParent_; }
  void SetControlParent(platform::TControlParent* parent);
  std::vector<images::TGIFImage*> AnimatedImages;
  // What the copies of cached animations that this page's pictures keep
  // hold, counted against the picture budget.
  int64_t CopiedPictureBytes = 0;
  // Sections the layout took out of their cells (a table with too many
  // columns), kept until the document is cleared: anchors may name them.
  base::TFreeList<TSectionBase> Removed;
  // Pictures whose request answered "pending": name -> who waits for it.
  std::vector<std::pair<std::string, void*>> MissingImages;

  TExtent Layout(platform::TCanvas& canvas, TExtent y, TExtent width, int& position,
                 TExtent& maxWidth) override;
  TExtent Draw(platform::TCanvas& canvas, const platform::TRect& clip, TExtent clipWidth, TExtent x,
               TExtent y) override;

  void SetYOffset(TExtent y);
  void SetDefaults(const std::string& fontName, const std::string& fixedFontName,
                   platform::TColor background, platform::TColor hotSpotColor,
                   platform::TColor fontColor, int baseSize);
  void SetBackground(platform::TColor color);
  void SetBackgroundImage(const std::string& name);
  // The background picture, fetched on the first call after a new name
  // while ShowImages is set; none when there is none or it cannot be read.
  const platform::Bitmap* GetBackgroundBitmap();
  // A picture by name, through the image cache; a new one from the host's
  // OnImageRequest when it is installed, else from the file. `mode` asks
  // for a mask and says which was made; `pending` says the host will send
  // the picture later; a plain bitmap comes with its entry's mask.
  images::TPicture AcquireImage(const std::string& name, images::TTransparency& mode, bool& pending,
                                bool& fromCache, images::BitmapPtr& mask);
  // Whether the host answered "later" for the picture already.
  bool IsMissing(const std::string& name) const;
  TExtent SectionTop(int index) const;
  // Hides the shown controls the last draw did not place, but for the one
  // with the focus, which waits parked. A draw places the controls in its
  // clip and calls it, so only the controls in sight have windows.
  void PlaceControls();
  // Shows a control's window where it stands; ParkControl shows it far to
  // the left, out of sight. The document keeps the shown ones in a list of
  // their own, so that scrolling a page of thousands of controls visits
  // only those.
  void ShowControl(TFormControlObj* control);
  void ParkControl(TFormControlObj* control);
  void Clear();

 private:
  std::vector<TFormControlObj*> shownControls_;
  // Picture files of this page that could not be read or decoded (by cache
  // key): a page naming one missing picture many times looks for it once.
  std::unordered_set<std::string> unreadablePictures_;
  std::unique_ptr<platform::TControlParent> stateOnlyParent_;
  platform::TControlParent* controlParent_;
};

}  // namespace layout
