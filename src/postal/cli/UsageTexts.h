#pragma once
// The help of zenrook-postal and of each of its commands, apart from the
// options, which each command's parser lists.

#include "postal/cli/Command.h"

namespace Cli::UsageTexts {

extern const char kProgram[];  // zenrook-postal --help
extern const Usage kLookup, kInfo, kImport, kUpdate, kBarcode, kCsv, kPrint;

}  // namespace Cli::UsageTexts
