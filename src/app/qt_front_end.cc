#include "app/qt_front_end.h"

#include <QApplication>

#include "app/qt_window.h"

namespace ambervale {
namespace {

class QtFrontEnd : public FrontEnd {
 public:
  QtFrontEnd(int& argc, char** argv) : app_(argc, argv) {}

  Window& window() override { return window_; }
  EventLoop& loop() override { return loop_; }
  void Show() override { window_.Show(); }
  void Close() override { window_.CloseForReal(); }

 private:
  QApplication app_;  // first in, last out: the window and the loop need it
  QtWindow window_;
  QtEventLoop loop_;
};

}  // namespace

std::unique_ptr<FrontEnd> NewQtFrontEnd(int& argc, char** argv) {
  return std::make_unique<QtFrontEnd>(argc, argv);
}

}  // namespace ambervale
