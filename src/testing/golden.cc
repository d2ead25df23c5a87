#include "testing/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "platform/files.h"

namespace ambervale::testing {

std::string SourceFile(std::string_view name) {
  return std::string(AMBERVALE_SOURCE_DIR) + "/" + std::string(name);
}

void ExpectGolden(std::string_view name, const std::string& actual) {
  const std::string path = SourceFile(name);
  const std::string wanted = ReadFile(path).value_or("(missing)\n");
  if (actual == wanted) return;
  const char* update = std::getenv("AMBERVALE_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    ASSERT_TRUE(WriteFile(path, actual)) << path;
    ADD_FAILURE() << path << " rewritten from the test's output";
    return;
  }
  EXPECT_EQ(actual, wanted) << path;
}

void ExpectGoldenTable(std::string_view name,
                       const std::function<std::string(const std::string&)>& produce) {
  std::istringstream text(ReadFile(SourceFile(name)).value_or(""));
  std::string out;
  for (std::string line; std::getline(text, line);) {
    if (line.starts_with("> ")) {
      out += line + "\n" + produce(line.substr(2));
    } else if (line.starts_with("# ")) {
      out += line + "\n";
    }
  }
  ExpectGolden(name, out);
}

std::string GoldenLines(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, 2) == "\r\n") {
      out += '\n';
      ++i;
    } else {
      out += text[i] == '\r' ? "<CR>" : text[i] == '\n' ? "<LF>\n" : std::string(1, text[i]);
    }
  }
  return out;
}

std::vector<std::string> ItemParts(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  for (size_t at = 0;;) {
    const size_t end = text.find(separator, at);
    parts.emplace_back(text.substr(at, end - at));
    if (end == std::string_view::npos) return parts;
    at = end + separator.size();
  }
}

std::string BasicScenario() { return ReadFile(SourceFile("sim/testdata/basic.json")).value_or(""); }

std::string BasicWith(std::string_view from, std::string_view to) {
  std::string scenario = BasicScenario();
  const size_t at = scenario.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? scenario : scenario.replace(at, from.size(), to);
}

std::string BasicWithFaults(std::string_view faults) {
  return BasicWith("\"faults\": {}", "\"faults\": " + std::string(faults));
}

std::string Cr(std::string_view text) { return std::string(text) + "<CARRIAGE_RETURN/>"; }

}  // namespace ambervale::testing
