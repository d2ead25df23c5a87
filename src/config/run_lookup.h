#pragma once

// The distribution run's side of the lookup seams: the PNR's displays read from the host's last
// response (sending "*P", "*DI", "*CI" and, for long DI displays, "MR"), and the lines the run
// writes about the lookups to its logs.
//
// The lookups cannot stop half-way, so a host lost during a display is kept by the view: from
// then on it sends nothing, its displays read empty and the log it is given writes nothing; the
// caller takes the view's end() as soon as the lookups return.
//
// Nothing is owned; the host layer and frmMain must outlive these objects. Single-threaded.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/lookup_display.h"
#include "config/pnr_identification.h"
#include "form/frm_main.h"
#include "host/host_layer.h"

namespace ambervale {

// The host's last response. Its lines are read at the first look and again after each page,
// since the screen changes only when an entry is sent.
class HostDisplay : public LookupDisplay {
 public:
  explicit HostDisplay(HostLayer& host) : host_(host) {}
  const ProgramEnd& end() const { return end_; }

  std::string FirstLine() override;
  int count() override;
  const std::string& line(int j) override;
  void Page() override;
  // Forgets the lines read: the next look reads the response anew (after an entry).
  void Reset() { read_ = false; }
  // Sends `entry`; once the host is lost, nothing more is sent and the lines read empty.
  void Send(std::string_view entry);

 private:
  void Read();

  HostLayer& host_;
  ProgramEnd end_;
  bool read_ = false;
  std::vector<std::string> lines_;
};

// Shows each display with its entry (busy answers sent again).
class HostPnrView : public PnrView {
 public:
  explicit HostPnrView(HostLayer& host) : display_(host) {}
  LookupDisplay& Show(LookupKind kind) override;
  // The end of the program when the host was lost during the lookups.
  const ProgramEnd& end() const { return display_.end(); }

 private:
  HostDisplay display_;
};

// The run's lines: every match and the "Checking in Mapping File" and "Reading ... in PNR"
// lines to the run log, a missing table to the run log and (with `rloc`) the debug log, the
// paging limit to the debug log. With `view`, nothing once the view's host is lost.
class RunLookupLog : public IdentificationLog {
 public:
  explicit RunLookupLog(frmMain& form, std::string rloc = "", const HostPnrView* view = nullptr)
      : form_(form), rloc_(std::move(rloc)), view_(view) {}

  void Matched(std::string_view kind, std::string_view text) override;
  void PagingGaveUp(std::string_view kind, const clsAgentQueue& row,
                    std::string_view file) override;
  void CheckingFile(const clsFromQueue& row) override;
  void NoTable(const clsFromQueue& row) override;
  void Reading(LookupKind kind) override;

 private:
  bool Silent() const { return view_ != nullptr && view_->end(); }

  frmMain& form_;
  std::string rloc_;
  const HostPnrView* view_;
};

}  // namespace ambervale
