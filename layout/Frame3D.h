#pragma once

#include "platform/Canvas.h"

namespace layout {

class TSectionList;

// The 3D frame of tables and picture borders: for a raised frame the left
// and top edges in the light colour and the right and bottom ones in the
// dark colour, the other way round for a sunken one. The light colour is
// silver on a white page, else the system highlight; line ends exclusive.
void DrawFrame3D(const TSectionList* document, platform::TCanvas& canvas, int left, bool raised,
                 int bottom, int right, int top);

}  // namespace layout
