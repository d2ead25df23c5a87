#include "host/queue_count.h"

#include <optional>
#include <string>

#include "platform/classic_text.h"

namespace ambervale {

std::string_view QueueCountMarker(int16_t queue_no) {
  if (queue_no == 0) return "BF/URG";
  if (queue_no == 1) return "BF/GEN";
  return "BF/Q";
}

std::optional<int32_t> ReadQueueCountNumber(std::string_view screen, int16_t queue_no,
                                            std::string_view category) {
  std::string field;
  if (!category.empty()) {
    const int p = InStrNoCase(screen, category);
    if (p == 0) return std::nullopt;
    field = Mid(screen, p + static_cast<int>(category.size()));
    const size_t line_end = field.find_first_of("\r\n");
    if (line_end != std::string::npos) field.resize(line_end);
  } else {
    const int p = InStrNoCase(screen, QueueCountMarker(queue_no));
    if (p == 0) return std::nullopt;
    field = Mid(screen, p + 7, 5);
  }
  return ToInt32(Replace(field, ".", ""));
}

int32_t ReadQueueCount(std::string_view screen, int16_t queue_no, std::string_view category) {
  const std::optional<int32_t> count = ReadQueueCountNumber(screen, queue_no, category);
  return count && *count > 0 ? *count : 0;
}

}  // namespace ambervale
