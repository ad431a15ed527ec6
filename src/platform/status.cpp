#include "platform/status.h"

#include "platform/file_system.h"

#include <cerrno>

namespace rekoda {

namespace {

// Windows' sharing and lock violations.
constexpr int kSharingViolation = 32;
constexpr int kLockViolation = 33;
constexpr int kFileExists = 80;
constexpr int kAlreadyExists = 183;

}  // namespace

bool Status::inUse() const { return windows_ && (code_ == kSharingViolation || code_ == kLockViolation); }

bool Status::nameTaken() const {
  return windows_ ? code_ == kFileExists || code_ == kAlreadyExists : code_ == EEXIST;
}

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
