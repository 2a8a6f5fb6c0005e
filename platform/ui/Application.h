#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class MessageIcon { None, Error };

// Where the application's message boxes go. The program shows them as modal
// boxes; tests capture them; headless runs print them.
class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // Caption and text are ANSI bytes. Returns when the box is closed.
  virtual void Show(const std::string& caption, const std::string& text, MessageIcon icon) = 0;
  // Whether the box takes the focus from the application's window while
  // it is up (a modal box does; a captured or printed one does not).
  virtual bool TakesFocus() const { return false; }
};

class QtMessageBox : public IMessageBox {
 public:
  void Show(const std::string& caption, const std::string& text, MessageIcon icon) override;
  bool TakesFocus() const override { return true; }
};

class StderrMessageBox : public IMessageBox {
 public:
  void Show(const std::string& caption, const std::string& text, MessageIcon icon) override;
};

class CapturingMessageBox : public IMessageBox {
 public:
  struct Shown {
    std::string caption;
    std::string text;
    MessageIcon icon;
  };
  void Show(const std::string& caption, const std::string& text, MessageIcon icon) override {
    shown.push_back({caption, text, icon});
  }
  std::vector<Shown> shown;
};

// The text of an error box: a period is appended when the text does not
// already end in one.
std::string WithFinalPeriod(const std::string& text);

// The application object: its title and its handling of exceptions that
// leave an event handler.
class TApplication {
 public:
  static TApplication& Instance();

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& ansiTitle);

  void SetMessageBox(std::unique_ptr<IMessageBox> box) { messageBox_ = std::move(box); }
  IMessageBox& MessageBox() { return *messageBox_; }

  // The default exception handler: an error box captioned with the title.
  void ShowException(const std::exception& error);
  // The plain message box (OK, no icon) captioned with the title.
  void ShowMessage(const std::string& text);

  // Runs an event handler; an exception ends it and is shown, and the
  // program goes on. Returns false when the handler raised.
  bool RunHandler(const std::function<void()>& handler);

 private:
  TApplication();
  std::string title_;
  std::unique_ptr<IMessageBox> messageBox_;
};

}  // namespace platform
