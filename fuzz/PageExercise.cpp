#include "fuzz/PageExercise.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include "forms/FormControls.h"
#include "fuzz/PagePictures.h"
#include "images/GifImage.h"
#include "images/ImageCache.h"
#include "images/ImageModule.h"
#include "layout/Section.h"
#include "tables/Table.h"

namespace fuzz {

namespace {

// The margins the launcher's viewer lays pages out with.
constexpr int kMarginX = 10;
constexpr int kMarginY = 5;
// A few lines of a page: enough to draw text, markers, rules and a
// selection without paying for pixels nobody looks at.
constexpr int kCanvasWidth = 64;
constexpr int kCanvasHeight = 48;
// Queries that walk the whole section list (hit tests, searches, the
// position of a character) are repeated until they have cost about this
// many section visits, so a huge page gets fewer of them than a small one.
constexpr long kVisitBudget = 1 << 14;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "page invariant broken: %s\n", what);
  std::abort();
}

// How many whole-list queries the budget allows for `items` visits each,
// between `least` and `most`.
int Repeats(long items, int least, int most) {
  return static_cast<int>(std::clamp(kVisitBudget / (items + 1), long{least}, long{most}));
}

bool IsTable(const layout::TSectionBase* section) {
  return dynamic_cast<const tables::ThtmlTable*>(section) != nullptr;
}

// The document's own section that holds position p (a table for the
// characters of its cells); none past the last character.
const layout::TSectionBase* TopSectionAt(const layout::TSectionList& doc, int p) {
  const auto after = std::upper_bound(doc.begin(), doc.end(), p,
                                      [](int q, const auto& s) { return q < s->StartPos; });
  if (after == doc.begin()) return nullptr;
  const layout::TSectionBase* section = std::prev(after)->get();
  return p < section->StartPos + section->Length ? section : nullptr;
}

// Whether document y lies on the table, which holds its cells' characters.
bool OnTable(const layout::TSectionBase& table, int y) {
  // Heights that reached the extent ceiling no longer add up (a cell's
  // content as tall as its clamped row is centred a few pixels above it).
  if (int64_t{table.Top} + table.DrawnHeight >= base::kMaxExtent / 2) return true;
  return table.Top <= y && int64_t{y} <= int64_t{table.Top} + table.DrawnHeight;
}

// What the walk over the sections learns for the later checks.
struct Walk {
  // The page reached the extent ceiling: heights there are clamped and no
  // longer add up, so places are not compared.
  bool atCeiling = false;
  bool hasTables = false;
  std::unordered_map<const layout::TSectionBase*, int> index;
  // Sections inside tables (cells and captions, at any depth): the index
  // of the document's table that holds them.
  std::unordered_map<const layout::TSectionBase*, int> inTable;
  // Sections of tables the layout took out (too many columns): anchors may
  // still name them, and the document keeps them.
  std::unordered_map<const layout::TSectionBase*, int> removed;
  std::vector<base::TExtent> tops;  // relative to the document's top
  long visits = 0;                  // sections and lines: what one whole-page query may visit
};

// Lines of a text section cover its characters in order, each once.
void CheckLines(const layout::TSection& text) {
  int next = 0;
  int64_t heights = 0;
  for (const auto& line : text.Lines) {
    Require(line.Start == next, "lines cover the text in order");
    Require(line.Count >= 0 && line.FullHeight() >= 0, "line sizes are not negative");
    next += line.Count;
    heights += line.FullHeight();
  }
  Require(next == text.Length, "every character is on a line");
  // At the extent ceiling heights are clamped and no longer add up.
  Require(heights <= text.Height || text.Height >= base::kMaxExtent / 2,
          "lines fit in their section");
  // Its controls stand on their bytes, in text order.
  int last = -1;
  for (const layout::TFormControlObj* control : text.FormControls) {
    Require(control->Pos > last && control->Pos < text.Length, "controls in text order");
    Require(text.Buff[static_cast<size_t>(control->Pos)] == layout::kControlByte,
            "a control stands on its byte");
    Require(text.FormControls.FindAt(control->Pos) == control, "a control is found at its byte");
    Require(text.FormControls.CharsToNext(last + 1) == control->Pos - last - 1,
            "the next control is counted to");
    last = control->Pos;
  }
  Require(text.FormControls.CharsToNext(last + 1) == 9999, "no control after the last");
}

// Asks one section everything a section answers.
// Gives the number of lines the section has.
int ExerciseSection(platform::TCanvas& canvas, layout::TSectionBase& section) {
  (void)section.ClassName();
  base::TExtent narrowest = 0, widest = 0;
  section.GetMinMaxWidth(canvas, narrowest, widest);
  if (!(0 <= narrowest && narrowest <= widest))
    std::fprintf(stderr, "%s at %d: narrowest %d, widest %d\n", section.ClassName(),
                 section.StartPos, static_cast<int>(narrowest), static_cast<int>(widest));
  Require(0 <= narrowest && narrowest <= widest, "narrowest width within widest");

  // Every character of the section is there, in a section that owns it. A
  // table's cells answer by walking their sections, so in a table a few
  // hundred characters spread over it are asked.
  const int step = IsTable(&section) ? std::max(1, section.Length / 256) : 1;
  for (int p = section.StartPos; p < section.StartPos + section.Length; p += step) {
    char ch = 0;
    layout::TSectionBase* owner = nullptr;
    Require(section.GetCharAt(p, ch, owner) && owner, "every character position answers");
    Require(owner->StartPos <= p && p < owner->StartPos + owner->Length,
            "a character's section holds it");
  }
  // Its first, middle and last characters have places, top to bottom; in
  // a table, whose cells stand side by side, on the table.
  if (section.Length > 0) {
    int lastY = INT_MIN;  // a cell's content may start above the page's top
    for (int offset : {0, section.Length / 2, section.Length - 1}) {
      int x = 0, y = 0;
      Require(section.PosToPoint(canvas, section.StartPos + offset, x, y),
              "a laid-out character has a place");
      if (IsTable(&section)) {
        Require(OnTable(section, y), "a table's characters are placed on it");
        continue;
      }
      Require(y >= lastY, "places go down with positions");
      lastY = y;
    }
  }
  const auto* text = dynamic_cast<const layout::TSection*>(&section);
  if (!text) return 0;
  CheckLines(*text);
  return text->Lines.Count();
}

// Indexes the sections of a table's caption and cells, at any depth, under
// the index of the document's table, and asks each what a section answers.
void IndexTable(platform::TCanvas& canvas, const tables::ThtmlTable& table, int index, Walk& walk) {
  const auto cell = [&](const layout::TCell& c) {
    for (const auto& section : c) {
      walk.inTable.emplace(section.get(), index);
      // A nested table's characters are asked through the document's
      // table already; asking each level again would cost the depth
      // squared on deeply nested pages.
      if (const auto* inner = dynamic_cast<const tables::ThtmlTable*>(section.get()))
        IndexTable(canvas, *inner, index, walk);
      else
        walk.visits += 1 + ExerciseSection(canvas, *section);
    }
  };
  cell(*table.Caption->Cell);
  for (const auto& row : table.Rows)
    for (const auto& c : *row) cell(*c->Cell);
}

// Every section inside a removed section, at any depth.
void IndexRemoved(const layout::TSectionBase& section, Walk& walk) {
  walk.removed.emplace(&section, 0);
  const auto* table = dynamic_cast<const tables::ThtmlTable*>(&section);
  if (!table) return;
  const auto cell = [&](const layout::TCell& c) {
    for (const auto& inner : c) IndexRemoved(*inner, walk);
  };
  cell(*table->Caption->Cell);
  for (const auto& row : table->Rows)
    for (const auto& c : *row) cell(*c->Cell);
}

Walk WalkSections(layout::TSectionList& doc, platform::TCanvas& canvas) {
  Walk walk;
  for (const auto& section : doc.Removed) IndexRemoved(*section, walk);
  walk.tops.reserve(static_cast<size_t>(doc.Count()));
  int position = 0;
  base::TExtent top = 0;
  for (int i = 0; i < doc.Count(); ++i) {
    layout::TSectionBase& section = *doc[i];
    Require(section.Owner == &doc, "sections belong to their document");
    Require(section.StartPos == position && section.Length >= 0,
            "sections number the characters in order");
    Require(section.Height >= 0 && section.DrawnHeight >= section.Height,
            "sections cover at least their height");
    Require(section.Top == top + kMarginY, "sections stack in order");
    walk.index.emplace(&section, i);
    walk.tops.push_back(top);
    walk.visits += 1 + ExerciseSection(canvas, section);
    if (const auto* table = dynamic_cast<const tables::ThtmlTable*>(&section)) {
      walk.hasTables = true;
      IndexTable(canvas, *table, i, walk);
    }
    position += section.Length;
    top += section.Height;  // as layout adds them, within the ceiling
  }
  Require(position == doc.Length, "the document holds its sections' characters");
  return walk;
}

// Every anchor names a section of the document; the viewer scrolls to
// the section's top.
void CheckAnchors(layout::TSectionList& doc, const parser::TAnchorList& anchors, const Walk& walk) {
  int asked = 0;
  for (const auto& [name, section] : anchors) {
    Require(!name.empty(), "anchors have names");
    const auto found = walk.index.find(section);
    if (found == walk.index.end()) {
      if (walk.removed.count(section)) continue;
      const auto table = walk.inTable.find(section);
      Require(table != walk.inTable.end(), "an anchor's section is in the document");
      Require(OnTable(*doc[table->second], section->Top), "an anchor in a table scrolls onto it");
      continue;
    }
    Require(section->Top == walk.tops[static_cast<size_t>(found->second)] + kMarginY,
            "an anchor scrolls to its section's top");
    // SectionTop walks the list; a few anchors are enough to compare.
    if (asked++ < 64)
      Require(doc.SectionTop(found->second) == walk.tops[static_cast<size_t>(found->second)],
              "section tops add up the heights above");
  }
}

// A grid of points over the laid-out page, with the caret positions they
// give: -1 or a document position, never going back along a row or down
// a column, except in a table (a cell that spans rows holds positions
// before those of the cells beside it in its lower rows).
void HitTestGrid(layout::TSectionList& doc, platform::TCanvas& canvas, const Walk& walk, int width,
                 int height) {
  const int side = static_cast<int>(std::sqrt(Repeats(walk.visits, 4, 100)));
  std::vector<int> columnLast(static_cast<size_t>(side) + 1, -1);
  for (int row = 0; row <= side; ++row) {
    const int y = -1 + static_cast<int>(static_cast<int64_t>(height + 2) * row / side);
    int rowLast = -1;
    for (int column = 0; column <= side; ++column) {
      const int x = -1 + static_cast<int>(static_cast<int64_t>(width + 2) * column / side);
      std::unique_ptr<base::TUrlTarget> url;
      layout::TFormControlObj* control = nullptr;
      if (doc.GetUrlAt(canvas, x, y, url, control)) Require(url || control, "a hit has a target");
      layout::TImageObj* image = nullptr;
      int insideX = 0, insideY = 0;
      doc.GetObjectAt(x, y, image, insideX, insideY);
      int caretX = 0, caretY = 0, caretHeight = 0;
      bool inside = false;
      layout::TCell* cell = nullptr;
      const int p = doc.PointToPos(canvas, x, y, caretX, caretY, caretHeight, inside, cell);
      Require(p >= -1 && p <= doc.Length, "a point gives a position in the document");
      if (p < 0) continue;
      Require(cell != nullptr, "a position has its cell");
      if (const layout::TSectionBase* owner = TopSectionAt(doc, p); owner && IsTable(owner))
        continue;
      Require(p >= rowLast, "positions grow to the right");
      Require(p >= columnLast[static_cast<size_t>(column)], "positions grow downwards");
      rowLast = p;
      columnLast[static_cast<size_t>(column)] = p;
    }
  }
}

// Places of positions spread over the document: every character has one,
// and they never go up as positions grow; a table's are on the table, and
// what follows it is not above its top.
void CheckPlaces(layout::TSectionList& doc, platform::TCanvas& canvas, const Walk& walk) {
  if (doc.Length == 0) return;
  const int count = std::min(doc.Length, Repeats(walk.visits, 4, 64));
  int lastY = -1;
  for (int k = 0; k < count; ++k) {
    const int p =
        static_cast<int>(static_cast<int64_t>(doc.Length - 1) * k / std::max(1, count - 1));
    int x = 0, y = 0;
    Require(doc.PosToPoint(canvas, p, x, y), "every character has a place");
    // Floating tables let later text stand beside or above earlier cells,
    // so with tables on the page only text sections keep their order (as
    // ExerciseSection checks).
    Require(walk.atCeiling || walk.hasTables || y >= lastY, "places go down with positions");
    lastY = y;
    if (const layout::TSectionBase* owner = TopSectionAt(doc, p); owner && IsTable(owner)) {
      Require(OnTable(*owner, y), "a table's characters are placed on it");
      lastY = owner->Top;
    }
    char ch = 0;
    layout::TSectionBase* section = nullptr;
    Require(doc.GetCharAt(p, ch, section), "every position has a character");
  }
  int x = 0, y = 0;
  doc.PosToPoint(canvas, doc.Length, x, y);
}

// Text taken from the page is found again, no later than where it was taken.
void CheckSearch(layout::TSectionList& doc, unsigned choice) {
  const int count = Repeats(doc.Length, 1, 16);
  for (int k = 0; k < count && doc.Count() > 0; ++k) {
    const layout::TSectionBase& section = *doc[(choice + k * 7919u) % doc.Count()];
    if (section.Length == 0) continue;
    const int at = section.StartPos + static_cast<int>((choice >> 3) % section.Length);
    // From one section: a table's cells are searched one by one.
    std::string needle;
    const layout::TSectionBase* first = nullptr;
    for (int p = at; p < section.StartPos + section.Length && needle.size() < 1 + choice % 8; ++p) {
      char ch = 0;
      layout::TSectionBase* owner = nullptr;
      if (!doc.GetCharAt(p, ch, owner) || (first && owner != first)) break;
      first = owner;
      needle += ch;
    }
    const int found = doc.FindText(section.StartPos, needle, true);
    Require(section.StartPos <= found && found <= at, "text on the page is found");
    const int anyCase = doc.FindText(section.StartPos, needle, false);
    Require(anyCase >= -1 && anyCase < doc.Length, "a search gives a position or none");
  }
  (void)doc.FindText(0, "", false);
}

void Copy(layout::TSectionList& doc, int start, int end) {
  std::string clip;
  doc.SelStart = start;
  doc.SelEnd = end;
  doc.ClipBuffer = &clip;
  doc.CopySelection();
  doc.ClipBuffer = nullptr;
  if (start >= end) Require(clip.empty(), "an empty selection copies nothing");
}

void LayOut(layout::TSectionList& doc, platform::TCanvas& canvas, int width, base::TExtent& height,
            base::TExtent& maxWidth) {
  int position = 0;
  height = doc.Layout(canvas, kMarginY, width, position, maxWidth);
  Require(position == doc.Length, "layout places every character");
  Require(height >= 0 && maxWidth >= 0, "layout sizes are not negative");
}

void Draw(layout::TSectionList& doc, platform::TCanvas& canvas, int yOffset) {
  doc.SetYOffset(yOffset);
  doc.Draw(canvas, {0, 0, kCanvasWidth, kCanvasHeight}, 2000, kMarginX, kMarginY);
}

// The animation clock runs on: every shown picture steps through its
// frames and loops, and the page is drawn again between the steps.
void Animate(layout::TSectionList& doc, platform::TCanvas& canvas) {
  if (doc.AnimatedImages.empty()) return;
  uint32_t now = 0;
  for (int tick = 0; tick < 8; ++tick) {
    now += 60;
    for (images::TGIFImage* image : doc.AnimatedImages)
      if (image->Shown) image->Step(now, [](const platform::TRect&) {});
    Draw(doc, canvas, 0);
  }
}

// Pictures come from memory, as a host's OnImageRequest serves them: the
// names of kPagePictures give their bytes, "wait" names the pending
// marker, "empty" an empty stream, and any other name gives nothing.
void ServePictures(layout::TSectionList& doc) {
  static platform::TMemoryStream empty;
  static std::vector<std::pair<std::string, platform::TMemoryStream>> streams = [] {
    std::vector<std::pair<std::string, platform::TMemoryStream>> made;
    for (const TPagePicture& picture : kPagePictures)
      made.emplace_back(std::string(picture.name), platform::TMemoryStream(picture.bytes));
    return made;
  }();
  doc.OnImageRequest = [](const std::string& name, platform::TMemoryStream*& stream) {
    std::string key = name;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    stream = nullptr;
    if (key.find("wait") != std::string::npos) stream = images::PendingImageStream();
    if (key.find("empty") != std::string::npos) stream = &empty;
    for (auto& [pictureName, bytes] : streams)
      if (key.find(pictureName) != std::string::npos) stream = &bytes;
  };
}

// Uses every form the way a person would: focus moves through the
// controls, buttons, boxes and pictures are clicked, Enter is pressed in
// the fields, and every form is reset and submitted. Each form's strings
// are name=value pairs.
void ExerciseForms(layout::TSectionList& doc, platform::TCanvas& canvas, int height) {
  if (doc.Controls.empty()) return;
  long submitted = 0;
  doc.OnFormSubmit = [&submitted](const std::string&, const std::string&, const std::string&,
                                  const std::string& method, std::vector<std::string> results) {
    Require(method.size() <= forms::ThtmlForm::kMaxMethod, "a method has at most 4 characters");
    for (const std::string& result : results)
      Require(result.find('=') != std::string::npos, "a submitted string is name=value");
    submitted += static_cast<long>(results.size());
  };
  int shown = 0;
  doc.OnShowFormControl = [&shown](layout::TFormControlObj* control) {
    Require(control && control->HasWindow(), "a focused control has a window");
    ++shown;
  };
  doc.OnObjectClick = [](layout::TFormControlObj* control, const std::string&) {
    Require(control != nullptr, "a click names its control");
  };
  // A form submits all of its controls: clicking every button of a page of
  // thousands would cost their square, so a spread of them is used.
  const size_t count = doc.Controls.size();
  const size_t step = std::max<size_t>(1, count / 48);
  for (size_t i = 0; i < count; i += step) {
    layout::TFormControlObj* control = doc.Controls[i];
    Require(control->Form != nullptr, "a control belongs to a form");
    if (platform::TWinControl* window = control->GetControl()) {
      window->SetFocus();
      doc.PlaceControls();
      if (window->OnClick) window->OnClick();
      int key = platform::VK_RETURN;
      if (window->OnKeyDown) window->OnKeyDown(key);
    } else {
      control->SetClickPoint(static_cast<int>(i % 7), static_cast<int>(i % 5));
      control->ImageClicked();
    }
  }
  for (const auto& form : doc.Forms) {
    auto& htmlForm = static_cast<forms::ThtmlForm&>(*form);
    htmlForm.ResetControls();
    htmlForm.Submit(nullptr);
  }
  // Scrolled with the focus in a control, that one waits parked out of
  // sight; drawn again, those in sight are placed and the others hidden.
  Draw(doc, canvas, height / 2);
  Draw(doc, canvas, 0);
  const platform::TWinControl* focused = doc.ControlParent().FocusedControl();
  for (const layout::TFormControlObj* control : doc.Controls) {
    if (!control->HasWindow()) continue;
    if (control->Placed)
      Require(control->Control->Visible(), "a placed control is shown");
    else if (control->GetControl() != focused)
      Require(!control->Control->Visible(), "a control out of sight is hidden");
  }
  doc.OnFormSubmit = nullptr;
  doc.OnShowFormControl = nullptr;
  doc.OnObjectClick = nullptr;
}

}  // namespace

void ExerciseDocument(layout::TSectionList& doc, const parser::TAnchorList& anchors,
                      const PageSettings& settings) {
  platform::Bitmap bitmap(kCanvasWidth, kCanvasHeight);
  platform::TCanvas canvas(bitmap);
  base::TExtent height = 0, maxWidth = 0;
  if (settings.relayoutWidth >= 0) {
    LayOut(doc, canvas, settings.relayoutWidth, height, maxWidth);
    Draw(doc, canvas, height / 2);
    // A font change between layouts, as when the viewer's defaults change.
    doc.SetDefaults(doc.FontName, doc.FixedFontName, platform::clWhite, 0xFF0000, platform::clBlack,
                    doc.BaseFontSize == 12 ? 10 : 12);
  }
  LayOut(doc, canvas, settings.width, height, maxWidth);
  Walk walk = WalkSections(doc, canvas);
  walk.atCeiling = height >= base::kMaxExtent / 2;
  CheckAnchors(doc, anchors, walk);

  // A selection chosen by the input is drawn, then the page is drawn from
  // its top, which the hit tests read.
  const int length = doc.Length;
  const int a = length > 0 ? static_cast<int>(settings.choice % (length + 1)) : 0;
  const int b = length > 0 ? static_cast<int>((settings.choice / 7) % (length + 1)) : 0;
  doc.SelStart = std::min(a, b);
  doc.SelEnd = std::max(a, b);
  Draw(doc, canvas, static_cast<int>(static_cast<int64_t>(height) * (settings.choice % 5) / 4));
  Draw(doc, canvas, 0);
  Animate(doc, canvas);

  HitTestGrid(doc, canvas, walk, kMarginX + std::max<int>(settings.width, maxWidth),
              kMarginY + height);
  CheckPlaces(doc, canvas, walk);
  ExerciseForms(doc, canvas, height);
  CheckSearch(doc, settings.choice);
  Copy(doc, std::min(a, b), std::max(a, b));
  Copy(doc, 0, length);
  Copy(doc, b, a);
}

void ExercisePage(std::string_view html, const PageSettings& settings) {
  static images::TImageModuleScope module;
  // Each page is a new document load: the cache ages, so pictures are
  // decoded afresh on some pages and come from the cache on others.
  images::ImageCache().AgeImages();
  layout::TSectionList doc;
  ServePictures(doc);
  doc.ShowImages = settings.choice % 11 != 0;
  doc.CharSet = static_cast<uint8_t>(settings.charSet);
  doc.SetDefaults(std::string(settings.fontName), std::string(settings.fixedFontName),
                  platform::clWhite, 0xFF0000, platform::clBlack, 12);
  parser::TAnchorList anchors;
  try {
    parser::ParseHtmlBuffer(doc, anchors, html, {});
  } catch (const parser::EParseError&) {
    // An open comment ends the page; what was built before it stays.
  }
  ExerciseDocument(doc, anchors, settings);
}

}  // namespace fuzz
