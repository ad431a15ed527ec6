#include "platform/text_file.h"

#include <cstring>

namespace rekoda {

TextFileReader::~TextFileReader() { close(); }

bool TextFileReader::refill() {
  if (eof_ || failed())
    return false;
  // Everything the file held at open is read: the end is told by the look
  // at its size and change time below, not by one more read that returns
  // nothing (a file that grew since fails there).
  const long long n = total_ == openSize_ ? 0 : readSome();
  if (n < 0) {
    failure_ = Failure::Io;
    return false;
  }
  if (n == 0) {
    eof_ = true;
    long long size = 0, changed = 0;
    if (!stamp(size, changed) || size != openSize_ || changed != openChanged_ || size != total_)
      failure_ = Failure::Changed;
    return false;
  }
  // The size at open says little of a file that is still growing.
  total_ += n;
  if (total_ > kMaxTextFileBytes) {
    failure_ = Failure::TooLarge;
    return false;
  }
  pos_ = 0;
  len_ = n;
  return true;
}

bool TextFileReader::readLine(std::string &line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (pos_ == len_ && !refill())
      return any && !failed();
    if (skipLineFeed_) {
      skipLineFeed_ = false;
      if (buf_[static_cast<size_t>(pos_)] == '\n') {
        ++pos_;
        continue;
      }
    }
    const char *start = buf_.data() + pos_;
    const char *end = buf_.data() + len_;
    // The line feed first, then a carriage return before it: both with
    // memchr, a line of a hundred bytes in a few steps.
    const auto *lf = static_cast<const char *>(std::memchr(start, '\n', static_cast<size_t>(end - start)));
    const char *lineEnd = lf ? lf : end;
    const auto *cr = static_cast<const char *>(std::memchr(start, '\r', static_cast<size_t>(lineEnd - start)));
    const char *stop = cr ? cr : lineEnd;
    line.append(start, static_cast<size_t>(stop - start));
    if (stop != end) {
      skipLineFeed_ = *stop == '\r';
      pos_ = stop - buf_.data() + 1;
      return true;
    }
    pos_ = len_;
    any = true;
  }
}

std::optional<FileStamp> StampOf(const QString &path) {
  TextFileReader reader;
  if (reader.open(path) != TextFileReader::OpenResult::Ok)
    return std::nullopt;
  return FileStamp{reader.openSize(), reader.openChanged()};
}

}  // namespace rekoda
