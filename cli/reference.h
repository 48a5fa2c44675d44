// The manual page and the bash completion of sundrel, made from the command
// table at build time (sundrel_reference), so that they say what the help
// says.
#pragma once

#include <string>

#include "messages.h"

namespace sundrel::cli {

std::string ManPage(Language language);
std::string BashCompletion();

}  // namespace sundrel::cli
