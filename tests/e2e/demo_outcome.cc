#include "tests/e2e/demo_outcome.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "tests/e2e/program_folder.h"

namespace ambervale::e2e {
namespace {

std::set<std::string> Strings(const nlohmann::json& list) {
  std::set<std::string> out;
  for (const auto& item : list) out.insert(item.get<std::string>());
  return out;
}

std::string Joined(const std::vector<std::string>& queues) {
  std::string out;
  for (const std::string& q : queues) out += (out.empty() ? "" : " ") + q;
  return out.empty() ? "no queue" : out;
}

std::string Joined(const std::set<std::string>& queues) {
  return Joined(std::vector<std::string>(queues.begin(), queues.end()));
}

}  // namespace

ExpectedPnrs LoadExpected() {
  ExpectedPnrs out;
  const nlohmann::json json = nlohmann::json::parse(DemoFile("expected.json"));
  for (const auto& [locator, outcome] : json.items()) {
    ExpectedPnr& pnr = out[locator];
    pnr.source = outcome.at("source").get<std::string>();
    pnr.destinations = Strings(outcome.at("destinations"));
    pnr.agent_destinations = outcome.contains("agent_destinations")
                                 ? Strings(outcome.at("agent_destinations"))
                                 : pnr.destinations;
    pnr.refused = outcome.value("refused", false);
  }
  return out;
}

Places PnrPlaces(const sim::World& world) {
  Places out;
  for (const auto& [locator, pnr] : world.pnrs) out[locator];
  for (const auto& [queue, locators] : world.queues) {
    for (const std::string& locator : locators) out[locator].push_back(queue);
  }
  return out;
}

std::string FailQueueOf(std::string_view queue) {
  return std::string(queue.substr(0, queue.find('/'))) + "/90";
}

bool HasFailQueueRow(std::string_view fail_queue_log, std::string_view source,
                     std::string_view locator) {
  const size_t slash = source.find('/');
  const std::string row = std::string(source.substr(0, slash)) + "," +
                          std::string(source.substr(slash + 1)) + ",90,," + std::string(locator) +
                          ",";
  return fail_queue_log.starts_with(row) ||
         fail_queue_log.find("\n" + row) != std::string_view::npos;
}

::testing::AssertionResult EveryPnrWhereExpected(const Places& places, const ExpectedPnrs& expected,
                                                 bool refused_returned) {
  if (places.size() != expected.size()) {
    return ::testing::AssertionFailure()
           << "the host holds " << places.size() << " PNRs, expected.json " << expected.size();
  }
  for (const auto& [locator, pnr] : expected) {
    const auto at = places.find(locator);
    if (at == places.end()) return ::testing::AssertionFailure() << locator << " is unknown";
    const std::set<std::string>& want =
        pnr.refused && refused_returned ? pnr.agent_destinations : pnr.destinations;
    std::vector<std::string> sorted = at->second;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != std::vector<std::string>(want.begin(), want.end())) {
      return ::testing::AssertionFailure() << locator << " from " << pnr.source << " is on "
                                           << Joined(at->second) << ", expected " << Joined(want);
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult NoPnrLost(const Places& places, const ExpectedPnrs& expected,
                                     std::string_view fail_queue_log) {
  if (places.size() != expected.size()) {
    return ::testing::AssertionFailure()
           << "the host holds " << places.size() << " PNRs, expected.json " << expected.size();
  }
  for (const auto& [locator, pnr] : expected) {
    const auto at = places.find(locator);
    if (at == places.end()) return ::testing::AssertionFailure() << locator << " is unknown";
    std::vector<std::string> on = at->second;
    std::sort(on.begin(), on.end());
    const std::string fail_queue = FailQueueOf(pnr.source);
    const auto is = [&](const std::set<std::string>& queues) {
      return on == std::vector<std::string>(queues.begin(), queues.end());
    };
    if (on == std::vector<std::string>{fail_queue}) {
      if (HasFailQueueRow(fail_queue_log, pnr.source, locator)) continue;
      return ::testing::AssertionFailure()
             << locator << " is on " << fail_queue << " without a row in the Fail Queue Log";
    }
    if (on == std::vector<std::string>{pnr.source} || is(pnr.destinations) ||
        is(pnr.agent_destinations)) {
      continue;
    }
    return ::testing::AssertionFailure() << locator << " from " << pnr.source << " is on "
                                         << Joined(at->second) << "; it belongs on its source, "
                                         << fail_queue << " or " << Joined(pnr.agent_destinations);
  }
  return ::testing::AssertionSuccess();
}

}  // namespace ambervale::e2e
