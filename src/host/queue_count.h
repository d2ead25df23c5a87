#pragma once

// Reading the queue count displays: "QCB/" + pcc + "/" + queue answers one line with a marker
// ("BF/URG " for queue 0, "BF/GEN " for queue 1, "BF/Q" + number from queue 2) and the count
// five characters wide seven characters after the marker's start, padded with "."; "QCT/" +
// pcc + "/" + queue + "*" + category answers the category followed by the count padded with
// "." (for example "Q010/C1.......3").

#include <cstdint>
#include <optional>
#include <string_view>

namespace ambervale {

// The marker searched for (ignoring case) on a "QCB/" display of queue `queue_no`.
[[nodiscard]] std::string_view QueueCountMarker(int16_t queue_no);

// The number in the count field of `screen` for the queue; nothing when the marker (the
// category when there is one, else QueueCountMarker) is missing or the field is no number.
// Full stops are removed from the field. Without a category the field is the five characters
// seven characters after the marker; with one it is the rest of the display line after the
// category (up to a line break), so a display that carries more lines still yields its count.
[[nodiscard]] std::optional<int32_t> ReadQueueCountNumber(std::string_view screen, int16_t queue_no,
                                                          std::string_view category);
// The count as the run uses it: ReadQueueCountNumber, 0 when that is nothing or below 0.
[[nodiscard]] int32_t ReadQueueCount(std::string_view screen, int16_t queue_no,
                                     std::string_view category);

}  // namespace ambervale
