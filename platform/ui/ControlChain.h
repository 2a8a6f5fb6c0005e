#pragma once

// Not for use outside platform/ui: the order of one parent's controls.

#include <QPointer>
#include <QWidget>
#include <cstddef>
#include <set>
#include <vector>

namespace platform {

class TWinControl;

namespace widgets {

// The widget property that leads from a widget to its control.
inline constexpr char kControlProperty[] = "platformControl";

// A control as its parent's chain sees it, whatever its kind.
class TChainLink {
 public:
  virtual ~TChainLink() = default;
  // The widget that takes the focus; null while the control has none.
  virtual QWidget* FocusWidget() const = 0;
  // Gives the control the focus, making its widget when it has none.
  virtual void TakeFocus(Qt::FocusReason reason) = 0;
  // Place among the parent's controls; the chain keeps it.
  size_t Order = 0;
};

// The controls of one parent in the order they were made, which is the
// order of their page. Only the controls in sight have widgets; Tab still
// moves through all of them in page order, as it would if every one had a
// widget, making the widget of the one it reaches. The widgets there are
// keep page order in their window's focus chain too, so that Tab from
// outside the page (the viewer) reaches the first one shown.
class TControlChain {
 public:
  explicit TControlChain(QWidget* surface);
  ~TControlChain();
  TControlChain(const TControlChain&) = delete;
  TControlChain& operator=(const TControlChain&) = delete;

  // What the widgets stand on (null once it is gone).
  QWidget* Surface() const { return surface_; }
  void Add(TChainLink& link);
  void Remove(TChainLink& link);
  // The link's widget was made / is going away.
  void WidgetMade(TChainLink& link);
  void WidgetGone(TChainLink& link);
  // Tab (next) or Shift+Tab from the link's focused widget; false when the
  // focus stays (the only stop in its window).
  bool MoveFocus(TChainLink& from, bool next);

 private:
  TChainLink* Neighbour(size_t order, bool next) const;
  TChainLink* End(bool first) const;
  // A tab stop of the window that is none of these controls' widgets, as
  // the window system would find it from `from`; null when there is none.
  QWidget* OutsideStop(QWidget* from, bool next) const;
  void Compact();

  QPointer<QWidget> surface_;
  // Never shown: it marks where the controls' widgets stand in the focus
  // chain, so that one made before all the others has a place to go.
  QPointer<QWidget> start_;
  std::vector<TChainLink*> links_;  // by Order; null where a control was freed
  size_t live_ = 0;
  std::set<size_t> withWidget_;  // Orders of the links that have a widget
};

}  // namespace widgets
}  // namespace platform
