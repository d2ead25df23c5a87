#pragma once

// The two seams of the agent lookups: what they read (a display of the PNR) and where they
// report (the run's logs, or nowhere). The run reads the host's last response and writes its
// logs (host_display.h); --explain hands in the PNR's fields and keeps the findings to itself.

#include <string>
#include <string_view>

#include "model/rows.h"

namespace ambervale {

// One display of the PNR as the lookups read it. Single-threaded; a display is read between
// two entries and never kept past the next one.
class LookupDisplay {
 public:
  virtual ~LookupDisplay() = default;
  // Line 0 as the host sent it, markup and all (the name lookup cleans it itself).
  virtual std::string FirstLine() = 0;
  // The lines of the display now shown, each cleaned of markup and trimmed.
  virtual int count() = 0;
  virtual const std::string& line(int j) = 0;  // 0 <= j < count()
  // Shows the next part of a long display ("MR").
  virtual void Page() = 0;
};

// Where the lookups report. The defaults report nothing.
class LookupLog {
 public:
  virtual ~LookupLog() = default;
  // A row matched: `kind` is "AGENT Sine", "AGENT name", "DI.AC field" (also for DI.X) or
  // "CI. field"; `text` is what matched.
  virtual void Matched(std::string_view /*kind*/, std::string_view /*text*/) {}
  // A DI display was still going on after kMaxPagesPerRow pages for `row` ("DI.AC" or "DI.X")
  // of `file` (empty when not known); the row is taken as not matched.
  virtual void PagingGaveUp(std::string_view /*kind*/, const clsAgentQueue& /*row*/,
                            std::string_view /*file*/) {}
};

}  // namespace ambervale
