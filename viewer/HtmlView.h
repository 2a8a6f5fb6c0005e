#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "platform/CodePage.h"
#include "platform/Color.h"

namespace viewer {

enum ThtBorderStyle { htFocused, htNone, htSingle };

// The page viewer as far as the launcher needs it today: it sits at its
// rectangle, reports mouse moves, and LoadFromFile checks the file and
// remembers it.
// TODO: the document (scanner, builder, layout, drawing, links, history)
// replaces the empty page once the engine exists.
class ThtmlView : public QWidget {
 public:
  explicit ThtmlView(QWidget* parent = nullptr);

  // Loads and shows an HTML file; a "#anchor" suffix names a place in it.
  // A missing file raises EInOutError "Can't locate file: " + the name
  // without its "#" part, and the shown page stays.
  void LoadFromFile(const std::string& name);

  const std::string& CurrentFile() const { return currentFile_; }
  bool Processing() const { return processing_; }

  // Published properties the launcher sets.
  platform::TColor DefBackground = platform::clBtnFace;
  ThtBorderStyle BorderStyle = htFocused;
  int HistoryMaxCount = 0;
  std::string DefFontName = "Times New Roman";
  std::string DefPreFontName = "Courier New";
  bool NoSelect = false;
  bool ViewImages = true;
  uint8_t CharSet = platform::DEFAULT_CHARSET;

  // Events.
  std::function<void(int x, int y)> OnMouseMove;
  std::function<void(const std::string& src, bool& handled)> OnHotSpotClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  std::string currentFile_;
  bool processing_ = false;
};

}  // namespace viewer
