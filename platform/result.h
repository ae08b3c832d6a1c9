// The outcome of reading or writing a file: done, or a failure with its kind, the German message
// and where it happened. Readers and writers return it instead of showing anything; the desktop
// program shows the message in a box, the command-line program prints it and chooses its exit
// code by the kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/platform.h"

namespace paginor {

enum class FailureKind : uint8_t {
  NotFound,      // the file to read does not exist (writing: the folder does not)
  NoPermission,  // the system refused access
  Unreadable,    // reading failed otherwise: a folder, an I/O error, a device not ready
  Damaged,       // content the format does not allow
  WrongFormat,   // not a file of the format asked for at all (no native magic)
  TooLarge,      // above the reader's limit, or above what the file system allows
  Unsupported,   // a format or conversion this build cannot do
  NotWritable,   // creating or writing failed otherwise: read-only medium, I/O error
  DiskFull,      // no space or quota left
  OutOfMemory,
};

// Whether the failure met the file being read or being written.
enum class FailureStage : uint8_t { Reading, Writing };

struct Failure {
  FailureKind kind = FailureKind::Unreadable;
  FailureStage stage = FailureStage::Reading;
  std::string message;               // complete German sentence(s), as the user sees them
  MsgIcon icon = MsgIcon::Error;     // how the desktop program shows it
  std::optional<uint64_t> offset;    // byte offset in the file where reading stopped
  std::string part;                  // the record or group being read, when known
  std::string detail;                // what exactly was wrong, for tests and diagnostics
};

inline Failure ReadingFailure(FailureKind kind, std::string message) {
  Failure f;
  f.kind = kind;
  f.message = std::move(message);
  return f;
}

inline Failure WritingFailure(FailureKind kind, std::string message) {
  Failure f = ReadingFailure(kind, std::move(message));
  f.stage = FailureStage::Writing;
  return f;
}

// Done, or the failure that stopped it. A done result may carry a warning: the work is complete,
// but the user should know something (characters replaced, a picture left out).
class [[nodiscard]] Result {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)) {}  // NOLINT: a failure is a result

  static Result DoneWithWarning(Failure warning) {
    Result r;
    r.warning_ = std::move(warning);
    return r;
  }

  bool ok() const { return !failure_; }
  explicit operator bool() const { return ok(); }
  // Only for a failed result.
  const Failure& failure() const { return *failure_; }
  Failure& failure() { return *failure_; }
  // The failure's message, empty when done.
  const std::string& message() const {
    static const std::string none;
    return failure_ ? failure_->message : none;
  }
  const std::optional<Failure>& warning() const { return warning_; }
  void setWarning(Failure warning) { warning_ = std::move(warning); }

 private:
  std::optional<Failure> failure_;
  std::optional<Failure> warning_;
};

}  // namespace paginor
