#include "cli/session.h"

#include <iostream>

namespace paginor::cli {

int ExitCodeOf(const Failure& failure) {
  switch (failure.kind) {
    case FailureKind::OutOfMemory:
      return kExitOutOfMemory;
    case FailureKind::Damaged:
    case FailureKind::WrongFormat:
    case FailureKind::Unsupported:
      return kExitInputRefused;
    case FailureKind::TooLarge:
      // A file above the reader's limit is refused like a damaged one; a file the file system
      // will not let grow is an output that could not be written.
      return failure.stage == FailureStage::Reading ? kExitInputRefused : kExitOutputFailed;
    default:
      return failure.stage == FailureStage::Reading ? kExitInputUnreadable : kExitOutputFailed;
  }
}

int Reported(const Result& result, const std::string& prefix) {
  if (!result) {
    std::cerr << prefix << result.failure().message << "\n";
    return ExitCodeOf(result.failure());
  }
  if (result.warning()) std::cerr << prefix << result.warning()->message << "\n";
  return kExitDone;
}

}  // namespace paginor::cli
