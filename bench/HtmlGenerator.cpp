#include "bench/HtmlGenerator.h"

#include <array>
#include <string_view>

namespace bench {

namespace {

// A small linear congruential generator: the same on every platform.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  size_t Below(size_t n) { return Next() % n; }

 private:
  uint32_t state_;
};

constexpr std::array<std::string_view, 24> kEnglish = {
    "install", "program", "setup",  "disk",     "window",  "system", "the",   "and",
    "of",      "to",      "update", "version",  "support", "files",  "click", "button",
    "select",  "options", "drive",  "computer", "network", "manual", "help",  "serial"};

// Windows-1251 words (programs, installation, disk, ...).
constexpr std::array<std::string_view, 16> kRussian = {"\xef\xf0\xee\xe3\xf0\xe0\xec\xec\xe0",
                                                       "\xf3\xf1\xf2\xe0\xed\xee\xe2\xea\xe0",
                                                       "\xe4\xe8\xf1\xea",
                                                       "\xee\xea\xed\xee",
                                                       "\xf1\xe8\xf1\xf2\xe5\xec\xe0",
                                                       "\xe8",
                                                       "\xe2",
                                                       "\xed\xe0",
                                                       "\xf4\xe0\xe9\xeb",
                                                       "\xed\xe0\xe6\xec\xe8\xf2\xe5",
                                                       "\xea\xed\xee\xef\xea\xf3",
                                                       "\xe2\xe5\xf0\xf1\xe8\xff",
                                                       "\xef\xee\xec\xee\xf9\xfc",
                                                       "\xf1\xe5\xf0\xe8\xe9\xed\xfb\xe9",
                                                       "\xed\xee\xec\xe5\xf0",
                                                       "\xf1\xe5\xf2\xfc"};

constexpr std::array<std::string_view, 8> kEntities = {"&amp;",  "&lt;",   "&gt;",   "&quot;",
                                                       "&nbsp;", "&copy;", "&#169;", "&eacute;"};

class Writer {
 public:
  Writer(Language language, uint32_t seed) : language_(language), random_(seed) {}

  std::string Build(size_t target) {
    Head();
    while (out_.size() < target) Block();
    return Tail();
  }

  // The body in a layout table: a banner row across both columns, then the
  // menu column and the content column; a footer below the table.
  std::string BuildFramed(size_t target) {
    Head();
    out_ += "<TABLE WIDTH=\"100%\" BORDER=0 CELLSPACING=0 CELLPADDING=6>\r\n";
    out_ += "<TR><TD COLSPAN=2 BGCOLOR=\"#000080\"><FONT SIZE=+2 COLOR=\"#FFFFFF\"><B>";
    Words(3);
    out_ += "</B></FONT></TD></TR>\r\n";
    out_ += random_.Below(2) == 0 ? "<TR><TD WIDTH=150" : "<TR><TD WIDTH=\"20%\"";
    out_ += " VALIGN=TOP BGCOLOR=\"#C0C0C0\">\r\n<B>";
    Words(2);
    out_ += "</B><BR>\r\n";
    for (size_t i = 0, n = 10 + random_.Below(8); i < n; ++i) {
      out_ += "<A HREF=\"menu" + std::to_string(i) + ".htm\">";
      Words(1 + random_.Below(2));
      out_ += "</A><BR>\r\n";
    }
    out_ += "</TD>\r\n<TD VALIGN=TOP>\r\n";
    const std::string_view close = "</TD></TR>\r\n</TABLE>\r\n";
    const size_t footer = 160;
    while (out_.size() + close.size() + footer < target) Block();
    out_ += close;
    out_ += "<HR>\r\n<P ALIGN=CENTER><FONT SIZE=-1>&copy; ";
    Words(3);
    out_ += "</FONT>\r\n";
    return Tail();
  }

  std::string BuildDataTables(size_t target) {
    Head();
    while (out_.size() < target) {
      if (random_.Below(6) == 0) {
        out_ += "<H3>";
        Words(3);
        out_ += "</H3>\r\n";
      }
      for (size_t i = 0, n = 1 + random_.Below(2); i < n; ++i) {
        out_ += "<P>";
        Inline(12 + random_.Below(30));
      }
      DataTable();
    }
    return Tail();
  }

  std::string BuildNested(size_t target, int depth) {
    Head();
    while (out_.size() < target) {
      Nested(1, depth);
      if (random_.Below(3) == 0) {
        out_ += "<P>";
        Inline(8);
      }
    }
    return Tail();
  }

 private:
  void Word() {
    if (language_ == Language::kRussian1251)
      out_ += kRussian[random_.Below(kRussian.size())];
    else
      out_ += kEnglish[random_.Below(kEnglish.size())];
  }

  void Words(size_t n) {
    for (size_t i = 0; i < n; ++i) {
      if (i) out_ += random_.Below(12) == 0 ? "\r\n" : " ";
      Word();
    }
  }

  // A sentence with inline markup, links and entities.
  void Inline(size_t words) {
    for (size_t i = 0; i < words; i += 4) {
      switch (random_.Below(10)) {
        case 0:
          out_ += "<B>";
          Words(2);
          out_ += "</B> ";
          break;
        case 1:
          out_ += "<I>";
          Words(2);
          out_ += "</I> ";
          break;
        case 2:
          out_ += "<U>";
          Word();
          out_ += "</U> ";
          break;
        case 3:
          out_ += "<FONT SIZE=+1 COLOR=\"#800000\" FACE=\"Arial, Helvetica\">";
          Words(3);
          out_ += "</FONT> ";
          break;
        case 4:
          out_ += "<A HREF=\"page" + std::to_string(random_.Below(100)) + ".htm#part\">";
          Words(2);
          out_ += "</A> ";
          break;
        case 5:
          out_ += kEntities[random_.Below(kEntities.size())];
          out_ += ' ';
          break;
        case 6:
          out_ += "<IMG SRC=\"pic.gif\" WIDTH=32 HEIGHT=32 ALT=\"x\" ALIGN=middle> ";
          break;
        default:
          Words(4);
          out_ += ' ';
          break;
      }
    }
    out_ += ".\r\n";
  }

  void List(int depth) {
    const bool ordered = random_.Below(2) == 0;
    out_ += ordered ? "<OL TYPE=A>\r\n" : "<UL>\r\n";
    for (size_t i = 0, n = 2 + random_.Below(4); i < n; ++i) {
      out_ += "<LI>";
      Inline(6);
      if (depth < 2 && random_.Below(4) == 0) List(depth + 1);
    }
    out_ += ordered ? "</OL>\r\n" : "</UL>\r\n";
  }

  void Table() {
    out_ += "<TABLE BORDER=1 CELLPADDING=3 CELLSPACING=0 WIDTH=\"90%\">\r\n";
    out_ += "<TR><TH COLSPAN=2>";
    Words(2);
    out_ += "</TH><TH>";
    Word();
    out_ += "</TH></TR>\r\n";
    for (size_t r = 0, rows = 2 + random_.Below(4); r < rows; ++r) {
      out_ += "<TR>";
      if (r == 0)
        out_ += "<TD ROWSPAN=2 VALIGN=TOP>";
      else if (r != 1)
        out_ += "<TD>";
      if (r != 1) {
        Words(2);
        out_ += "</TD>";
      }
      out_ += "<TD ALIGN=RIGHT>" + std::to_string(random_.Below(1000)) + "</TD><TD>";
      Inline(4);
      out_ += "</TD></TR>\r\n";
    }
    out_ += "</TABLE>\r\n";
  }

  void Head() {
    out_ += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2 Final//EN\">\r\n";
    out_ += "<HTML>\r\n<HEAD>\r\n<TITLE>";
    Words(4);
    out_ +=
        "</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\">\r\n";
  }

  std::string Tail() {
    out_ += "</BODY>\r\n</HTML>\r\n";
    return std::move(out_);
  }

  const char* Colour() {
    static constexpr std::array<const char*, 6> kColours = {
        "\"#FFFFCC\"", "\"#CCFFCC\"", "\"#CCCCFF\"", "\"#E0E0E0\"", "\"#FFE0C0\"", "silver"};
    return kColours[random_.Below(kColours.size())];
  }

  // A bordered data table: a caption, a header row and a few body rows
  // over 3-6 columns. A cell spans two columns or two rows now and then;
  // `covered` keeps the columns a cell from the row above still fills, so
  // every row adds up to the same number of columns.
  void DataTable() {
    const size_t columns = 3 + random_.Below(4), rows = 2 + random_.Below(4);
    out_ += "<TABLE BORDER=1 CELLPADDING=" + std::to_string(2 + random_.Below(4)) +
            " CELLSPACING=" + std::to_string(random_.Below(3));
    if (random_.Below(2) == 0)
      out_ += " WIDTH=\"" + std::to_string(60 + 10 * random_.Below(5)) + "%\"";
    out_ += ">\r\n";
    out_ += random_.Below(4) == 0 ? "<CAPTION ALIGN=BOTTOM>" : "<CAPTION>";
    out_ += "<B>";
    Words(2 + random_.Below(3));
    out_ += "</B></CAPTION>\r\n<TR BGCOLOR=\"#C0C0C0\">";
    for (size_t c = 0; c < columns; ++c) {
      out_ += "<TH>";
      Words(1 + random_.Below(2));
      out_ += "</TH>";
    }
    out_ += "</TR>\r\n";
    std::array<int, 6> covered{};
    for (size_t r = 0; r < rows; ++r) {
      out_ += random_.Below(5) == 0 ? std::string("<TR BGCOLOR=") + Colour() + ">" : "<TR>";
      for (size_t c = 0; c < columns; ++c) {
        if (covered[c] > 0) {
          --covered[c];
          continue;
        }
        out_ += "<TD";
        if (c + 1 < columns && covered[c + 1] == 0 && random_.Below(8) == 0) {
          out_ += " COLSPAN=2";
          ++c;
        } else if (r + 1 < rows && random_.Below(8) == 0) {
          out_ += " ROWSPAN=2 VALIGN=TOP";
          covered[c] = 1;
        }
        if (random_.Below(6) == 0) out_ += std::string(" BGCOLOR=") + Colour();
        switch (random_.Below(4)) {
          case 0:
            out_ += " ALIGN=RIGHT>" + std::to_string(random_.Below(100000)) + "</TD>";
            break;
          case 1:
            out_ += "><A HREF=\"item" + std::to_string(random_.Below(500)) + ".htm\">";
            Words(1 + random_.Below(2));
            out_ += "</A></TD>";
            break;
          default:
            out_ += ">";
            Words(1 + random_.Below(4));
            out_ += "</TD>";
            break;
        }
      }
      out_ += "</TR>\r\n";
    }
    out_ += "</TABLE>\r\n";
  }

  // One table of `level` inside the one of `level - 1`: one cell, or a
  // narrow side cell beside the cell that holds the next level. The last
  // level holds paragraphs and now and then a list.
  void Nested(int level, int depth) {
    if (level > depth) {
      for (size_t i = 0, n = 1 + random_.Below(3); i < n; ++i) {
        out_ += "<P>";
        Inline(16 + random_.Below(30));
      }
      if (random_.Below(4) == 0) List(1);
      return;
    }
    out_ += "<TABLE BORDER=" + std::to_string(random_.Below(3) == 0 ? 1 : 0) +
            " CELLPADDING=2 CELLSPACING=" + std::to_string(random_.Below(3));
    out_ += random_.Below(2) == 0 ? " WIDTH=\"100%\">" : ">";
    out_ += "<TR>";
    const size_t side = random_.Below(3);  // 0: a side cell on the left, 1: on the right
    auto sideCell = [&] {
      out_ += "<TD WIDTH=" + std::to_string(30 + 10 * random_.Below(4)) +
              " VALIGN=TOP BGCOLOR=" + Colour() + ">";
      Words(1 + random_.Below(3));
      out_ += "</TD>";
    };
    if (side == 0) sideCell();
    out_ += "<TD VALIGN=TOP>\r\n";
    Nested(level + 1, depth);
    out_ += "</TD>";
    if (side == 1) sideCell();
    out_ += "</TR></TABLE>\r\n";
  }

  void Block() {
    switch (random_.Below(12)) {
      case 0:
        out_ += "<H" + std::to_string(1 + random_.Below(4)) + " ALIGN=CENTER>";
        Words(3);
        out_ += "</H2>\r\n";
        break;
      case 1:
        List(0);
        break;
      case 2:
        Table();
        break;
      case 3:
        out_ += "<PRE>\r\n";
        for (int i = 0; i < 4; ++i) {
          out_ += "  ";
          Words(5);
          out_ += "\r\n";
        }
        out_ += "</PRE>\r\n";
        break;
      case 4:
        out_ += "<HR SIZE=2 WIDTH=\"80%\" NOSHADE>\r\n";
        break;
      case 5:
        out_ += "<!-- section " + std::to_string(random_.Below(100)) + " -->\r\n";
        break;
      case 6:
        out_ += "<BLOCKQUOTE>";
        Inline(12);
        out_ += "</BLOCKQUOTE>\r\n";
        break;
      default:
        out_ += random_.Below(3) == 0 ? "<P ALIGN=JUSTIFY>" : "<P>";
        Inline(20 + random_.Below(40));
        break;
    }
  }

  Language language_;
  Random random_;
  std::string out_;
};

}  // namespace

std::string GenerateDocument(size_t targetBytes, Language language, uint32_t seed) {
  return Writer(language, seed).Build(targetBytes);
}

std::string GeneratePage(PageKind kind, size_t targetBytes, uint32_t seed) {
  Writer writer(Language::kEnglish, seed);
  switch (kind) {
    case PageKind::kFramed:
      return writer.BuildFramed(targetBytes);
    case PageKind::kDataTables:
      return writer.BuildDataTables(targetBytes);
    case PageKind::kNested6:
      return writer.BuildNested(targetBytes, 6);
    case PageKind::kPlain:
      break;
  }
  return writer.Build(targetBytes);
}

const char* PageKindName(PageKind kind) {
  switch (kind) {
    case PageKind::kFramed:
      return "framed";
    case PageKind::kDataTables:
      return "datatables";
    case PageKind::kNested6:
      return "nested6";
    case PageKind::kPlain:
      break;
  }
  return "flat";
}

}  // namespace bench
