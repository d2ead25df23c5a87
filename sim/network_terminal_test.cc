// The network terminal against the real `ambervale-hostsim` process, and the line format
// they share. (Every kind of entry goes over the network in the end-to-end fault test, on the
// demo agency; the requests' own forms are read in the screens test.)

#include "host/network_terminal.h"

#include <gtest/gtest.h>

#include "host/wire_format.h"
#include "sim/hostsim_app.h"
#include "sim/hostsim_process.h"
#include "testing/golden.h"
#include "testing/loopback_port.h"
#include "testing/temp_dir.h"

namespace ambervale::sim {
namespace {

using ambervale::testing::Cr;
using ambervale::testing::LoopbackPort;
using Lines = std::vector<std::string>;

constexpr int kTimeoutSeconds = 5;

std::string Format(std::string_view entry) { return "<FORMAT>" + std::string(entry) + "</FORMAT>"; }

// Sends `entry` (FORMAT-wrapped) and returns the answer; a failure adds a test failure.
Lines Send(Terminal& terminal, std::string_view entry) {
  const Status sent = terminal.SendEntry(Format(entry));
  EXPECT_TRUE(sent.ok()) << entry << ": " << sent.message();
  Lines lines;
  const std::optional<int16_t> count = terminal.GetLineCount();
  if (!count) return {"(no line count)"};
  for (int16_t i = 0; i < *count; ++i) lines.push_back(terminal.GetLine(i).value_or("(failed)"));
  return lines;
}

std::unique_ptr<HostsimProcess> StartHostsim(const std::vector<std::string>& args) {
  Status status;
  std::unique_ptr<HostsimProcess> process = HostsimProcess::Start(AMBERVALE_HOSTSIM, args, &status);
  EXPECT_TRUE(process) << status.message();
  return process;
}

std::unique_ptr<Terminal> Connect(uint16_t port, int timeout_seconds = kTimeoutSeconds) {
  NetworkTerminalFactory factory("127.0.0.1", port, timeout_seconds);
  Status status;
  std::unique_ptr<Terminal> terminal = factory.Create(&status);
  EXPECT_TRUE(terminal) << status.message();
  return terminal;
}

TEST(WireFormatTest, EscapesBackslashCrAndLfOnly) {
  const std::string text = "OP/W* A\\B\r\n\\n \xB7&<TABSTOP/>";
  const std::string wire = "OP/W* A\\\\B\\r\\n\\\\n \xB7&<TABSTOP/>";
  EXPECT_EQ(EscapeWireLine(text), wire);
  EXPECT_EQ(UnescapeWireLine(wire), text);
  EXPECT_EQ(UnescapeWireLine("A\\tB\\"), "A\\tB\\");  // unknown and trailing escapes kept
  EXPECT_EQ(EncodeWireAnswer({"A\nB", ""}), "2\nA\\nB\n\n");
  EXPECT_EQ(ParseWireCount("12"), 12u);
  for (const char* bad : {"", "-1", "1a", " 1", "1234567890"}) {
    EXPECT_EQ(ParseWireCount(bad), std::nullopt) << bad;
  }
}

// sim/testdata/hostsim_args.txt: command lines of ambervale-hostsim (blank separated) and
// what is read from them; "address: X" items are host:port texts.
TEST(HostsimArgsTest, ReadsTheCommandLine) {
  ambervale::testing::ExpectGoldenTable(
      "sim/testdata/hostsim_args.txt", [](const std::string& item) {
        std::string host;
        uint16_t port = 0;
        if (item.starts_with("address: ")) {
          return ParseHostPort(item.substr(9), &host, &port)
                     ? host + " " + std::to_string(port) + "\n"
                     : "refused\n";
        }
        std::vector<std::string> args;
        for (size_t at = 0, end; at <= item.size(); at = end + 1) {
          end = std::min(item.find(' ', at), item.size());
          args.push_back(item.substr(at, end - at));
        }
        HostsimOptions options;
        std::string error;
        return (ParseHostsimArgs(args, &options, &error) ? "accepted" : error) + "\n";
      });
}

TEST(NetworkTerminalTest, DroppedConnectionIsAFailingOperation) {
  TempDir dir;
  dir.Write("drop.json", ambervale::testing::BasicWithFaults(R"({"drop_connection_after": 2})"));
  std::unique_ptr<HostsimProcess> hostsim = StartHostsim({"--scenario", dir.File("drop.json")});
  ASSERT_TRUE(hostsim);
  std::unique_ptr<Terminal> t = Connect(hostsim->port());
  ASSERT_TRUE(t);
  EXPECT_EQ(Send(*t, "OP/W*"), Cr({"SIGN IN"}));
  const Status dropped = t->SendEntry(Format("SON/1234"));
  EXPECT_FALSE(dropped.ok());
  EXPECT_NE(dropped.message().find("closed the connection"), std::string::npos)
      << dropped.message();
  EXPECT_EQ(t->GetLineCount(), std::nullopt);
  EXPECT_EQ(t->GetLine(0), std::nullopt);
  const Status after = t->SendEntry(Format("OP/W*"));
  EXPECT_FALSE(after.ok());
  EXPECT_NE(after.message().find("is closed"), std::string::npos) << after.message();
  // The dropped entry was not carried out; a new connection goes on with the session.
  std::unique_ptr<Terminal> again = Connect(hostsim->port());
  ASSERT_TRUE(again);
  EXPECT_EQ(Send(*again, "OP/W*"), Cr({"SIGN IN"}));
}

// A host that never answers and one that refuses the connection.
TEST(NetworkTerminalTest, SilentOrRefusingHostsFail) {
  LoopbackPort silent(true);
  std::unique_ptr<Terminal> t = Connect(silent.port(), 1);
  ASSERT_TRUE(t);
  EXPECT_EQ(
      t->SendEntry(Format("OP/W*")).message(),
      "no answer from the host at 127.0.0.1:" + std::to_string(silent.port()) + " within 1 s");
  EXPECT_EQ(t->GetLineCount(), std::nullopt);
  const uint16_t port = LoopbackPort(false).port();
  Status status;
  EXPECT_EQ(NetworkTerminalFactory("127.0.0.1", port, 1).Create(&status), nullptr);
  EXPECT_EQ(status.message(), "cannot connect to the host at 127.0.0.1:" + std::to_string(port) +
                                  ": Connection refused");
}

TEST(HostsimTest, BadScenarioStopsTheServerWithAMessage) {
  TempDir dir;
  dir.Write("bad.json", "{\"pccs\": {\"A1\": {}},\n \"queues\": {\"A1/100\": []}}\n");
  Status status;
  EXPECT_EQ(HostsimProcess::Start(AMBERVALE_HOSTSIM, {"--scenario", dir.File("bad.json")}, &status),
            nullptr);
  EXPECT_NE(status.message().find("exit status 1"), std::string::npos) << status.message();
}

}  // namespace
}  // namespace ambervale::sim
