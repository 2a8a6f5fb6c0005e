// Loading pages and pictures, resolving names, following links, anchors,
// saved positions and META refresh.
#include <algorithm>
#include <cstdlib>

#include "images/ImageCache.h"
#include "platform/Convert.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/ui/Cursors.h"
#include "viewer/HtmlView.h"

namespace viewer {

namespace {

constexpr size_t kMaxAnchor = 255;

std::string AsciiUpper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

// The extension of a Windows path: from the last dot after the last "\" or
// ":", empty when there is none.
std::string ExtensionOf(const std::string& path) {
  const size_t dot = path.find_last_of(".\\:");
  if (dot == std::string::npos || path[dot] != '.') return {};
  return path.substr(dot);
}

// The directory part of a Windows path with its final backslash.
std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

parser::TParseHooks ThtmlView::ParseHooks() {
  parser::TParseHooks hooks;
  hooks.Meta = [this](const std::string& httpEq, const std::string& name,
                      const std::string& content) { HandleMeta(httpEq, name, content); };
  if (OnSoundRequest)
    hooks.Sound = [this](const std::string& src, int loop, bool terminate) {
      OnSoundRequest(this, src, loop, terminate);
    };
  if (OnInclude)
    hooks.Include = [this](const std::string& command, std::vector<std::string> params,
                           const char*& buffer,
                           int& size) { OnInclude(this, command, params, buffer, size); };
  if (OnScript)
    hooks.Script = [this](const std::string& language, std::string script) {
      OnScript(this, language, script);
    };
  return hooks;
}

void ThtmlView::LoadFromFile(const std::string& name) {
  LoadAndRecord(name, HtmlKind);
}

void ThtmlView::ShowImageFile(const std::string& name) {
  LoadAndRecord(name, ImageKind);
}

// A load that leaves the place shown before in the history when it shows
// another file or kind.
void ThtmlView::LoadAndRecord(const std::string& name, uint8_t kind) {
  if (processing_ || name.empty()) return;
  const std::string oldFile = currentFile_, oldTitle = title_;
  const int oldPosition = SavedPosition();
  const uint8_t oldKind = currentKind_;
  LoadDocument(name, kind);
  if (currentFile_ != oldFile || currentKind_ != oldKind)
    RecordHistory(oldFile, oldTitle, oldPosition, oldKind);
}

void ThtmlView::LoadDocument(const std::string& fullName, uint8_t kind) {
  const int savedCursor = platform::ScreenCursor();
  platform::SetScreenCursor(platform::crHourGlass);
  std::string name = fullName, anchor;
  if (const size_t hash = name.find('#'); hash != std::string::npos) {
    anchor = name.substr(hash + 1, kMaxAnchor);
    name.erase(hash, kMaxAnchor);
  }
  refreshDelay_ = 0;
  SetProcessing(true);
  const auto restore = [&] {
    platform::SetScreenCursor(savedCursor);
    SetProcessing(false);
  };
  try {
    if (!platform::FileExists(name)) throw platform::EInOutError("Can't locate file: " + name);
    KeepKeyboardFromPage();
    document_->Clear();
    images::ImageCache().AgeImages();
    document_->SetDefaults(defFontName_, defPreFontName_, defBackground_, defHotSpotColor_,
                           defFontColor_, defFontSize_);
    anchorNames_.clear();
    caret_ = 0;
    selAnchor_ = -1;

    parser::TParseResult result;
    const auto finish = [&] {
      const std::string kept = currentFile_;
      currentFile_ = platform::ExpandFileName(name);
      currentKind_ = kind;
      FinishLoad(result);
      if (!anchor.empty()) {
        ScrollToAnchor(anchor);
      } else if (currentFile_ != kept) {
        ScrollToY(0);
        HBar->SetPosition(0);
      }
      PaintPanel->update();
    };
    try {
      if (kind == HtmlKind) {
        if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
        const auto host = platform::MapToHost(name);
        if (!host) throw platform::EInOutError("Can't locate file: " + name);
        result = parser::ParseHtmlFile(*document_, anchorNames_, *host, ParseHooks());
      } else {
        const std::string tag = ("<img src=\"" + name + "\">").substr(0, 255);
        result = parser::ParseHtmlBuffer(*document_, anchorNames_, tag, ParseHooks());
      }
    } catch (...) {
      finish();
      throw;
    }
    finish();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  if (refreshDelay_ > 0 && OnMetaRefresh) OnMetaRefresh(this, refreshDelay_, refreshUrl_);
}

void ThtmlView::FinishLoad(const parser::TParseResult& result) {
  title_ = result.Title;
  base_ = result.Base;
  baseTarget_ = result.BaseTarget;
  formatting_ = true;
  try {
    document_->GetBackgroundBitmap();
    LayoutDocument();
  } catch (...) {
    formatting_ = false;
    throw;
  }
  formatting_ = false;
}

std::string ThtmlView::FullFileName(const std::string& reference) {
  const std::string r = base::ResolveServerPath(base::TrimBlanks(reference), serverRoot_);
  if (!r.empty() && r[0] == '\\') return platform::ExpandFileName(r);
  const size_t colon = r.find(':');
  if (colon != 1 && r.rfind("\\\\", 0) != 0 && AsciiUpper(base_) != "DOSPATH") {
    const std::string directory =
        !base_.empty() ? base::UrlToFilePath(base_) : DirectoryOf(currentFile_);
    return platform::ExpandFileName(directory + r);
  }
  return r;
}

bool ThtmlView::AskLinkHandled() {
  bool handled = false;
  if (OnHotSpotClick) OnHotSpotClick(this, linkUrl_, handled);
  return handled;
}

ThtmlView::TLinkDestination ThtmlView::LinkDestination(const std::string& url) {
  TLinkDestination to;
  std::string s = url;
  if (!s.empty() && s[0] == '#') {
    to.Kind = TLinkDestination::ToAnchor;
    to.Anchor = s.substr(1);
    return to;
  }
  if (const size_t hash = s.find('#'); hash != std::string::npos) {
    to.Anchor = s.substr(hash + 1, kMaxAnchor - 1);
    s.erase(hash);
  }
  to.File = FullFileName(s);
  const std::string extension = AsciiUpper(ExtensionOf(to.File)).substr(0, 5);
  if (extension == ".HTM" || extension == ".HTML")
    to.Kind = TLinkDestination::ToPage;
  else if (extension == ".BMP" || extension == ".GIF" || extension == ".JPG" ||
           extension == ".JPEG" || extension == ".PNG")
    to.Kind = TLinkDestination::ToPicture;
  return to;
}

void ThtmlView::FollowLink() {
  if (AskLinkHandled()) return;
  const int kept = SavedPosition();
  const TLinkDestination to = LinkDestination(linkUrl_);
  const std::string anchor = to.Anchor.empty() ? std::string() : "#" + to.Anchor;
  switch (to.Kind) {
    case TLinkDestination::ToAnchor:
      if (ScrollToAnchor(linkUrl_)) RecordHistory(currentFile_, title_, kept, currentKind_);
      break;
    case TLinkDestination::ToPage:
      if (to.File != currentFile_)
        LoadFromFile(to.File + anchor);
      else if (ScrollToAnchor(anchor))
        RecordHistory(currentFile_, title_, kept, HtmlKind);
      break;
    case TLinkDestination::ToPicture:
      ShowImageFile(to.File);
      break;
    case TLinkDestination::ToNothing:
      break;
  }
}

bool ThtmlView::ScrollToAnchor(const std::string& name) {
  if (name.empty()) return false;
  std::string key = name[0] == '#' ? name.substr(1) : name;
  const auto found = anchorNames_.find(AsciiUpper(key));
  if (found == anchorNames_.end()) return false;
  ScrollToY(found->second->Top);
  HBar->SetPosition(0);
  return true;
}

int ThtmlView::SavedPosition() {
  base::TExtent top = 0;
  int index = 0;
  const int position = VBar->Position32;
  if (!document_->FindSectionAt(position, top, index)) return 0;
  // Offsets are taken modulo 65536, the part a saved position has room for.
  const int64_t offset = (int64_t{position} - top) & 0xFFFF;
  return static_cast<int>(int64_t{index} * 65536 + offset);
}

void ThtmlView::SetSavedPosition(int value) {
  if (value < 0) return;
  const int index = value / 65536;
  if (index < document_->Count()) ScrollToY(document_->SectionTop(index) + value % 65536);
}

void ThtmlView::HandleMeta(const std::string& httpEq, const std::string& name,
                           const std::string& content) {
  if (OnMeta) OnMeta(this, httpEq, name, content);
  if (!OnMetaRefresh || AsciiUpper(httpEq) != "REFRESH") return;
  const size_t semicolon = content.find(';');
  const int delay = semicolon == std::string::npos
                        ? -1
                        : platform::TryStrToInt(content.substr(0, semicolon)).value_or(-1);
  const size_t url = base::LowerCut(content, content.size()).find("url=");
  if (delay >= 1 && url != std::string::npos) {
    refreshUrl_ = content.substr(url + 4);
    refreshDelay_ = delay;
  }
}

void ThtmlView::KeepKeyboardFromPage() {
  // A form control of the page that has the keyboard goes away with the
  // page; the keys would go nowhere until the page was clicked.
  QWidget* focus = window()->focusWidget();
  if (focus && PaintPanel->isAncestorOf(focus)) setFocus(Qt::OtherFocusReason);
}

void ThtmlView::ClearDocument() {
  if (processing_) return;
  KeepKeyboardFromPage();
  document_->Clear();
  document_->SetDefaults(defFontName_, defPreFontName_, defBackground_, defHotSpotColor_,
                         defFontColor_, defFontSize_);
  anchorNames_.clear();
  base_.clear();
  baseTarget_.clear();
  title_.clear();
  VBar->SetMax32(0);
  VBar->hide();
  VBar->resize(VBar->width(), PaintPanel->height());
  HBar->hide();
  caret_ = 0;
  selAnchor_ = -1;
  if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
  update();
  PaintPanel->update();
}

}  // namespace viewer
