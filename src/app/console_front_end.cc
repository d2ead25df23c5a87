#include "app/front_end.h"

namespace ambervale {
namespace {

class ConsoleFrontEnd : public FrontEnd {
 public:
  ConsoleFrontEnd(Env& env, ConsoleStreams streams) : window_(streams), loop_(env, window_) {}

  Window& window() override { return window_; }
  EventLoop& loop() override { return loop_; }
  // The console shows every line as it comes; there is nothing to open or close.
  void Show() override {}
  void Close() override {}
  void SetNoteHook(std::function<void(std::string_view)> hook) override {
    window_.set_answer_hook(std::move(hook));
  }

 private:
  ConsoleWindow window_;
  ConsoleEventLoop loop_;
};

}  // namespace

std::unique_ptr<FrontEnd> NewConsoleFrontEnd(Env& env, ConsoleStreams streams) {
  return std::make_unique<ConsoleFrontEnd>(env, streams);
}

}  // namespace ambervale
