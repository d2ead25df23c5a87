#pragma once

#include <string>

#include "host/host_layer.h"

namespace ambervale {

// Sends "*R" and returns the record locator of the PNR now on screen, "NO B.F.",
// "QUEUE EMPTY", or an empty text when no line carries a locator (a line whose first "/" is at
// character 7). When `agentsine` is given it receives characters 8 and 9 of the locator line
// (left unchanged when there is none).
std::string GetRLocByTeCommand(HostLayer& host, std::string* agentsine = nullptr);

}  // namespace ambervale
