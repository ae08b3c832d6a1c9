// paginor-cli edit: drives the editor headless with a key script (docs/key-script.md).
#pragma once

#include "cli/commands.h"

namespace paginor::cli {

// edit [--from FORMAT] [--to FORMAT] [--pdf-fonts FORM] (--new | IN) OUT
//      (--keys SCRIPT | --keys-file FILE)
int cmdEdit(Args& args);

}  // namespace paginor::cli
