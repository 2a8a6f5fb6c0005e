#pragma once

#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/HtmlUtils.h"
#include "layout/SectionList.h"
#include "parser/HtmlBuilder.h"
#include "platform/Bitmap.h"
#include "platform/CodePage.h"
#include "platform/Color.h"
#include "platform/ui/Input.h"
#include "platform/ui/Messages.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/WidgetControls.h"
#include "viewer/PaintPanel.h"
#include "viewer/ScrollBar32.h"

namespace viewer {

enum THTMLBorderStyle { htFocused, htNone, htSingle };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The kinds of document the viewer shows.
constexpr uint8_t HtmlKind = 0;
constexpr uint8_t TextKind = 1;  // produced by no operation of the viewer
constexpr uint8_t ImageKind = 2;

// The viewer's private messages.
constexpr int kFormSubmitMessage = platform::WM_USER + 100;
constexpr int kAutoScrollMessage = platform::WM_USER + 102;

// One place of the history.
struct PositionObj {
  int SavedPos = 0;
  uint8_t Kind = HtmlKind;
};

// What OnRightClick receives.
struct TRightClickParameters {
  std::string ClickUrl;
  std::string ClickTarget;
  layout::TImageObj* ClickedImage = nullptr;
  int ClickX = 0;
  int ClickY = 0;
};

class ThtmlView;

// Event types; the sender always comes first.
using TNotifyEvent = std::function<void(ThtmlView* Sender)>;
using THotSpotEvent = std::function<void(ThtmlView* Sender, const std::string& SRC)>;
using THotSpotClickEvent =
    std::function<void(ThtmlView* Sender, const std::string& SRC, bool& Handled)>;
using TGetImageEvent = std::function<void(ThtmlView* Sender, const std::string& SRC,
                                          platform::TMemoryStream*& Stream)>;
using TScriptEvent =
    std::function<void(ThtmlView* Sender, const std::string& Language, const std::string& Script)>;
using TFormSubmitEvent =
    std::function<void(ThtmlView* Sender, const std::string& Action, const std::string& Target,
                       const std::string& EncType, const std::string& Method,
                       const std::vector<std::string>& Results)>;
using TMouseEvent = std::function<void(ThtmlView* Sender, platform::TMouseButton Button,
                                       platform::TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent =
    std::function<void(ThtmlView* Sender, platform::TShiftState Shift, int X, int Y)>;
using TProcessingEvent = std::function<void(ThtmlView* Sender, bool ProcessingOn)>;
using TIncludeType =
    std::function<void(ThtmlView* Sender, const std::string& Command,
                       const std::vector<std::string>& Params, const char*& Buffer, int& BuffSize)>;
using TSoundType =
    std::function<void(ThtmlView* Sender, const std::string& SRC, int Loop, bool Terminate)>;
using TMetaType = std::function<void(ThtmlView* Sender, const std::string& HttpEq,
                                     const std::string& Name, const std::string& Content)>;
using TMetaRefreshType = std::function<void(ThtmlView* Sender, int Delay, const std::string& URL)>;
using TImageClickEvent =
    std::function<void(ThtmlView* Sender, layout::TImageObj* Obj, platform::TMouseButton Button,
                       platform::TShiftState Shift, int X, int Y)>;
using TImageOverEvent = std::function<void(ThtmlView* Sender, layout::TImageObj* Obj,
                                           platform::TShiftState Shift, int X, int Y)>;
using TObjectClickEvent = std::function<void(ThtmlView* Sender, layout::TFormControlObj* Obj,
                                             const std::string& OnClick)>;
// Keys as the framework gives them: a key code (Qt's key numbers) the
// handler may change or clear (0: nothing more happens), and for typed
// characters the ANSI byte.
using TKeyEvent = std::function<void(ThtmlView* Sender, int& Key, platform::TShiftState Shift)>;
using TKeyPressEvent = std::function<void(ThtmlView* Sender, char& Key)>;
using TRightClickEvent =
    std::function<void(ThtmlView* Sender, const TRightClickParameters& Parameters)>;

// The HTML viewer: owns one document, loads local pages (or one picture)
// into it, lays it out for its width, paints, scrolls, follows links,
// records a history and reports what the user points at and clicks.
class ThtmlView : public QWidget {
 public:
  explicit ThtmlView(QWidget* parent = nullptr);
  ~ThtmlView() override;

  // ---- Loading and navigation
  // Loads and shows an HTML file (a Windows path); "#name" scrolls to that
  // anchor. A missing file raises EInOutError "Can't locate file: " + name.
  void LoadFromFile(const std::string& name);
  // Shows one picture as the whole document.
  void ShowImageFile(const std::string& name);
  // An empty page; the current file stays.
  virtual void ClearDocument();
  bool ScrollToAnchor(const std::string& name);
  int SavedPosition();
  void SetSavedPosition(int value);
  // A reference as a full Windows path, against the server root, the base
  // and the current file.
  virtual std::string FullFileName(const std::string& reference);
  // Follows the link in LinkURL (the host's OnHotSpotClick first).
  virtual void FollowLink();
  // Where a link of the page shown leads when it is followed: an anchor of
  // this page ("#name"), a page or a picture (a full file name, with the
  // anchor after "#" apart), or nothing the viewer shows.
  struct TLinkDestination {
    enum TKind { ToAnchor, ToPage, ToPicture, ToNothing };
    TKind Kind = ToNothing;
    std::string File;
    std::string Anchor;  // without "#"; empty for none
  };
  TLinkDestination LinkDestination(const std::string& url);
  // Asks OnHotSpotClick whether the host handled the link in LinkURL.
  virtual bool AskLinkHandled();
  // Moves through the history (newer places have lower indexes); nothing
  // while the history is off or at its end. Beyond the Part's interface,
  // for hosts that keep a history.
  void GoBack();
  void GoForward();
  // The selection as text in the page's code page; empty when none.
  std::string SelectedText();
  // The selection, as Unicode, on the system clipboard.
  void CopyToClipboard();
  void SelectAll();

  // ---- Layout, scrolling, painting
  void LayoutDocument();
  void ArrangeScrollBars();
  void Reformat();
  void ScrollToY(int y);
  void SetScrollTop(int y);
  virtual void PaintDocument(TPaintPanel& panel);
  void DrawBorder();
  void HScrollChanged(platform::TScrollCode code, int& position);
  void VScroll(platform::TScrollCode code);

  // ---- Mouse
  virtual void PanelMouseDown(platform::TMouseButton button, platform::TShiftState shift, int x,
                              int y);
  virtual void PanelMouseMove(platform::TShiftState shift, int x, int y);
  virtual void PanelMouseUp(platform::TMouseButton button, platform::TShiftState shift, int x,
                            int y);
  void SelectWordAt(int x, int y);
  void ExtendSelection(int x, int y);
  void AutoScroll();
  // One step of the automatic scrolling with the mouse at (x, y), viewer
  // pixels: 16 pixels up or down, 128 when the mouse is more than 15
  // pixels outside.
  void AutoScrollStep(int x, int y);
  // What LinkAt finds at a panel point: a link, or a form image control.
  struct TLinkHit {
    std::string Url;
    std::string Target;
    layout::TFormControlObj* FormControl = nullptr;
  };
  std::optional<TLinkHit> LinkAt(int x, int y);

  // ---- Hooks the document calls
  void BackgroundChanged(layout::TSectionList& document);
  void ShowFormControl(layout::TFormControlObj* control);
  void QueueFormSubmit(const std::string& action, const std::string& target,
                       const std::string& encType, const std::string& method,
                       std::vector<std::string> results);
  void HandleMeta(const std::string& httpEq, const std::string& name, const std::string& content);

  // ---- Published properties
  bool ViewImages() const { return document_->ShowImages; }
  void SetViewImages(bool value);
  platform::TColor DefBackground() const { return defBackground_; }
  void SetDefBackground(platform::TColor value);
  THTMLBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(THTMLBorderStyle value);
  int HistoryMaxCount() const { return historyMaxCount_; }
  void SetHistoryMaxCount(int value);
  const std::string& DefFontName() const { return defFontName_; }
  void SetDefFontName(const std::string& value);
  const std::string& DefPreFontName() const { return defPreFontName_; }
  void SetDefPreFontName(const std::string& value);
  int DefFontSize() const { return defFontSize_; }
  void SetDefFontSize(int value);
  platform::TColor DefFontColor() const { return defFontColor_; }
  void SetDefFontColor(platform::TColor value);
  platform::TColor DefHotSpotColor() const { return defHotSpotColor_; }
  void SetDefHotSpotColor(platform::TColor value);
  int ImageCacheCount() const { return imageCacheCount_; }
  void SetImageCacheCount(int value);
  bool NoSelect() const { return noSelect_; }
  void SetNoSelect(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  uint8_t CharSet() const { return charSet_; }
  void SetCharSet(uint8_t value);
  int MarginHeight() const { return marginHeight_; }
  void SetMarginHeight(int value);
  int MarginWidth() const { return marginWidth_; }
  void SetMarginWidth(int value);
  const std::string& ServerRoot() const { return serverRoot_; }
  void SetServerRoot(const std::string& value);
  // The viewer's cursor number (the text cursor at creation).
  int CursorId() const { return cursorId_; }
  void SetCursorId(int id);

  // ---- Published events
  THotSpotEvent OnHotSpotCovered;
  THotSpotClickEvent OnHotSpotClick;
  TGetImageEvent OnImageRequest() const { return onImageRequest_; }
  void SetOnImageRequest(TGetImageEvent handler);
  TScriptEvent OnScript;
  TFormSubmitEvent OnFormSubmit() const { return onFormSubmit_; }
  void SetOnFormSubmit(TFormSubmitEvent handler);
  TNotifyEvent OnHistoryChange;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseEvent OnMouseDown;
  TProcessingEvent OnProcessing;
  TIncludeType OnInclude;
  TSoundType OnSoundRequest;
  TMetaType OnMeta;
  TMetaRefreshType OnMetaRefresh;
  TImageClickEvent OnImageClick;
  TImageOverEvent OnImageOver;
  TObjectClickEvent OnObjectClick() const { return onObjectClick_; }
  void SetOnObjectClick(TObjectClickEvent handler);
  TRightClickEvent OnRightClick;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;

  // ---- State, read by hosts and tests
  layout::TSectionList& Document() { return *document_; }
  const parser::TAnchorList& AnchorNames() const { return anchorNames_; }
  TPaintPanel* PaintPanel = nullptr;
  T32ScrollBar* VBar = nullptr;
  platform::TScrollBar* HBar = nullptr;
  // The square between the two bars when both show, painted as the window
  // system paints it (the bars' own face), not left to what lies beneath.
  QWidget* ScrollCorner = nullptr;
  const std::string& Title() const { return title_; }
  const std::string& CurrentFile() const { return currentFile_; }
  uint8_t CurrentKind() const { return currentKind_; }
  const std::string& Base() const { return base_; }
  const std::string& BaseTarget() const { return baseTarget_; }
  const std::string& LinkURL() const { return linkUrl_; }
  const std::string& LinkTarget() const { return linkTarget_; }
  int VisitIndex() const { return visitIndex_; }
  const std::vector<std::string>& VisitedFiles() const { return visitedFiles_; }
  const std::vector<std::string>& VisitedTitles() const { return visitedTitles_; }
  const base::TFreeList<PositionObj>& VisitedPositions() const { return visitedPositions_; }
  bool Processing() const { return processing_; }
  bool Formatting() const { return formatting_; }
  int DocWidth() const { return docWidth_; }
  int DocHeight() const { return docHeight_; }
  int BarWidth() const { return barWidth_; }
  int Caret() const { return caret_; }
  int SelAnchor() const { return selAnchor_; }
  bool AutoScrolling() const { return autoScrolling_; }
  int RefreshDelay() const { return refreshDelay_; }
  const std::string& RefreshUrl() const { return refreshUrl_; }
  // How many full layouts ran (LayoutDocument calls).
  int LayoutCount() const { return layoutCount_; }
  // The canvas hit tests measure text with.
  platform::TCanvas& MeasureCanvas() { return *measureCanvas_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void LoadAndRecord(const std::string& name, uint8_t kind);
  void LoadDocument(const std::string& name, uint8_t kind);
  void FinishLoad(const parser::TParseResult& result);
  void RecordHistory(const std::string& oldFile, const std::string& oldTitle, int oldPosition,
                     uint8_t oldKind);
  void EmptyHistory();
  void GoToHistory(int index);
  void SetProcessing(bool state);
  // Runs the handling of a window-system event; an error is shown.
  void Handle(const std::function<void()>& handler);
  void HandleMessage(int message);
  void SizeChanged();
  void KeyDown(QKeyEvent& event);
  void Wheel(QWheelEvent& event);
  void RefreshAfterDefaultChange(bool relayout);
  void RelayoutKeepingPlace();
  // Both margins: 0 to 50, a new layout keeping the place shown.
  void SetMargin(int& margin, int value);
  void KeyScroll(int key);
  void KeepKeyboardFromPage();
  void StepAutoScroll();
  void ScrollPanel(int oldPosition, int newPosition);
  int LimitY(int y) const;
  int DocumentY(int panelY) const;
  int PointToPos(int x, int y, bool* insideText = nullptr);
  parser::TParseHooks ParseHooks();

  // The page's form controls stand on the paint panel. Declared before the
  // document, which frees its controls first.
  std::unique_ptr<platform::TWidgetControlParent> controlParent_;
  std::unique_ptr<layout::TSectionList> document_;
  parser::TAnchorList anchorNames_;
  platform::Bitmap measureBitmap_{1, 1};
  std::unique_ptr<platform::TCanvas> measureCanvas_;

  bool formatting_ = false;
  std::string title_, linkUrl_, linkTarget_, base_, baseTarget_, currentFile_;
  uint8_t currentKind_ = HtmlKind;
  std::string refreshUrl_;
  int refreshDelay_ = 0;
  int visitIndex_ = 0;
  int historyMaxCount_ = 0;
  std::vector<std::string> visitedFiles_, visitedTitles_;
  base::TFreeList<PositionObj> visitedPositions_;
  std::string defFontName_ = "Times New Roman", defPreFontName_ = "Courier New";
  platform::TColor defFontColor_ = platform::clWindowText;
  platform::TColor defHotSpotColor_ = 0x00FF0000;
  platform::TColor defBackground_ = platform::clBtnFace;
  int defFontSize_ = 12;
  bool processing_ = false;
  struct PendingSubmit {
    std::string Action, Target, EncType, Method;
    std::vector<std::string> Results;
  };
  // Submissions posted and not yet delivered, oldest first: each posted
  // message delivers one, so two quick submits both arrive.
  std::deque<PendingSubmit> pendingSubmits_;
  int lastWidth_ = 0;
  int imageCacheCount_ = 0;
  bool noSelect_ = false;
  TScrollStyle scrollBars_ = ssBoth;
  THTMLBorderStyle borderStyle_ = htFocused;
  int caret_ = 0;
  int barWidth_ = 0;
  base::TExtent docWidth_ = 0;
  base::TExtent docHeight_ = 0;
  bool autoScrolling_ = false, linkPending_ = false, dragging_ = false, linkFollowed_ = false;
  uint8_t charSet_ = platform::DEFAULT_CHARSET;
  int marginHeight_ = 5, marginWidth_ = 10;
  std::string serverRoot_;
  int selAnchor_ = -1;
  int cursorId_ = 0;
  int layoutCount_ = 0;

  TGetImageEvent onImageRequest_;
  TFormSubmitEvent onFormSubmit_;
  TObjectClickEvent onObjectClick_;

  // Steps the automatic scrolling while a drag holds the mouse outside.
  platform::TTimer autoScrollTimer_;
  // Steps the document's animated pictures while it has any.
  platform::TTimer animationTimer_;
  void AnimationTick();
  int64_t lastAutoStep_ = 0;
  int wheelRemainder_ = 0;
};

}  // namespace viewer
