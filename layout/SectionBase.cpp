#include "layout/SectionBase.h"

namespace layout {

TExtent TSectionBase::Layout(platform::TCanvas&, TExtent y, IndentManager& margins,
                             TExtent& maxWidth, int& position) {
  Top = y;
  StartPos = position;
  DrawnHeight = Height;
  maxWidth = margins.Width;
  return Height;
}

TExtent TSectionBase::Draw(platform::TCanvas&, const platform::TRect&, IndentManager&, TExtent,
                           TExtent y) {
  Top = y;
  return y + Height;
}

bool TSectionBase::GetUrlAt(platform::TCanvas&, int, int, std::unique_ptr<base::TUrlTarget>&,
                            TFormControlObj*&) {
  return false;
}

bool TSectionBase::GetObjectAt(int, int, TImageObj*&, int&, int&) {
  return false;
}

int TSectionBase::PointToPos(platform::TCanvas&, int, int, int&, int&, int&, bool&, TCell*&) {
  return -1;
}

int TSectionBase::FindText(int, std::string_view, bool) {
  return -1;
}

bool TSectionBase::PosToPoint(platform::TCanvas&, int, int&, int&) {
  return false;
}

bool TSectionBase::GetCharAt(int, char&, TSectionBase*&) {
  return false;
}

void TSectionBase::GetMinMaxWidth(platform::TCanvas&, TExtent& narrowest, TExtent& widest) {
  narrowest = 0;
  widest = 0;
}

}  // namespace layout
