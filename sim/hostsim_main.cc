// ambervale-hostsim: the simulated reservation host as a TCP server.

#include <iostream>
#include <string>
#include <vector>

#include "sim/hostsim_app.h"

int main(int argc, char** argv) {
  using namespace ambervale::sim;
  HostsimOptions options;
  std::string error;
  if (!ParseHostsimArgs(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::cerr << "ambervale-hostsim: " << error << "\n" << kHostsimUsage;
    return 2;
  }
  if (options.help) {
    std::cout << kHostsimUsage;
    return 0;
  }
  return RunHostsim(options, std::cout, std::cerr);
}
