#pragma once

// The simulated host's world: the PCCs, the booking files (PNRs), the queues and the faults a
// scenario asks for, plus what survives between program starts (sign-on, emulation, the
// number of entries answered). It is plain data; the entry handlers change it and the
// scenario reader and state writer turn it into JSON and back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ordered_dict.h"

namespace ambervale::sim {

enum class SignOnAnswer { kNormal, kSister, kDutyCode, kNone };

struct Pnr {
  std::string locator;  // 6 letters or digits
  std::string owner_pcc;
  std::string sine = "  ";  // 2 characters
  std::string name;         // name line, e.g. "SMITH/JOHN MR"
  std::vector<std::string> di;
  std::optional<std::string> ci;
  std::optional<std::string> tau;  // the committed ticketing line
  std::vector<std::string> airlines;
  bool ticketed = false;
  std::vector<std::string> notepad;
  std::vector<std::string> received_from;
};

// One scripted answer: the entries starting with `prefix` (case-sensitive, on the bare entry)
// are answered with `lines` exactly as written, `times` times, after `skip` of them have been
// answered as usual. A scripted entry is not carried out.
struct ScriptItem {
  std::string prefix;
  int64_t skip = 0;
  int64_t times = 1;               // 0: spent
  std::vector<std::string> lines;  // with their markup, if any
};

struct Faults {
  OrderedDict<int64_t> refuse_move;  // locator -> moves still to refuse
  std::vector<std::string> refuse_notepad;
  int64_t busy_every = 0;
  int64_t sign_out_after = 0;
  bool blank_banner = false;
  int64_t latency_ms = 0;
  int64_t drop_connection_after = 0;
  std::vector<std::string> empty_answer_to;  // entry prefixes, case-sensitive
  std::vector<ScriptItem> script;            // an entry goes to the first unspent item it matches
};

struct World {
  std::vector<std::string> agent_ids;
  bool signed_in = false;
  SignOnAnswer sign_on_answer = SignOnAnswer::kNormal;
  OrderedDict<bool> pccs;  // code -> emulation allowed
  OrderedDict<Pnr> pnrs;   // by locator, in scenario order
  // Canonical queue address ("ABC1/12", "ABC1/12*C1") -> locators, front first.
  OrderedDict<std::vector<std::string>> queues;
  Faults faults;
  std::optional<std::string> emulated_pcc;
  int64_t entries = 0;  // entries answered since the world was created
};

// A queue: PCC, number 0-99 and an optional category.
struct QueueAddress {
  std::string pcc;
  int number = 0;
  std::string category;

  // "PCC/n" or "PCC/n*category", the number without leading zeros.
  std::string Key() const;
};

enum class AddressCheck {
  kValid,
  kNotANumber,  // the queue number holds something other than digits
  kInvalid,     // unknown PCC, number over 99, or a malformed category
};

// Reads a queue number: digits only (leading zeros allowed), 0-99.
[[nodiscard]] AddressCheck ReadQueueNumber(std::string_view digits, int* number);
// Reads `address` ("n" or "n*category") of a queue of `pcc` against the world's PCCs.
// `allow_category` false makes "n*category" a kNotANumber (the number part is not a number).
[[nodiscard]] AddressCheck ParseQueueAddress(const World& world, std::string_view pcc,
                                             std::string_view address, bool allow_category,
                                             QueueAddress* out);
// Reads "PCC/n[*category]"; anything else is kInvalid.
[[nodiscard]] AddressCheck ParseQueueKey(const World& world, std::string_view key,
                                         QueueAddress* out);

// The locators on `queue`; an empty list when the queue holds nothing or was never named.
const std::vector<std::string>& QueueContent(const World& world, const QueueAddress& queue);
// The queue's list, created empty when the world does not have it yet.
std::vector<std::string>& MutableQueue(World& world, const QueueAddress& queue);

// True for letters A-Z, a-z and digits only, and not empty.
bool IsAlphanumeric(std::string_view text);

// The name line up to its first blank ("SMITH/JOHN MR" -> "SMITH/JOHN").
std::string SurnameFirst(std::string_view name);

}  // namespace ambervale::sim
