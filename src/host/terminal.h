#pragma once

// The Terminal seam: the terminal object of the host's terminal-access component. It carries
// one terminal entry at a time to the reservation host and hands back the response screen
// line by line. Implemented by the in-process simulator and by the network terminal.
// Single-threaded; every call blocks until it returns. Texts are Windows-1252 bytes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace ambervale {

class Terminal {
 public:
  virtual ~Terminal() = default;

  // Sends one entry, always "<FORMAT>" + entry (with "&" written "&amp;") + "</FORMAT>".
  // Returns once the response can be read. A failure (no host, dropped connection,
  // time-out) is an error.
  virtual Status SendEntry(std::string_view text) = 0;
  // The number of lines of the most recent response (0 when there is none); nullopt when the
  // component failed.
  virtual std::optional<int16_t> GetLineCount() = 0;
  // Line `index` (0-based) of the most recent response, markup included; nullopt when the
  // component failed or the index is out of range.
  virtual std::optional<std::string> GetLine(int16_t index) = 0;
};

class TerminalFactory {
 public:
  virtual ~TerminalFactory() = default;
  // A new terminal object, or an error saying why none could be made. Every terminal object
  // attaches to the same host session.
  virtual std::unique_ptr<Terminal> Create(Status* error) = 0;
};

}  // namespace ambervale
