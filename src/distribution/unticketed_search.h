#pragma once

// The host entries of one unticketed search. The listing entry asks the host for the PNRs of a
// PCC whose ticketing arrangement falls due between two dates, for every airline ("ALL") or for
// up to five of them; the queuing entry is the same search with "-Q/" + pcc + "/" + queue in
// place of "-D", which places every PNR found on that queue:
//   LD/ABC1/UTK/05DEC*08DEC-D             LD/ABC1/UTK/05DEC*08DEC-Q/ABC1/41
//   LD/ABC1/UTK/AA.BA/05DEC*06DEC-D       LD/ABC1/UTK/AA.BA/05DEC*06DEC-Q/ABC1/41

#include <optional>
#include <string>
#include <string_view>

#include "platform/env.h"

namespace ambervale {

// The search's dates in the host's day-month form: today and today + `days` days.
struct SearchRange {
  std::string from;
  std::string to;
};
[[nodiscard]] SearchRange UnticketedDateRange(const CivilTime& today, int days);

struct UnticketedSearch {
  std::string listing;  // ends "-D"
  std::string queuing;  // ends "-Q/" + pcc + "/" + to_queue
};

// The entries for a task's PCC, "AIRLINE" cell and "DAYS". nullopt when the task asks for no
// search: fewer than one day, or no airline. "ALL" (any case, blanks around it) searches every
// airline; otherwise the codes are written with every "," turned into ".".
[[nodiscard]] std::optional<UnticketedSearch> BuildUnticketedSearch(std::string_view pcc,
                                                                    std::string_view airline,
                                                                    int days,
                                                                    const SearchRange& range,
                                                                    std::string_view to_queue);

}  // namespace ambervale
