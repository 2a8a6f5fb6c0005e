#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Region.h"
#include "platform/Stream.h"
#include "platform/ui/PictureControl.h"

namespace skinform {

class TSkinForm;

// The holder of the window region built from the stored mask.
class TRegionType {
 public:
  explicit TRegionType(TSkinForm* owner = nullptr) : owner_(owner) {}

  const std::optional<platform::Region>& Region() const { return region_; }
  bool HasRegion() const { return region_.has_value(); }
  TSkinForm* Owner() const { return owner_; }

 private:
  friend class TSkinForm;
  std::optional<platform::Region> region_;
  // Set once the region was handed to a window: from then on the window
  // owns it, and the holder never deletes it.
  bool ownedByWindow_ = false;
  TSkinForm* owner_;
};

// A picture control dropped on a borderless form that shows the skin over
// the whole client area, clips the form's window to the region stored with
// the layout ("Mask2"), and moves the window when the skin is dragged with
// the left button.
class TSkinForm : public platform::TImage {
 public:
  // Error text for a parent that is not a form.
  static constexpr const char* kNotOnFormMessage = "Drop the SkinForm on a FORM!";

  explicit TSkinForm(QWidget* owner = nullptr);
  ~TSkinForm() override;

  TRegionType& Mask() { return *mask_; }
  // A non-empty holder replaces the current one and this component becomes
  // its owner; an empty one is ignored.
  void SetMask(std::unique_ptr<TRegionType> mask);

  bool Draggable() const { return draggable_; }
  void SetDraggable(bool on) { draggable_ = on; }

  // The position properties: top and left are always 0.
  virtual void SetTop(int value);
  virtual void SetLeft(int value);
  virtual void SetWidth(int value);
  virtual void SetHeight(int value);
  int Top() const { return y(); }
  int Left() const { return x(); }
  int Width() const { return width(); }
  int Height() const { return height(); }

  // Puts the control on a container. A container that is not a form is
  // refused (the control is taken off it again) with kNotOnFormMessage; a
  // form becomes borderless.
  void SetParentControl(QWidget* parent);

  // The stored "Mask2" value: a 4-byte little-endian length L, then L bytes
  // of RGNDATA. A value shorter than 4 + L bytes, or RGNDATA that makes no
  // region, leaves the holder without a region and the window rectangular.
  void ReadMask(platform::TStream& stream);
  void WriteMask(platform::TStream& stream) const;

  // The bytes last read by ReadMask (empty when none).
  const std::vector<uint8_t>& MaskData() const { return maskData_; }

  // While the form is edited in a designer a read region is not applied.
  void SetDesigning(bool on) { designing_ = on; }

 protected:
  void PictureChanged() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillParent();

  std::unique_ptr<TRegionType> mask_;
  std::vector<uint8_t> maskData_;
  bool draggable_ = true;
  bool designing_ = false;
  // A left press on the skin, until the drag begins or the button is up.
  std::optional<QPoint> pressAt_;
};

}  // namespace skinform
