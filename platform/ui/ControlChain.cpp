#include "platform/ui/ControlChain.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <iterator>

namespace platform::widgets {

namespace {

// Past this many places a chain whose freed controls outnumber the others
// is packed again, so that Tab never steps over long runs of them.
constexpr size_t kPackAbove = 1024;

}  // namespace

TControlChain::TControlChain(QWidget* surface) : surface_(surface) {}

TControlChain::~TControlChain() {
  delete start_.data();
}

void TControlChain::Add(TChainLink& link) {
  Compact();
  link.Order = links_.size();
  links_.push_back(&link);
  ++live_;
}

void TControlChain::Remove(TChainLink& link) {
  if (link.Order >= links_.size() || links_[link.Order] != &link) return;
  links_[link.Order] = nullptr;
  withWidget_.erase(link.Order);
  --live_;
}

void TControlChain::Compact() {
  if (live_ == 0) {
    links_.clear();
    withWidget_.clear();
    return;
  }
  if (links_.size() <= kPackAbove || links_.size() - live_ <= live_) return;
  std::vector<TChainLink*> packed;
  packed.reserve(live_);
  std::set<size_t> withWidget;
  for (TChainLink* link : links_) {
    if (!link) continue;
    if (withWidget_.count(link->Order)) withWidget.insert(packed.size());
    link->Order = packed.size();
    packed.push_back(link);
  }
  links_ = std::move(packed);
  withWidget_ = std::move(withWidget);
}

void TControlChain::WidgetMade(TChainLink& link) {
  const auto at = withWidget_.insert(link.Order).first;
  QWidget* widget = link.FocusWidget();
  if (!widget || !surface_) return;
  // Right after the nearest control before it that has a widget, or at
  // the start of the controls' place when there is none.
  QWidget* before = at == withWidget_.begin() ? nullptr : links_[*std::prev(at)]->FocusWidget();
  if (!before) {
    if (!start_) {
      start_ = new QWidget(surface_);
      start_->setFocusPolicy(Qt::TabFocus);
      start_->hide();
    }
    before = start_;
  }
  QWidget::setTabOrder(before, widget);
}

void TControlChain::WidgetGone(TChainLink& link) {
  withWidget_.erase(link.Order);
}

TChainLink* TControlChain::Neighbour(size_t order, bool next) const {
  if (next) {
    for (size_t i = order + 1; i < links_.size(); ++i)
      if (links_[i]) return links_[i];
  } else {
    for (size_t i = std::min(order, links_.size()); i-- > 0;)
      if (links_[i]) return links_[i];
  }
  return nullptr;
}

TChainLink* TControlChain::End(bool first) const {
  if (links_.empty()) return nullptr;
  return first ? (links_.front() ? links_.front() : Neighbour(0, true))
               : Neighbour(links_.size(), false);
}

QWidget* TControlChain::OutsideStop(QWidget* from, bool next) const {
  if (!from) return nullptr;
  const auto isControl = [this](const QWidget* widget) {
    if (!surface_ || !surface_->isAncestorOf(widget)) return false;
    for (; widget && widget != surface_; widget = widget->parentWidget())
      if (widget->property(kControlProperty).isValid() || widget == start_) return true;
    return false;
  };
  const QWidget* window = from->window();
  const bool allControls =
      QGuiApplication::styleHints()->tabFocusBehavior() == Qt::TabFocusAllControls;
  const int policy = allControls ? Qt::TabFocus : Qt::StrongFocus;
  // Tab takes the first stop after `from` in the focus chain, Shift+Tab the
  // last one before coming round to it.
  QWidget* found = nullptr;
  for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & policy) != policy || w->focusProxy() || !w->isEnabled() ||
        !w->isVisibleTo(window) || isControl(w))
      continue;
    found = w;
    if (next) break;
  }
  return found;
}

bool TControlChain::MoveFocus(TChainLink& from, bool next) {
  const Qt::FocusReason reason = next ? Qt::TabFocusReason : Qt::BacktabFocusReason;
  TChainLink* target = Neighbour(from.Order, next);
  if (!target) {
    // Past the last control (before the first), as the window system goes
    // on through the window: another stop there, else round to the first
    // control (the last).
    if (QWidget* outside = OutsideStop(from.FocusWidget(), next)) {
      outside->setFocus(reason);
      return true;
    }
    target = End(next);
    if (!target || target == &from) return false;
  }
  target->TakeFocus(reason);
  return true;
}

}  // namespace platform::widgets
