#include "platform/status.h"

#include "platform/file_system.h"

namespace rekoda {

namespace {

// Windows' sharing and lock violations.
constexpr int kSharingViolation = 32;
constexpr int kLockViolation = 33;

}  // namespace

bool Status::inUse() const { return windows_ && (code_ == kSharingViolation || code_ == kLockViolation); }

QString Status::systemText() const {
  if (code_ == 0)
    return {};
#ifdef _WIN32
  if (windows_)
    return WindowsErrorText(static_cast<unsigned long>(code_));
#endif
  return ErrorText(code_);
}

}  // namespace rekoda
