#pragma once

// The program's window together with the event loop that drives it: the Qt window on a
// display, the console window otherwise. The application shows the window once start-up has
// finished and closes it for good at the end of Form_Unload.
//
// Used from the program's single thread; the window and the loop live as long as the front
// end.

#include <functional>
#include <memory>
#include <string_view>

#include "app/console_window.h"
#include "app/event_loop.h"
#include "form/window.h"
#include "platform/env.h"

namespace ambervale {

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  virtual Window& window() = 0;
  virtual EventLoop& loop() = 0;
  // Makes the window visible (it is built hidden).
  virtual void Show() = 0;
  // Closes the window for good; no close request is reported.
  virtual void Close() = 0;
  // Receives lines the window wants in the action log (the console window's answers given
  // without asking). The default window has none.
  virtual void SetNoteHook(std::function<void(std::string_view)> hook) { (void)hook; }
};

// The console window and its loop on `streams`. `env` must outlive the result. Installs the
// SIGINT/SIGTERM handlers for its lifetime (at most one console front end at a time).
std::unique_ptr<FrontEnd> NewConsoleFrontEnd(Env& env, ConsoleStreams streams);

}  // namespace ambervale
