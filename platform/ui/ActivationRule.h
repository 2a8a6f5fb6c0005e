#pragma once

namespace platform {

// Which focus changes make the main window "activated": its first show,
// whether or not the window manager gives it the focus, and the focus
// coming back to it from another window of the same application (a
// message box). Coming back from another program is no activation: the
// person expects the page they left. Popups (a drop-down list) are part of
// the window and never count as leaving it.
class TActivationRule {
 public:
  enum class FocusTo {
    MainWindow,
    OwnWindow,  // a box or dialog of the application
    OwnPopup,   // a drop-down list, a tooltip
    Nowhere,    // another program has the focus
  };

  // The window is shown; true the first time only.
  bool Shown() {
    const bool first = !shown_;
    shown_ = true;
    return first;
  }

  // The focus moved; true when this move activates the main window.
  // `leftWindowOpen` tells, for a move to Nowhere, whether the window the
  // focus was left for is still shown: when it is closed, the person went
  // on to another program and a later return comes from there.
  bool FocusMoved(FocusTo to, bool leftWindowOpen = true) {
    switch (to) {
      case FocusTo::MainWindow: {
        const bool activates = leftForOwnWindow_;
        leftForOwnWindow_ = false;
        return activates;
      }
      case FocusTo::OwnWindow:
        if (!returnKeepsPage_) leftForOwnWindow_ = true;
        return false;
      case FocusTo::OwnPopup:
        return false;
      case FocusTo::Nowhere:
        if (!leftWindowOpen) leftForOwnWindow_ = false;
        return false;
    }
    return false;
  }

  // While set, windows that take the focus leave no activation for the
  // return (a box of our own that must not reload the page behind it).
  void SetReturnKeepsPage(bool on) { returnKeepsPage_ = on; }
  bool ReturnKeepsPage() const { return returnKeepsPage_; }

 private:
  bool shown_ = false;
  bool leftForOwnWindow_ = false;
  bool returnKeepsPage_ = false;
};

}  // namespace platform
