#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Color.h"
#include "platform/Geometry.h"
#include "platform/TFont.h"

namespace platform {

// Key codes the controls report (the window system's virtual keys).
constexpr int VK_RETURN = 13;

// A window control that a page puts on the viewer's paint panel. Its text
// is bytes in the code page of its font's character set; the window shows
// and takes Unicode. The engine sees only this interface: the viewer's
// controls are real windows, a document without a window has controls that
// only keep their state.
class TWinControl {
 public:
  virtual ~TWinControl() = default;

  // Position and size on the parent, in pixels.
  virtual void SetBounds(int left, int top, int width, int height) = 0;
  virtual TRect Bounds() const = 0;
  int Left() const { return Bounds().left; }
  int Top() const { return Bounds().top; }
  int Width() const { return Bounds().Width(); }
  int Height() const { return Bounds().Height(); }
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetPosition(int left, int top) { SetBounds(left, top, Width(), Height()); }
  // The size of the inside: the bounds less the frame and the scroll bars
  // the control shows.
  void SetClientWidth(int width) { SetBounds(Left(), Top(), width + FrameWidth(), Height()); }
  void SetClientHeight(int height) { SetBounds(Left(), Top(), Width(), height + FrameHeight()); }
  virtual int FrameWidth() const { return 0; }
  virtual int FrameHeight() const { return 0; }

  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Focused() const = 0;
  virtual void SetFocus() = 0;
  virtual void SetFont(const TFont& font) = 0;
  virtual const TFont& Font() const = 0;

  // Focus entry and exit; a key pressed while focused (its code may be
  // changed or cleared); a click (buttons, check boxes, radio buttons).
  std::function<void()> OnEnter;
  std::function<void()> OnExit;
  std::function<void(int& key)> OnKeyDown;
  std::function<void()> OnClick;
};

// A single-line edit field.
class TEdit : public TWinControl {
 public:
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  // Limits what the user can type (0: no limit); set text is not cut.
  virtual void SetMaxLength(int length) = 0;
  // Shows every character as this one (0: as it is).
  virtual void SetPasswordChar(char ch) = 0;
};

class TButton : public TWinControl {
 public:
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
};

class TCheckBox : public TWinControl {
 public:
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
};

// A radio button inside a small borderless panel of its own colour, so that
// it sits on the colour of the text around it. Position, size, visibility
// and colour are the panel's; focus, clicks and the check mark the button's.
class TRadioPanel : public TWinControl {
 public:
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
  virtual TColor Color() const = 0;
  virtual void SetColor(TColor color) = 0;
};

// The items of a list box or a drop-down list.
class TItemsControl : public TWinControl {
 public:
  virtual void ClearItems() = 0;
  virtual void AddItem(const std::string& text) = 0;
  // All the items at once, in place of those there were: a list of
  // thousands filled item by item lays itself out thousands of times.
  virtual void SetItems(const std::vector<std::string>& items) {
    ClearItems();
    for (const std::string& item : items) AddItem(item);
  }
  virtual int Count() const = 0;
  virtual std::string Item(int index) const = 0;
  // The current item, -1 for none.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int index) = 0;
};

class TListBox : public TItemsControl {
 public:
  // A sunken frame of two pixels on each side.
  int FrameWidth() const override { return 4; }
  int FrameHeight() const override { return 4; }
  virtual bool MultiSelect() const = 0;
  // Several items can be selected (with the shift and control keys too).
  virtual void SetMultiSelect(bool on) = 0;
  virtual bool Selected(int index) const = 0;
  virtual void SetSelected(int index, bool selected) = 0;
  // Every item's selection at once (a list of several selections), and the
  // selection read back; item by item each costs as much as the selection
  // is long.
  virtual void SetSelection(const std::vector<bool>& selected) {
    for (size_t i = 0; i < selected.size(); ++i) SetSelected(static_cast<int>(i), selected[i]);
  }
  virtual std::vector<bool> Selection() const {
    std::vector<bool> selected(static_cast<size_t>(std::max(0, Count())));
    for (size_t i = 0; i < selected.size(); ++i) selected[i] = Selected(static_cast<int>(i));
    return selected;
  }
  // Scrolls so that the item is the first one shown.
  virtual void SetTopIndex(int index) = 0;
};

// A drop-down list to choose from (no typing).
class TComboBox : public TItemsControl {};

// A multi-line edit field.
class TMemo : public TWinControl {
 public:
  virtual std::vector<std::string> Lines() const = 0;
  virtual void SetLines(const std::vector<std::string>& lines) = 0;
  // Word wrap with a vertical scroll bar only, or no wrap and both bars.
  virtual bool WordWrap() const = 0;
  virtual void SetWordWrap(bool on) = 0;
  // A sunken frame of two pixels on each side, and the scroll bars.
  static constexpr int kScrollBar = 16;
  int FrameWidth() const override { return 4 + kScrollBar; }
  int FrameHeight() const override { return WordWrap() ? 4 : 4 + kScrollBar; }
  // Caret at the start, nothing selected, scrolled to the top.
  virtual void MoveCaretToStart() = 0;
};

// What controls stand on: the viewer's paint panel, or an off-screen
// surface. It makes the controls, knows which one has the focus, and can
// draw what it shows into a picture.
class TControlParent {
 public:
  virtual ~TControlParent() = default;
  virtual std::unique_ptr<TEdit> NewEdit() = 0;
  virtual std::unique_ptr<TButton> NewButton() = 0;
  virtual std::unique_ptr<TCheckBox> NewCheckBox() = 0;
  virtual std::unique_ptr<TRadioPanel> NewRadioPanel() = 0;
  virtual std::unique_ptr<TListBox> NewListBox() = 0;
  virtual std::unique_ptr<TComboBox> NewComboBox() = 0;
  virtual std::unique_ptr<TMemo> NewMemo() = 0;
  // The control with the input focus, or null.
  virtual TWinControl* FocusedControl() const = 0;
};

// Controls that keep their state and draw nothing: for documents shown
// nowhere (tests, measuring, fuzzing). Focus moves only by SetFocus.
std::unique_ptr<TControlParent> NewStateOnlyControlParent();

}  // namespace platform
