// The stored window mask goes through the shaped-window component's reader.
// Every region it accepts must survive writing and reading back unchanged.
#include <QApplication>
#include <cstdint>
#include <cstdlib>

#include "platform/Region.h"
#include "platform/ui/Form.h"
#include "skinform/SkinForm.h"

namespace {
platform::TForm* form = nullptr;
skinform::TSkinForm* skin = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(*argc, *argv);
  form = new platform::TForm;
  skin = new skinform::TSkinForm(form);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::TMemoryStream in(std::span(data, size));
  skin->ReadMask(in);
  platform::TMemoryStream out;
  skin->WriteMask(out);
  if (skin->Mask().HasRegion()) {
    const platform::Region& region = *skin->Mask().Region();
    const std::vector<uint8_t>& written = out.Bytes();
    const auto again = platform::Region::FromRgnData(std::span(written).subspan(4));
    if (!again || !(*again == region)) std::abort();
  }
  return 0;
}
