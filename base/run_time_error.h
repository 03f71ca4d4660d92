// The game's run-time errors. Arithmetic that leaves its type and an index
// outside a table raise one of these; the frame loop and the rally trap them
// as their own rules say, and anything they let pass ends the program with
// the error's report.
#pragma once

#include <stdexcept>
#include <string>

namespace rallix {

enum class RunTimeErrorCode : int {
  kOverflow = 6,
  kSubscriptOutOfRange = 9,
};

class RunTimeError : public std::runtime_error {
 public:
  explicit RunTimeError(RunTimeErrorCode code);
  RunTimeErrorCode Code() const { return code_; }

 private:
  RunTimeErrorCode code_;
};

// "Run-time error '6': Overflow" and the like.
std::string DescribeRunTimeError(RunTimeErrorCode code);

[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseSubscriptOutOfRange();

// Thrown by the program's end ("QUIT GAME"); it is not a run-time error, so no
// error trap stops it on its way out of the frame loop.
struct ProgramEnd {};

}  // namespace rallix
