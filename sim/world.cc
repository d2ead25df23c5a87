#include "sim/world.h"

#include <algorithm>

namespace ambervale::sim {
namespace {

bool IsDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string QueueAddress::Key() const {
  std::string key = pcc + "/" + std::to_string(number);
  if (!category.empty()) key += "*" + category;
  return key;
}

bool IsAlphanumeric(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
  });
}

AddressCheck ReadQueueNumber(std::string_view digits, int* number) {
  if (!IsDigits(digits)) return AddressCheck::kNotANumber;
  const size_t first = digits.find_first_not_of('0');
  const std::string_view significant =
      first == std::string_view::npos ? std::string_view() : digits.substr(first);
  if (significant.size() > 2) return AddressCheck::kInvalid;
  *number = 0;
  for (const char c : significant) *number = *number * 10 + (c - '0');
  return AddressCheck::kValid;
}

AddressCheck ParseQueueAddress(const World& world, std::string_view pcc, std::string_view address,
                               bool allow_category, QueueAddress* out) {
  std::string_view digits = address;
  std::string_view category;
  const size_t star = address.find('*');
  const bool has_category = star != std::string_view::npos && allow_category;
  if (has_category) {
    digits = address.substr(0, star);
    category = address.substr(star + 1);
  }
  int number = 0;
  if (const AddressCheck check = ReadQueueNumber(digits, &number); check != AddressCheck::kValid) {
    return check;
  }
  if (!world.pccs.Contains(pcc)) return AddressCheck::kInvalid;
  if (has_category && !IsAlphanumeric(category)) return AddressCheck::kInvalid;
  out->pcc = std::string(pcc);
  out->number = number;
  out->category = std::string(category);
  return AddressCheck::kValid;
}

AddressCheck ParseQueueKey(const World& world, std::string_view key, QueueAddress* out) {
  const size_t slash = key.find('/');
  if (slash == std::string_view::npos) return AddressCheck::kInvalid;
  const AddressCheck check =
      ParseQueueAddress(world, key.substr(0, slash), key.substr(slash + 1), true, out);
  return check == AddressCheck::kValid ? check : AddressCheck::kInvalid;
}

const std::vector<std::string>& QueueContent(const World& world, const QueueAddress& queue) {
  static const std::vector<std::string> kEmpty;
  const auto* content = world.queues.Find(queue.Key());
  return content == nullptr ? kEmpty : *content;
}

std::vector<std::string>& MutableQueue(World& world, const QueueAddress& queue) {
  return world.queues.GetOrAdd(queue.Key());
}

std::string SurnameFirst(std::string_view name) {
  return std::string(name.substr(0, std::min(name.find(' '), name.size())));
}

}  // namespace ambervale::sim
