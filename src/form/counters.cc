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

}  // namespace

void CountSuccess(frmMain& form) { Count(form.intSuccessCount, form.intSuccessSubCount); }

void CountFailure(frmMain& form) { Count(form.intFailCount, form.intFailSubCount); }

}  // namespace ambervale
