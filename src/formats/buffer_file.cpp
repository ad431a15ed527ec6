#include "formats/buffer_file.h"

#include "buffer/field_buffer.h"
#include "buffer/variable.h"
#include "platform/file_system.h"
#include "platform/message.h"
#include "platform/text_file.h"

#include <charconv>

namespace rekoda {

namespace {

void storeRow(int row, long long lastField) {
  auto &dst = FieldBuffer[static_cast<size_t>(row)];
  dst[0] = std::to_string(lastField + 1);
  for (long long j = 0; j <= lastField; ++j)
    dst[static_cast<size_t>(j + 1)] = SplitFields[static_cast<size_t>(j)];
}

int failRead(int status) {
  ResetBuf();
  return status;
}

// Field 0 as a count within the row; none when it is not one.
std::optional<int> fieldCount(const std::string &text) {
  int n = -1;
  const auto *end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, n);
  if (text.empty() || ec != std::errc() || ptr != end || n < 0 || n > kMaxFields)
    return std::nullopt;
  return n;
}

}  // namespace

int ReadBufferFile(const QString &Filenaam, FirstLineTest firstLineTest) {
  ResetBuf();

  TextFileReader in;
  switch (in.open(Filenaam)) {
    case TextFileReader::OpenResult::Ok:
      break;
    case TextFileReader::OpenResult::NoHandle:
      ShowMessage(QString::fromLatin1(kReadErrorText), MsgPlain);
      return ReadOpenFailed;
    case TextFileReader::OpenResult::Failed:
      return ReadOpenFailed;
  }

  std::string line;
  int i = 1;
  while (in.readLine(line)) {
    const long long lastField = SplitRegel(line);
    if (i == 1 && firstLineTest && !firstLineTest(lastField))
      return failRead(ReadNoMarker);
    // Refuse what the buffer cannot hold rather than cut it silently.
    if (i > kMaxRows || lastField + 1 > kMaxFields)
      return failRead(ReadTooLarge);
    storeRow(i, lastField);
    ++i;
  }
  if (in.failed())
    return failRead(ReadOpenFailed);
  if (i == 1)
    return failRead(ReadEmpty);
  LineCount = i - 1;
  return ReadOk;
}

std::optional<QString> OutputFilePath(const QString &destFolder, const QString &Filename,
                                      const QString &sExtension) {
  const auto dot = Filename.indexOf(u'.');
  if (dot < 0)
    return std::nullopt;
  return JoinPath(destFolder, Filename.left(dot + 1) + sExtension);
}

bool WriteBufferFile(const QString &destFolder, const QString &Filename, const QString &sExtension,
                     FieldWriter writeField) {
  const auto path = OutputFilePath(destFolder, Filename, sExtension);
  if (!path)
    return false;

  if (LineCount < 0 || LineCount > kMaxRows) {
    ShowMessage(QStringLiteral("Cannot write %1: the file holds %2 lines, more than %3.")
                    .arg(*path)
                    .arg(LineCount)
                    .arg(kMaxRows));
    return false;
  }

  TextFileWriter out(*path);
  if (!out.open()) {
    ShowMessage(out.errorString());
    return false;
  }
  std::string line;
  for (int r = 1; r <= LineCount; ++r) {
    const auto &row = FieldBuffer[static_cast<size_t>(r)];
    const auto count = fieldCount(row[0]);
    if (!count) {
      out.cancel();
      ShowMessage(QStringLiteral("Cannot write %1: row %2 has no valid field count (\"%3\").")
                      .arg(*path)
                      .arg(r)
                      .arg(QString::fromLocal8Bit(row[0])));
      return false;
    }
    line.clear();
    for (int k = 1; k <= *count; ++k) {
      writeField(r, k, row[static_cast<size_t>(k)], line);
      line += ',';
    }
    if (!line.empty())
      line.pop_back();
    if (!out.writeLine(line)) {
      ShowMessage(out.errorString());
      return false;
    }
  }
  if (!out.commit()) {
    ShowMessage(out.errorString());
    return false;
  }
  return true;
}

}  // namespace rekoda
