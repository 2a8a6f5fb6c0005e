// Every document of the html5lib suites goes through the scanner, and
// through the builder and layout at three widths: no crash, no hang,
// tokens within their bounds, every position laid out. The suites follow
// HTML5 rules, so only robustness is checked, never the trees they expect.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>

#include "TestSupport.h"
#include "layout/Section.h"
#include "parser/Scanner.h"
#include "tools/PageRender.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> SuiteFiles() {
  std::vector<std::string> files;
  const auto root = testing_support::SharedTestData("html5lib-tests");
  if (!root) return files;
  for (const char* folder : {"tokenizer", "tree-construction"})
    for (const auto& entry : fs::recursive_directory_iterator(*root / folder)) {
      const std::string ext = entry.path().extension().string();
      if (ext == ".dat" || ext == ".test")
        files.push_back(fs::relative(entry.path(), *root).string());
    }
  std::sort(files.begin(), files.end());
  return files;
}

// The #data sections of a tree-construction file.
std::vector<std::string> DatDocuments(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> documents;
  std::string line, current;
  bool inData = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '#') {
      if (inData) documents.push_back(current);
      inData = line == "#data";
      current.clear();
      continue;
    }
    if (inData) current += (current.empty() ? "" : "\n") + line;
  }
  if (inData) documents.push_back(current);
  return documents;
}

// The inputs of a tokenizer file, \uXXXX escapes decoded where the case
// says they are doubled.
std::vector<std::string> TokenizerInputs(const fs::path& path) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
  std::vector<std::string> inputs;
  for (const char* key : {"tests", "xmlViolationTests"})
    for (const QJsonValue& value : root.value(key).toArray()) {
      const QJsonObject test = value.toObject();
      QString input = test.value("input").toString();
      if (test.value("doubleEscaped").toBool()) {
        static const QRegularExpression escape("\\\\u([0-9a-fA-F]{4})");
        QString decoded;
        qsizetype last = 0;
        for (auto it = escape.globalMatch(input); it.hasNext();) {
          const auto match = it.next();
          decoded += input.mid(last, match.capturedStart() - last);
          decoded += QChar(static_cast<char16_t>(match.captured(1).toUShort(nullptr, 16)));
          last = match.capturedEnd();
        }
        input = decoded + input.mid(last);
      }
      inputs.push_back(input.toStdString());
    }
  return inputs;
}

// Every character of the document is laid out once and in order: each
// section starts where the one before ended and lies below it, and the
// lines of a text section cover its text without gap or overlap.
void ExpectEveryPositionLaidOut(const tools::LaidOutPage& page, const std::string& document) {
  int position = 0;
  base::TExtent top = page.Document->Count() ? (*page.Document)[0]->Top : base::TExtent(0);
  for (const auto& section : *page.Document) {
    ASSERT_EQ(section->StartPos, position) << section->ClassName() << " in " << document;
    ASSERT_GE(section->Top, top) << document;
    top = section->Top;
    position += section->Length;
    const auto* text = dynamic_cast<const layout::TSection*>(section.get());
    if (!text || text->Length == 0) continue;
    int next = 0;
    for (const auto& line : text->Lines) {
      ASSERT_EQ(line.Start, next) << document;
      ASSERT_GT(line.Count, 0) << document;
      next += line.Count;
    }
    ASSERT_EQ(next, text->Length) << document;
  }
  ASSERT_EQ(position, page.Document->Length) << document;
}

class Html5lib : public ::testing::TestWithParam<std::string> {};

TEST_P(Html5lib, ScannerSurvivesEveryDocument) {
  const fs::path path = *testing_support::SharedTestData("html5lib-tests") / GetParam();
  const std::vector<std::string> documents =
      path.extension() == ".dat" ? DatDocuments(path) : TokenizerInputs(path);
  ASSERT_FALSE(documents.empty());
  for (const std::string& document : documents) {
    for (int mode = 0; mode < 3; ++mode) {
      parser::THtmlScanner scanner;
      scanner.InPre = mode == 1;
      scanner.Source().OpenMemory(document.data(), document.size());
      size_t symbols = 0;
      try {
        scanner.NextChar();
        do {
          if (mode == 2)
            scanner.NextTextAreaSymbol();
          else
            scanner.NextSymbol();
          ASSERT_LE(scanner.Token.size(), parser::THtmlScanner::kMaxToken);
          // Every symbol consumes input: more symbols than bytes is a hang.
          ASSERT_LE(++symbols, document.size() + 2) << document;
        } while (scanner.CurrentSymbol != parser::EofSymbol);
      } catch (const parser::EParseError&) {
        // Comments left open are the one error the scanner defines.
      }
    }
    for (int width : {0, 150, 572}) {
      tools::PageSettings settings;
      settings.FontName = settings.PreFontName = std::string(platform::kTestFontName);
      settings.Width = width;
      const tools::LaidOutPage page = tools::LayOutHtml(document, settings);
      ASSERT_GE(page.Height, 0) << document;
      ExpectEveryPositionLaidOut(page, document);
      if (HasFailure()) return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, Html5lib, ::testing::ValuesIn(SuiteFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Html5lib);

TEST(Html5libPresence, SharedDataIsAvailable) {
  if (!testing_support::SharedTestData("html5lib-tests"))
    GTEST_SKIP()
        << "../shared/testdata/html5lib-tests is not in this checkout; its cases are skipped";
  EXPECT_FALSE(SuiteFiles().empty());
}

}  // namespace
