#include "ui/file_enumerator.h"

#include "platform/file_system.h"

namespace rekoda {

void FileEnumerator::setPath(const QString &path) {
  path_ = path;
  stale_ = true;
}

void FileEnumerator::setPattern(const QString &pattern) {
  pattern_ = pattern;
  stale_ = true;
}

void FileEnumerator::clear() {
  path_.clear();
  list_.clear();
  error_ = {};
  stale_ = false;
}

const QStringList &FileEnumerator::list() {
  if (stale_) {
    error_ = {};
    list_ = path_.isEmpty() ? QStringList() : ListMatchingFiles(path_, pattern_, &error_).value_or(QStringList());
    stale_ = false;
  }
  return list_;
}

}  // namespace rekoda
