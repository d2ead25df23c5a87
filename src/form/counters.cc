#include "form/counters.h"

namespace ambervale {
namespace {

constexpr int32_t kWrapAt = 999999999;

void Count(int32_t& counter, int32_t& sub_count) {
  if (counter >= kWrapAt) {
    counter = 1;
    ++sub_count;
  } else {
    ++counter;
  }
}

std::string WithSubCount(int32_t count, int32_t sub_count) {
  return std::to_string(count) + (sub_count >= 1 ? " (" + std::to_string(sub_count) + ")" : "");
}

std::string FailQueuePart(const FormSettings& form, std::string_view direction, int32_t moved,
                          int32_t failed) {
  if (moved == 0 && failed == 0) return "";
  return " | " + FailQueueFrameCaption(form, direction) + ": moved " + std::to_string(moved) +
         " failed " + std::to_string(failed);
}

}  // namespace

void CountSuccess(FormCounters& form) { Count(form.intSuccessCount, form.intSuccessSubCount); }

void CountFailure(FormCounters& form) { Count(form.intFailCount, form.intFailSubCount); }

std::string FailQueueFrameCaption(const FormSettings& form, std::string_view direction) {
  if (!form.FailQueueActivated) return "Fail Queue Deactivated";
  return std::string(direction) +
         (form.FailQueueCategory.empty() ? " Fail Queue" : " Fail Queue Category");
}

std::string CountersText(const frmMain& form) {
  return "moved " + WithSubCount(form.intSuccessCount, form.intSuccessSubCount) + " failed " +
         WithSubCount(form.intFailCount, form.intFailSubCount) +
         FailQueuePart(form, "To", form.lngSuccessOrgQ2FailQCount, form.lngFailOrgQ2FailQCount) +
         FailQueuePart(form, "From", form.lngSuccessFromFail2OrgQCount,
                       form.lngFailFromFail2OrgQCount);
}

}  // namespace ambervale
