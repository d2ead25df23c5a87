#pragma once

// The program's front end on a display: the Qt window and Qt's event loop, with the
// QApplication they need. `argc` and `argv` must outlive the result (Qt keeps them).

#include <memory>

#include "app/front_end.h"

namespace ambervale {

std::unique_ptr<FrontEnd> NewQtFrontEnd(int& argc, char** argv);

}  // namespace ambervale
