// The network terminal against hosts that never answer or refuse, and the line format it
// shares with `ambervale-hostsim`. (Every kind of entry, and a host that drops the connection,
// go over the network in the end-to-end fault test, on the demo agency; the requests' own forms
// are read in the screens test.)

#include "host/network_terminal.h"

#include <gtest/gtest.h>

#include "host/wire_format.h"
#include "sim/hostsim_app.h"
#include "testing/golden.h"
#include "testing/loopback_port.h"

namespace ambervale::sim {
namespace {

using ambervale::testing::LoopbackPort;

constexpr std::string_view kOpW = "<FORMAT>OP/W*</FORMAT>";

TEST(WireFormatTest, EscapesBackslashCrAndLfOnly) {
  const std::string text = "OP/W* A\\B\r\n\\n \xB7&<TABSTOP/>";
  const std::string wire = "OP/W* A\\\\B\\r\\n\\\\n \xB7&<TABSTOP/>";
  EXPECT_EQ(EscapeWireLine(text), wire);
  EXPECT_EQ(UnescapeWireLine(wire), text);
  EXPECT_EQ(UnescapeWireLine("A\\tB\\"), "A\\tB\\");  // unknown and trailing escapes kept
  EXPECT_EQ(EncodeWireAnswer({"A\nB", ""}), "2\nA\\nB\n\n");
  EXPECT_EQ(ParseWireCount("123456789"), 123456789u);
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
        const std::vector<std::string> args = ambervale::testing::ItemParts(item, " ");
        HostsimOptions options;
        std::string error;
        return (ParseHostsimArgs(args, &options, &error) ? "accepted" : error) + "\n";
      });
}

// A host that never answers and one that refuses the connection.
TEST(NetworkTerminalTest, SilentOrRefusingHostsFail) {
  LoopbackPort silent(true);
  Status status;
  std::unique_ptr<Terminal> t =
      NetworkTerminalFactory("127.0.0.1", silent.port(), 1).Create(&status);
  ASSERT_TRUE(t) << status.message();
  EXPECT_EQ(t->SendEntry(kOpW).message(), "no answer from the host at 127.0.0.1:" +
                                              std::to_string(silent.port()) + " within 1 s");
  EXPECT_EQ(t->GetLineCount(), std::nullopt);
  const uint16_t port = LoopbackPort(false).port();
  EXPECT_EQ(NetworkTerminalFactory("127.0.0.1", port, 1).Create(&status), nullptr);
  EXPECT_EQ(status.message(), "cannot connect to the host at 127.0.0.1:" + std::to_string(port) +
                                  ": Connection refused");
}

}  // namespace
}  // namespace ambervale::sim
