// The multi-line edit field as a widget control. Out of sight it keeps its
// text as the widget held it, its caret and selection, and how far it was
// scrolled.

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include "platform/ui/WidgetControlBase.h"

namespace platform::widgets {

namespace {

bool EndsBlock(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

class TWidgetMemo : public TWidgetControl<TMemo, QPlainTextEdit> {
 public:
  using TWidgetControl::TWidgetControl;

  // One line per paragraph; a last empty line (the text ends with a line
  // end) is not a line, as in the window system's edit control.
  std::vector<std::string> Lines() const override {
    std::vector<std::string> lines;
    if (const QPlainTextEdit* memo = widget()) {
      const QTextDocument* document = memo->document();
      for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines.push_back(FromQString(block.text()));
    } else {
      // The paragraphs the widget would make of the text: CR, LF, CR LF and
      // the paragraph separator each end one.
      qsizetype start = 0;
      for (qsizetype i = 0; i <= text_.size(); ++i) {
        if (i < text_.size() && !EndsBlock(text_[i])) continue;
        lines.push_back(FromQString(text_.mid(start, i - start)));
        if (i + 1 < text_.size() && text_[i] == u'\r' && text_[i + 1] == u'\n') ++i;
        start = i + 1;
      }
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }
  void SetLines(const std::vector<std::string>& lines) override {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i) text += '\n';
      text += lines[i];
    }
    if (QPlainTextEdit* memo = widget()) {
      memo->setPlainText(ToQString(text));
      return;
    }
    text_ = ToQString(text);
    anchor_ = caret_ = 0;  // where the widget leaves them
    top_ = left_ = 0;
  }
  bool WordWrap() const override { return wrap_; }
  void SetWordWrap(bool on) override {
    wrap_ = on;
    if (QPlainTextEdit* memo = widget()) ApplyWrap(*memo);
  }
  void MoveCaretToStart() override {
    if (QPlainTextEdit* memo = widget()) {
      QTextCursor cursor = memo->textCursor();
      cursor.movePosition(QTextCursor::Start);
      memo->setTextCursor(cursor);
      memo->verticalScrollBar()->setValue(0);
      memo->horizontalScrollBar()->setValue(0);
      return;
    }
    anchor_ = caret_ = 0;
    top_ = left_ = 0;
  }

 protected:
  void Restore(QPlainTextEdit& memo) override {
    ApplyWrap(memo);
    memo.setPlainText(text_);
    if (anchor_ == 0 && caret_ == 0) return;
    QTextCursor cursor(memo.document());
    cursor.setPosition(anchor_);
    cursor.setPosition(caret_, QTextCursor::KeepAnchor);
    memo.setTextCursor(cursor);
  }
  void RestoreView(QPlainTextEdit& memo) override {
    if (top_ == 0 && left_ == 0) return;
    QScrollBar& vertical = *memo.verticalScrollBar();
    QScrollBar& horizontal = *memo.horizontalScrollBar();
    // The widget lays its paragraphs out as they are shown, and its scroll
    // ranges grow with them: the ones that made the kept place reachable
    // are laid out first.
    QAbstractTextDocumentLayout& layout = *memo.document()->documentLayout();
    for (QTextBlock block = memo.document()->begin();
         block.isValid() && (vertical.maximum() < top_ || horizontal.maximum() < left_);
         block = block.next())
      layout.blockBoundingRect(block);
    vertical.setValue(top_);
    horizontal.setValue(left_);
  }
  void Keep(const QPlainTextEdit& memo) override {
    // The raw text: the plain text would turn no-break spaces into spaces.
    text_ = memo.document()->toRawText();
    const QTextCursor cursor = memo.textCursor();
    anchor_ = cursor.anchor();
    caret_ = cursor.position();
    top_ = memo.verticalScrollBar()->value();
    left_ = memo.horizontalScrollBar()->value();
  }

 private:
  // Word wrap with a vertical scroll bar only, or no wrap and both bars.
  void ApplyWrap(QPlainTextEdit& memo) const {
    memo.setLineWrapMode(wrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo.setHorizontalScrollBarPolicy(wrap_ ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
  }

  QString text_;
  int anchor_ = 0;
  int caret_ = 0;
  int top_ = 0;
  int left_ = 0;
  bool wrap_ = false;
};

}  // namespace

std::unique_ptr<TMemo> NewMemo(TControlChain& chain) {
  return std::make_unique<TWidgetMemo>(chain);
}

}  // namespace platform::widgets
