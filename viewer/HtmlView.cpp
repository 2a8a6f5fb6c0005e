// The viewer's creation, its published properties and the window events
// that are not mouse input: painting the border, focus, size and keys.
#include "viewer/HtmlView.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "images/GifImage.h"
#include "images/ImageCache.h"
#include "images/ImageModule.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/QtBridge.h"

namespace viewer {

namespace {

constexpr int kVSmallStep = 16;
constexpr int kHSmallStep = 15;

QColor ToQColor(platform::TColor color) {
  const platform::TColor rgb = platform::ColorToRGB(color);
  return QColor(platform::GetRValue(rgb), platform::GetGValue(rgb), platform::GetBValue(rgb));
}

// Applies `change` with Processing on and the hourglass up, both restored
// also when it raises.
template <typename Change>
void UnderHourglass(const std::function<void(bool)>& setProcessing, Change change) {
  const int saved = platform::ScreenCursor();
  platform::SetScreenCursor(platform::crHourGlass);
  setProcessing(true);
  try {
    change();
  } catch (...) {
    platform::SetScreenCursor(saved);
    setProcessing(false);
    throw;
  }
  platform::SetScreenCursor(saved);
  setProcessing(false);
}

}  // namespace

ThtmlView::ThtmlView(QWidget* parent) : QWidget(parent) {
  // The picture cache, palette and placeholders live while any viewer does.
  images::StartImageModule();
  resize(150, 150);
  // Not a tab stop: the viewer takes the focus when it is clicked.
  setFocusPolicy(Qt::ClickFocus);
  measureCanvas_ = std::make_unique<platform::TCanvas>(measureBitmap_);

  // The border is the viewer's own painting; the panel covers its inside.
  PaintPanel = new TPaintPanel(this);
  PaintPanel->move(1, 1);
  SetCursorId(platform::crDocumentText);
  PaintPanel->OnPaint = [this](TPaintPanel& panel) { PaintDocument(panel); };
  // Input arrives from the window system: an error it raises (a link to a
  // missing page) ends the handling and is shown, and the program goes on.
  const auto point = [](const QMouseEvent& event) { return event.position().toPoint(); };
  PaintPanel->OnMouseDown = [this, point](QMouseEvent& event) {
    Handle([&] {
      PanelMouseDown(platform::ButtonOf(event), platform::ShiftStateOf(event), point(event).x(),
                     point(event).y());
    });
  };
  PaintPanel->OnMouseMove = [this, point](QMouseEvent& event) {
    Handle([&] {
      PanelMouseMove(platform::ShiftStateOf(event), point(event).x(), point(event).y());
    });
  };
  PaintPanel->OnMouseUp = [this, point](QMouseEvent& event) {
    Handle([&] {
      PanelMouseUp(platform::ButtonOf(event), platform::ShiftStateOf(event), point(event).x(),
                   point(event).y());
    });
  };
  PaintPanel->OnDoubleClick = [this, point](QMouseEvent& event) {
    if (event.buttons() & Qt::LeftButton)
      Handle([&] { SelectWordAt(point(event).x(), point(event).y()); });
  };

  VBar = new T32ScrollBar(this);
  VBar->SetSmallChange(kVSmallStep);
  VBar->hide();
  VBar->SetTabStop(false);
  barWidth_ = VBar->sizeHint().width();
  VBar->OnVScroll = [this](platform::TScrollCode code) { Handle([&] { VScroll(code); }); };
  HBar = new platform::TScrollBar(Qt::Horizontal, this);
  HBar->SetSmallChange(kHSmallStep);
  HBar->OnScroll = [this](platform::TScrollCode code, int& position) {
    Handle([&] { HScrollChanged(code, position); });
  };
  HBar->hide();
  HBar->SetTabStop(false);
  ScrollCorner = new QWidget(this);
  ScrollCorner->setAutoFillBackground(true);
  ScrollCorner->setBackgroundRole(QPalette::Window);
  ScrollCorner->setCursor(Qt::ArrowCursor);
  ScrollCorner->hide();
  scrollBars_ = ssBoth;

  document_ = std::make_unique<layout::TSectionList>();
  controlParent_ = std::make_unique<platform::TWidgetControlParent>(PaintPanel);
  document_->SetControlParent(controlParent_.get());
  document_->OnShowFormControl = [this](layout::TFormControlObj* control) {
    ShowFormControl(control);
  };
  document_->OnBackgroundChange = [this](layout::TSectionList& doc) { BackgroundChanged(doc); };
  document_->ExpandFileName = [this](const std::string& name) { return FullFileName(name); };
  // A section the layout had to take out (a table with too many columns)
  // is reported in an error box; the rest of the page is shown.
  document_->OnProcessError = [](const std::string& message) {
    platform::TApplication& application = platform::TApplication::Instance();
    application.MessageBox().Show(application.Title(), message, platform::MessageIcon::Error);
  };

  animationTimer_.SetInterval(layout::TAnimationTimer::kInterval);
  animationTimer_.OnTimer = [this] { Handle([&] { AnimationTick(); }); };
  document_->AnimationTimer.OnChange = [this](bool on) { animationTimer_.SetEnabled(on); };

  autoScrollTimer_.SetInterval(10);
  autoScrollTimer_.OnTimer = [this] { Handle([&] { StepAutoScroll(); }); };

  SetDefBackground(platform::clBtnFace);
  SetDefFontColor(platform::clWindowText);
  SetDefHotSpotColor(0x00FF0000);
  SetDefFontSize(12);
  SetDefFontName("Times New Roman");
  SetDefPreFontName("Courier New");
  SetImageCacheCount(5);
}

ThtmlView::~ThtmlView() {
  // The document's hooks point back here; it goes first.
  document_.reset();
  images::StopImageModule();
}

void ThtmlView::AnimationTick() {
  // Only pictures the last paint showed move on; each asks for its own
  // rectangle to be painted again.
  for (images::TGIFImage* image : document_->AnimatedImages)
    if (image->Shown)
      image->Step([this](const platform::TRect& r) {
        PaintPanel->update(r.left, r.top, r.right - r.left, r.bottom - r.top);
      });
  animationTimer_.SetInterval(layout::TAnimationTimer::kInterval);
}

void ThtmlView::Handle(const std::function<void()>& handler) {
  platform::TApplication::Instance().RunHandler(handler);
}

void ThtmlView::SetProcessing(bool state) {
  if (state == processing_) return;
  processing_ = state;
  if (OnProcessing) OnProcessing(this, state);
}

// ---- Properties

void ThtmlView::SetCursorId(int id) {
  cursorId_ = id;
  setCursor(platform::CursorFor(id));
  PaintPanel->SetCursorId(id);
}

// A new layout that keeps the place shown, then a repaint.
void ThtmlView::RelayoutKeepingPlace() {
  const int position = SavedPosition();
  LayoutDocument();
  SetSavedPosition(position);
  PaintPanel->update();
}

void ThtmlView::SetViewImages(bool value) {
  if (value == document_->ShowImages || processing_) return;
  UnderHourglass([this](bool on) { SetProcessing(on); }, [&] {
    document_->ShowImages = value;
    if (document_->Count() > 0) {
      document_->GetBackgroundBitmap();
      RelayoutKeepingPlace();
    }
  });
}

void ThtmlView::SetDefBackground(platform::TColor value) {
  if (processing_) return;
  defBackground_ = value;
  document_->Background = value;  // directly: no hook call
  PaintPanel->SetColor(value);
  update();
  PaintPanel->update();
}

void ThtmlView::SetBorderStyle(THTMLBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  DrawBorder();
}

void ThtmlView::SetHistoryMaxCount(int value) {
  if (value == historyMaxCount_ || value < 0) return;
  if (value < historyMaxCount_) EmptyHistory();
  historyMaxCount_ = value;
}

void ThtmlView::RefreshAfterDefaultChange(bool relayout) {
  document_->RefreshFonts();
  if (relayout && document_->Count() > 0) Reformat();
  update();
  PaintPanel->update();
}

void ThtmlView::SetDefFontName(const std::string& value) {
  if (base::LowerCut(value, value.size()) ==
      base::LowerCut(document_->FontName, document_->FontName.size()))
    return;
  defFontName_ = value;
  document_->FontName = value.substr(0, layout::TSectionList::kMaxFaceName);
  RefreshAfterDefaultChange(true);
}

void ThtmlView::SetDefPreFontName(const std::string& value) {
  if (base::LowerCut(value, value.size()) ==
      base::LowerCut(document_->FixedFontName, document_->FixedFontName.size()))
    return;
  defPreFontName_ = value;
  document_->FixedFontName = value.substr(0, layout::TSectionList::kMaxFaceName);
  RefreshAfterDefaultChange(true);
}

void ThtmlView::SetDefFontSize(int value) {
  value = std::max(value, 6);
  defFontSize_ = value;
  document_->BaseFontSize = value;
  RefreshAfterDefaultChange(true);
}

void ThtmlView::SetDefFontColor(platform::TColor value) {
  defFontColor_ = value;
  document_->FontColor = value;
  RefreshAfterDefaultChange(false);
}

void ThtmlView::SetDefHotSpotColor(platform::TColor value) {
  defHotSpotColor_ = value;
  document_->HotSpotColor = value;
  RefreshAfterDefaultChange(false);
}

void ThtmlView::SetImageCacheCount(int value) {
  value = std::clamp(value, 0, 20);
  if (value == imageCacheCount_) return;
  imageCacheCount_ = value;
  images::ImageCache().SetMaxAge(value);
}

void ThtmlView::SetNoSelect(bool value) {
  if (value == noSelect_) return;
  noSelect_ = value;
  if (value) {
    document_->SelStart = document_->SelEnd = -1;
    PaintPanel->update();
  }
}

void ThtmlView::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  SetProcessing(true);
  try {
    LayoutDocument();
  } catch (...) {
    SetProcessing(false);
    throw;
  }
  SetProcessing(false);
  update();
  PaintPanel->update();
}

void ThtmlView::SetCharSet(uint8_t value) {
  charSet_ = value;
  document_->CharSet = value;
  RefreshAfterDefaultChange(true);
}

void ThtmlView::SetMargin(int& margin, int value) {
  if (value == margin || processing_ || value < 0 || value > 50) return;
  UnderHourglass([this](bool on) { SetProcessing(on); }, [&] {
    margin = value;
    if (document_->Count() > 0) RelayoutKeepingPlace();
  });
}

void ThtmlView::SetMarginHeight(int value) {
  SetMargin(marginHeight_, value);
}

void ThtmlView::SetMarginWidth(int value) {
  SetMargin(marginWidth_, value);
}

void ThtmlView::SetServerRoot(const std::string& value) {
  std::string root = base::TrimBlanks(value);
  if (!root.empty() && root.back() == '\\') root.pop_back();
  serverRoot_ = root;
}

void ThtmlView::SetOnImageRequest(TGetImageEvent handler) {
  onImageRequest_ = std::move(handler);
  if (!onImageRequest_) {
    document_->OnImageRequest = nullptr;
    return;
  }
  document_->OnImageRequest = [this](const std::string& src, platform::TMemoryStream*& stream) {
    onImageRequest_(this, src, stream);
  };
}

void ThtmlView::SetOnFormSubmit(TFormSubmitEvent handler) {
  onFormSubmit_ = std::move(handler);
  if (!onFormSubmit_) {
    document_->OnFormSubmit = nullptr;
    return;
  }
  document_->OnFormSubmit = [this](const std::string& action, const std::string& target,
                                   const std::string& encType, const std::string& method,
                                   std::vector<std::string> results) {
    QueueFormSubmit(action, target, encType, method, std::move(results));
  };
}

void ThtmlView::SetOnObjectClick(TObjectClickEvent handler) {
  onObjectClick_ = std::move(handler);
  if (!onObjectClick_) {
    document_->OnObjectClick = nullptr;
    return;
  }
  document_->OnObjectClick = [this](layout::TFormControlObj* control, const std::string& onClick) {
    onObjectClick_(this, control, onClick);
  };
}

// ---- Hooks the document calls

void ThtmlView::BackgroundChanged(layout::TSectionList& document) {
  PaintPanel->SetColor(document.Background | platform::kPaletteRelative);
}

void ThtmlView::ShowFormControl(layout::TFormControlObj* control) {
  if (!control) return;
  const int y = control->YValue;
  const int top = VBar->Position32;
  if (y >= top && y <= top + height() - 20) return;
  SetScrollTop(y - height() / 2);
  PaintPanel->update();
}

void ThtmlView::QueueFormSubmit(const std::string& action, const std::string& target,
                                const std::string& encType, const std::string& method,
                                std::vector<std::string> results) {
  if (!onFormSubmit_) return;
  pendingSubmits_.push_back(PendingSubmit{action, target, encType, method, std::move(results)});
  platform::PostMessage(this, kFormSubmitMessage);
}

bool ThtmlView::event(QEvent* event) {
  if (event->type() != platform::TMessageEvent::EventType()) return QWidget::event(event);
  const int message = static_cast<platform::TMessageEvent*>(event)->Message;
  Handle([&] { HandleMessage(message); });
  return true;
}

void ThtmlView::HandleMessage(int message) {
  if (message == kFormSubmitMessage && !pendingSubmits_.empty()) {
    // The viewer owns the results until the host has seen them.
    const PendingSubmit submit = std::move(pendingSubmits_.front());
    pendingSubmits_.pop_front();
    if (onFormSubmit_)
      onFormSubmit_(this, submit.Action, submit.Target, submit.EncType, submit.Method,
                    submit.Results);
  } else if (message == kAutoScrollMessage) {
    AutoScroll();
  }
}

// ---- Border, focus, size

void ThtmlView::DrawBorder() {
  // Only the frame: the panel inside repaints itself.
  update(QRegion(rect()) - QRegion(rect().adjusted(1, 1, -1, -1)));
}

void ThtmlView::paintEvent(QPaintEvent*) {
  // Painted whenever asked, also into a picture of a window never shown.
  const bool dark =
      (borderStyle_ == htFocused && hasFocus()) || borderStyle_ == htSingle;
  QPainter painter(this);
  painter.setPen(ToQColor(dark ? platform::clWindowText : PaintPanel->Color));
  // The frame from (0, 0) to (Width, Height): one pixel inside the edges.
  painter.drawRect(0, 0, width() - 1, height() - 1);
}

void ThtmlView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  if (OnEnter) OnEnter(this);
  DrawBorder();
}

void ThtmlView::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  DrawBorder();
}

void ThtmlView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Handle([&] { SizeChanged(); });
}

void ThtmlView::SizeChanged() {
  if (width() != lastWidth_ && !processing_) {
    PaintPanel->EraseNext = true;
    Reformat();
    lastWidth_ = width();
  } else {
    ArrangeScrollBars();
  }
  if (PaintPanel->height() > docHeight_)
    SetSavedPosition(0);
  else
    ScrollToY(VBar->Position32);
  HBar->SetPosition(std::min(HBar->Position(), HBar->Max() - PaintPanel->width()));
}

// ---- Keys

void ThtmlView::keyPressEvent(QKeyEvent* event) {
  Handle([&] { KeyDown(*event); });
}

void ThtmlView::KeyDown(QKeyEvent& keyEvent) {
  QKeyEvent* event = &keyEvent;
  // The host sees the key first; the key it leaves is the one handled.
  int key = event->key();
  if (OnKeyDown) OnKeyDown(this, key, platform::ShiftStateOf(*event));
  if (key == 0) return;
  if (OnKeyPress && !event->text().isEmpty()) {
    char typed = static_cast<char>(platform::QStringToAnsi(event->text().left(1)).front());
    OnKeyPress(this, typed);
  }
  const bool control = event->modifiers() & Qt::ControlModifier;
  if (control && (key == Qt::Key_C || key == Qt::Key_Insert)) {
    CopyToClipboard();
    return;
  }
  if (control && key == Qt::Key_A) {
    SelectAll();
    return;
  }
  switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
      KeyScroll(key);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void ThtmlView::keyReleaseEvent(QKeyEvent* event) {
  int key = event->key();
  if (OnKeyUp) OnKeyUp(this, key, platform::ShiftStateOf(*event));
  QWidget::keyReleaseEvent(event);
}

void ThtmlView::KeyScroll(int key) {
  if (key == Qt::Key_Left || key == Qt::Key_Right) {
    const int step = key == Qt::Key_Left ? -kHSmallStep : kHSmallStep;
    const int top = std::max(0, HBar->Max() - PaintPanel->width());
    HBar->SetPosition(std::clamp(HBar->Position() + step, 0, top));
    PaintPanel->update();
    return;
  }
  const int64_t old = VBar->Position32;
  int64_t target = old;
  switch (key) {
    case Qt::Key_PageUp: target = old - VBar->LargeChange(); break;
    case Qt::Key_PageDown: target = old + VBar->LargeChange(); break;
    case Qt::Key_End: target = docHeight_; break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_Up: target = old - kVSmallStep; break;
    case Qt::Key_Down: target = old + kVSmallStep; break;
  }
  const int position = LimitY(static_cast<int>(std::clamp<int64_t>(target, INT32_MIN, INT32_MAX)));
  VBar->SetPosition32(position);
  document_->SetYOffset(position);
  if (std::abs(int64_t{position} - old) == kVSmallStep)
    ScrollPanel(static_cast<int>(old), position);
  else
    PaintPanel->update();
}

void ThtmlView::wheelEvent(QWheelEvent* event) {
  Handle([&] { Wheel(*event); });
}

void ThtmlView::Wheel(QWheelEvent& wheel) {
  QWheelEvent* event = &wheel;
  // Three small steps a notch, as desktop viewers scroll; wheels and
  // touchpads that report parts of a notch add up to whole ones.
  wheelRemainder_ += event->angleDelta().y();
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ %= 120;
  event->accept();
  if (notches == 0) return;
  const int position = LimitY(static_cast<int>(std::clamp<int64_t>(
      int64_t{VBar->Position32} - int64_t{notches} * 3 * kVSmallStep, INT32_MIN, INT32_MAX)));
  if (position == VBar->Position32) return;
  const int old = VBar->Position32;
  VBar->SetPosition32(position);
  document_->SetYOffset(position);
  ScrollPanel(old, position);
}

}  // namespace viewer
