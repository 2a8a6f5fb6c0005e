#include "platform/ui/Application.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <cstdio>

#include "platform/CodePage.h"
#include "platform/Paths.h"
#include "platform/ui/QtBridge.h"

namespace platform {

namespace {

// A message box that, like the window system's, puts its caption and text
// on the clipboard for Ctrl+C (a key shown in a box can be copied from it).
class TCopyableMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Copy)) {
      const QString rule = "---------------------------\n";
      QGuiApplication::clipboard()->setText(rule + windowTitle() + "\n" + rule + text() + "\n" +
                                            rule + "OK\n" + rule);
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
};

}  // namespace

void QtMessageBox::Show(const std::string& caption, const std::string& text, MessageIcon icon) {
  const QPointer<QWidget> owner = QApplication::activeWindow();
  TCopyableMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                          AnsiToQString(caption), AnsiToQString(text), QMessageBox::Ok, owner);
  box.exec();
  // The window the box belonged to becomes the active one again, as when
  // a modal box closes on Windows, also where no window manager does it.
  if (owner && owner->isVisible()) owner->activateWindow();
}

void StderrMessageBox::Show(const std::string& caption, const std::string& text, MessageIcon) {
  std::fprintf(stderr, "%s: %s\n", BytesToUtf8(caption, AnsiCodePage()).c_str(),
               BytesToUtf8(text, AnsiCodePage()).c_str());
}

std::string WithFinalPeriod(const std::string& text) {
  if (!text.empty() && text.back() == '.') return text;
  return text + ".";
}

TApplication& TApplication::Instance() {
  static TApplication application;
  return application;
}

TApplication::TApplication() : messageBox_(std::make_unique<QtMessageBox>()) {}

void TApplication::SetTitle(const std::string& ansiTitle) {
  title_ = ansiTitle;
  if (QCoreApplication::instance()) QCoreApplication::setApplicationName(AnsiToQString(title_));
}

void TApplication::ShowException(const std::exception& error) {
  messageBox_->Show(title_, WithFinalPeriod(error.what()), MessageIcon::Error);
}

void TApplication::ShowMessage(const std::string& text) {
  messageBox_->Show(title_, text, MessageIcon::None);
}

bool TApplication::RunHandler(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    ShowException(error);
    return false;
  }
}

}  // namespace platform
