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

inline void writeFile(const QString &path, const char *data, size_t size) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(data, qint64(size)) != qint64(size))
    std::abort();
}

inline int roundTrip(const uint8_t *data, size_t size, Reader read, FieldWriter writeField, Stamp stamp) {
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/rekoda-fuzz-XXXXXX"
                                                       : QDir::tempPath() + "/rekoda-fuzz-XXXXXX");
  const QString in = dir.filePath("IN.L01");
  writeFile(in, reinterpret_cast<const char *>(data), size);
  if (read(in) != ReadOk)
    return 0;
  stamp();
  const Rows before = snapshot();
  std::string out;
  if (!RenderBufferFile(writeField, false, out).isNone())
    std::abort();
  writeFile(dir.filePath("IN.FZ"), out.data(), out.size());
  if (read(dir.filePath("IN.FZ")) != ReadOk)
    std::abort();
  if (snapshot() != before)
    std::abort();
  return 0;
}

}  // namespace rekoda::fuzz
