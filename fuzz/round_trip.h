#pragma once

// A file that reads with status 0 must write, read back with status 0 and
// give the same fields. Only trailing empty fields may go: a bare empty last
// field is written as a final comma, which opens no field on the next read.

#include "buffer/variable.h"
#include "formats/buffer_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace rekoda::fuzz {

using Reader = int (*)(const QString &);
using Writer = bool (*)(const QString &, const QString &, const QString &);
using Stamp = void (*)();
using Rows = std::vector<std::vector<std::string>>;

inline Rows snapshot() {
  Rows rows;
  for (int r = 1; r <= LineCount; ++r) {
    const auto &src = FieldBuffer[static_cast<size_t>(r)];
    std::vector<std::string> fields(src.begin() + 1, src.begin() + 1 + std::stoi(src[0]));
    while (!fields.empty() && fields.back().empty())
      fields.pop_back();
    rows.push_back(std::move(fields));
  }
  return rows;
}

inline int roundTrip(const uint8_t *data, size_t size, Reader read, Writer write, Stamp stamp) {
  // tmpfs where there is one: the writer syncs every file it commits.
  static QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/rekoda-fuzz-XXXXXX"
                                                       : QDir::tempPath() + "/rekoda-fuzz-XXXXXX");
  const QString in = dir.filePath("IN.L01");
  {
    QFile f(in);
    if (!f.open(QIODevice::WriteOnly) || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
      std::abort();
  }
  if (read(in) != ReadOk)
    return 0;
  stamp();
  const Rows before = snapshot();
  if (!write(dir.path(), "IN.L01", "FZ"))
    std::abort();
  if (read(dir.filePath("IN.FZ")) != ReadOk)
    std::abort();
  if (snapshot() != before)
    std::abort();
  return 0;
}

}  // namespace rekoda::fuzz
