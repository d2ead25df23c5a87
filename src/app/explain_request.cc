#include "app/explain_request.h"

#include <array>
#include <charconv>

#include "config/task_maintenance.h"
#include "platform/classic_text.h"
#include "platform/cp1252.h"

namespace ambervale {
namespace {

constexpr std::array<std::string_view, 5> kValueOptions = {"--task", "--sine", "--name", "--di",
                                                           "--ci"};

std::string Shown(std::string_view value) { return "'" + std::string(value) + "'"; }

bool IsPccText(std::string_view pcc) {
  if (pcc.empty()) return false;
  for (const char c : pcc) {
    if (!(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

// PCC/QUEUE[*CAT] into the request; false when the text is not of that form.
bool ParseTask(std::string_view text, ExplainRequest* request) {
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return false;
  const std::string pcc = UCase(text.substr(0, slash));
  std::string_view rest = text.substr(slash + 1);
  std::string category;
  if (const size_t star = rest.find('*'); star != std::string_view::npos) {
    category = std::string(rest.substr(star + 1));
    if (category.empty() || !IsValidCategory(&category)) return false;
    rest = rest.substr(0, star);
  }
  int16_t queue = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), queue);
  if (rest.empty() || error != std::errc() || end != rest.data() + rest.size() || queue < 0 ||
      !IsPccText(pcc)) {
    return false;
  }
  request->pcc = pcc;
  request->queue = queue;
  request->category = category;
  return true;
}

}  // namespace

bool IsExplainOption(std::string_view arg) {
  if (arg == "--explain") return true;
  for (const std::string_view option : kValueOptions) {
    if (arg == option || (arg.starts_with(option) && arg.substr(option.size()).starts_with("="))) {
      return true;
    }
  }
  return false;
}

std::optional<std::string> TakeExplainOption(int argc, const char* const* argv, int* i,
                                             ExplainRequest* request) {
  const std::string_view arg = argv[*i];
  if (arg == "--explain") {
    request->asked = true;
    return std::nullopt;
  }
  request->any_option = true;
  const size_t equals = arg.find('=');
  const std::string option(arg.substr(0, equals));
  std::string_view raw;
  if (equals != std::string_view::npos) {
    raw = arg.substr(equals + 1);
  } else if (*i + 1 < argc) {
    raw = argv[++*i];
  } else {
    return option + ": needs a value";
  }
  const std::optional<std::string> value = Utf8ToCp1252(raw);
  if (!value) return option + ": " + Shown(raw) + " holds characters the host cannot show";

  if (option == "--task") {
    request->task = *value;
    if (!ParseTask(*value, request)) {
      return "--task: expected PCC/QUEUE[*CAT], got " + Shown(raw);
    }
  } else if (option == "--sine") {
    if (value->empty() || value->size() > 2) {
      return "--sine: expected the agent sine (two characters), got " + Shown(raw);
    }
    request->sine = *value;
  } else if (option == "--name") {
    request->name = *value;
  } else if (option == "--di") {
    request->di.push_back(*value);
  } else {
    request->ci = *value;
  }
  return std::nullopt;
}

std::optional<std::string> CheckExplainRequest(const ExplainRequest& request) {
  if (request.any_option && !request.asked) {
    return std::string("--task, --sine, --name, --di and --ci go with --explain");
  }
  if (request.asked && request.task.empty()) {
    return std::string("--explain needs --task PCC/QUEUE[*CAT]");
  }
  return std::nullopt;
}

}  // namespace ambervale
