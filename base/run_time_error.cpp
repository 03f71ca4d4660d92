#include "base/run_time_error.h"

namespace rallix {

std::string DescribeRunTimeError(RunTimeErrorCode code) {
  switch (code) {
    case RunTimeErrorCode::kOverflow:
      return "Run-time error '6': Overflow";
    case RunTimeErrorCode::kSubscriptOutOfRange:
      return "Run-time error '9': Subscript out of range";
  }
  return "Run-time error";
}

RunTimeError::RunTimeError(RunTimeErrorCode code)
    : std::runtime_error(DescribeRunTimeError(code)), code_(code) {}

void RaiseOverflow() {
  throw RunTimeError(RunTimeErrorCode::kOverflow);
}

void RaiseSubscriptOutOfRange() {
  throw RunTimeError(RunTimeErrorCode::kSubscriptOutOfRange);
}

}  // namespace rallix
