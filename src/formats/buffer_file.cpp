#include "formats/buffer_file.h"

#include "buffer/field_buffer.h"
#include "buffer/variable.h"
#include "platform/message.h"
#include "platform/text_file.h"

#include <charconv>

namespace rekoda {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

void storeRow(int row, long long lastField) {
  auto &dst = FieldBuffer[static_cast<size_t>(row)];
  dst[0] = std::to_string(lastField + 1);
  for (long long j = 0; j <= lastField; ++j)
    dst[static_cast<size_t>(j + 1)] = SplitFields[static_cast<size_t>(j)];
}

int failRead(int status, ReadReport *report, const Reason &reason) {
  ResetBuf();
  if (report)
    report->reason = reason;
  return status;
}

// A byte-order mark of UTF-16 or UTF-32 (either order) opens the line.
bool startsWithWideBom(const std::string &line) {
  auto starts = [&line](const char *bom, size_t n) { return line.size() >= n && line.compare(0, n, bom, n) == 0; };
  static constexpr char kUtf32BigEndian[] = {'\0', '\0', '\xFE', '\xFF'};
  return starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2) || starts(kUtf32BigEndian, 4);
}

}  // namespace

std::optional<int> RowFieldCount(const std::string &text) {
  int n = -1;
  const auto *end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, n);
  if (text.empty() || ec != std::errc() || ptr != end || n < 0 || n > kMaxFields)
    return std::nullopt;
  return n;
}

namespace {

Reason tooLargeReason() { return {Reason::Kind::TooLarge, {}, kMaxTextFileBytes >> 20}; }

// A file that did not open: its status, with the reason; ReadOk when it did.
int failOpen(TextFileReader::OpenResult result, const TextFileReader &in, ReadReport *report) {
  switch (result) {
    case TextFileReader::OpenResult::Ok:
      return ReadOk;
    case TextFileReader::OpenResult::NoHandle:
      if (!report)
        ShowMessage(QString::fromLatin1(kReadErrorText), MsgPlain);
      else
        report->outOfHandles = true;
      return failRead(ReadOpenFailed, report, {Reason::Kind::ReadErrorBecause, in.status()});
    case TextFileReader::OpenResult::TooLarge:
      return failRead(ReadTooLarge, report, tooLargeReason());
    case TextFileReader::OpenResult::NotPlain:
    case TextFileReader::OpenResult::Failed:
      break;
  }
  return failRead(ReadOpenFailed, report, {Reason::Kind::CannotRead, in.status()});
}

// Why the reading stopped before the end; ReadOk when it reached it.
int failReading(const TextFileReader &in, ReadReport *report) {
  switch (in.failure()) {
    case TextFileReader::Failure::None:
      return ReadOk;
    case TextFileReader::Failure::Io:
      return failRead(ReadOpenFailed, report, {Reason::Kind::CannotRead, in.status()});
    case TextFileReader::Failure::TooLarge:
      return failRead(ReadTooLarge, report, tooLargeReason());
    case TextFileReader::Failure::Changed:
      break;
  }
  return failRead(ReadOpenFailed, report, Reason::Kind::ChangedWhileRead);
}

// The checks of line i, split already: ReadOk, or the failure stored.
int checkLine(int i, long long lastField, FirstLineTest firstLineTest, ReadReport *report) {
  if (i == 1 && firstLineTest && !firstLineTest(lastField))
    return failRead(ReadNoMarker, report, Reason::Kind::NoMarker);
  // Refuse what the buffer cannot hold rather than cut it silently.
  if (i > kMaxRows)
    return failRead(ReadTooLarge, report, {Reason::Kind::TooManyLines, {}, kMaxRows});
  if (lastField + 1 > kMaxFields)
    return failRead(ReadTooLarge, report, {Reason::Kind::TooManyFields, {}, kMaxFields, i});
  return ReadOk;
}

}  // namespace

int ReadBufferFile(const QString &Filenaam, FirstLineTest firstLineTest, const char *family,
                   ReadReport *report) {
  ResetBuf();
  if (report)
    *report = ReadReport{};

  TextFileReader in;
  if (const int status = failOpen(in.open(Filenaam), in, report); status != ReadOk)
    return status;
  if (report) {
    report->size = in.openSize();
    report->changed = in.openChanged();
  }

  std::string line;
  int i = 1;
  while (in.readLine(line)) {
    if (i == 1) {
      if (startsWithWideBom(line))
        return failRead(ReadNotText, report, family[0] == 'M' ? Reason::Kind::NotMAWide : Reason::Kind::NotDFWide);
      if (line.compare(0, 3, kUtf8Bom) == 0) {
        line.erase(0, 3);
        if (report)
          report->utf8Bom = true;
      }
    }
    const long long lastField = SplitRegel(line);
    if (const int status = checkLine(i, lastField, firstLineTest, report); status != ReadOk)
      return status;
    storeRow(i, lastField);
    ++i;
  }
  if (const int status = failReading(in, report); status != ReadOk)
    return status;
  if (i == 1)
    return failRead(ReadEmpty, report, Reason::Kind::EmptyFile);
  LineCount = i - 1;
  return ReadOk;
}

std::optional<QString> OutputFileName(const QString &Filename, const QString &sExtension) {
  const auto dot = Filename.indexOf(u'.');
  if (dot < 0)
    return std::nullopt;
  return Filename.left(dot + 1) + sExtension;
}


Reason RenderBufferFile(FieldWriter writeField, bool utf8Bom, std::string &out) {
  out.clear();
  if (LineCount < 0 || LineCount > kMaxRows)
    return {Reason::Kind::HoldsTooManyLines, {}, LineCount, kMaxRows};
  if (utf8Bom)
    out += kUtf8Bom;
  for (int r = 1; r <= LineCount; ++r) {
    const auto &row = FieldBuffer[static_cast<size_t>(r)];
    const auto count = RowFieldCount(row[0]);
    if (!count)
      return {Reason::Kind::BadFieldCount, {QString::fromLocal8Bit(row[0])}, r};
    const size_t lineStart = out.size();
    for (int k = 1; k <= *count; ++k) {
      writeField(r, k, row[static_cast<size_t>(k)], out);
      out += ',';
    }
    if (out.size() > lineStart)
      out.pop_back();
    out += "\r\n";
  }
  // Data that happens to begin with the bytes of a byte-order mark would be
  // taken for one when the file is read again. A quote in front changes no
  // field (quotes are dropped on reading) and keeps the bytes data.
  const size_t body = utf8Bom ? 3 : 0;
  if (startsWithWideBom(out.substr(body, 4)) || out.compare(body, 3, kUtf8Bom) == 0)
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(body), '"');
  return {};
}

}  // namespace rekoda
