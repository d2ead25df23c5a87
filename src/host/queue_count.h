#pragma once

// Reading the queue count displays: "QCB/" + pcc + "/" + queue answers one line with a marker
// ("BF/URG " for queue 0, "BF/GEN " for queue 1, "BF/Q" + number from queue 2) and the count
// five characters wide seven characters after the marker's start, padded with "."; "QCT/" +
// pcc + "/" + queue + "*" + category answers the category followed by the count padded with
// "." (for example "Q010/C1.......3").

#include <cstdint>
#include <string_view>

namespace ambervale {

// The marker searched for (ignoring case) on a "QCB/" display of queue `queue_no`.
[[nodiscard]] std::string_view QueueCountMarker(int16_t queue_no);

// The count shown by `screen` for the queue, or 0 when the marker (the category when there is
// one, else QueueCountMarker) is missing or the count is no number. Full stops are removed from
// the count field. Without a category the field is the five characters seven characters after
// the marker; with one it is the rest of the display line after the category (up to a line
// break), so a display that carries more lines still yields its count.
[[nodiscard]] int32_t ReadQueueCount(std::string_view screen, int16_t queue_no,
                                     std::string_view category);

}  // namespace ambervale
