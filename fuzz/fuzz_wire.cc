// The network line format both ways: the program's network terminal reading a host's answer
// bytes (part 1, sent over loopback TCP as one connection's answer), and the simulator
// reading requests (part 2, LF-ended escaped lines) into its entries on the test world.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "fuzz/fuzz_input.h"
#include "host/network_terminal.h"
#include "host/wire_format.h"
#include "platform/files.h"
#include "sim/sim_host.h"
#include "testing/fake_env.h"
#include "testing/loopback_port.h"

using namespace ambervale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ambervale::testing::LoopbackPort listener(true);  // for the whole run
  const auto parts = fuzz::Parts(data, size, 2);
  std::thread server([fd = listener.fd(), bytes = parts[0]] {  // reads the request, answers
    const int c = ::accept(fd, nullptr, nullptr);
    for (char ch = 0; ::recv(c, &ch, 1, 0) == 1 && ch != '\n';) {
    }
    (void)::send(c, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    ::close(c);
  });
  NetworkTerminalFactory terminals("127.0.0.1", listener.port(), 1);
  Status error;
  if (std::unique_ptr<Terminal> t = terminals.Create(&error)) {
    if (t->SendEntry("*R").ok()) (void)t->GetLine(t->GetLineCount().value_or(0) - 1);
  }
  server.join();

  static const std::string world = ReadFile(AMBERVALE_FUZZ_WORLD).value_or("");  // the test world
  ambervale::testing::FakeEnv env;
  std::unique_ptr<sim::SimHost> host = sim::SimHost::FromScenarioText(world, env, &error);
  const std::string_view requests = parts[1];
  for (size_t at = 0, lf; (lf = requests.find('\n', at)) != std::string_view::npos; at = lf + 1) {
    const std::string request = UnescapeWireLine(requests.substr(at, lf - at));
    if (UnescapeWireLine(EscapeWireLine(request)) != request) std::abort();
    (void)host->Request(request);
  }
  return 0;
}
