#pragma once

// The pieces of the real Env (NewSystemEnv in env.cc) that depend only on their inputs, so
// that tests can check them without the machine's accounts or executable.

#include <string>
#include <string_view>

namespace ambervale {

// The program folder: `home` (AMBERVALE_HOME) when not empty, else the folder holding
// `executable`; never with a trailing "/" (except the root folder itself).
std::string ChooseProgramFolder(std::string_view home, std::string_view executable);

// The readable name of an account in Windows-1252, from the UTF-8 of the account database: the
// GECOS field's text before the first ",", trimmed, with "&" standing for the login name with
// its first letter in upper case; the login name when that text is empty or the code page
// cannot write it; empty when neither can be written.
std::string OperatorNameFromAccount(std::string_view gecos, std::string_view login);

}  // namespace ambervale
