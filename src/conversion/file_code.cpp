#include "conversion/file_code.h"

#include "buffer/variable.h"
#include "formats/buffer_file.h"
#include "formats/df/df_file.h"
#include "formats/ma/ma_file.h"
#include "platform/file_system.h"

namespace rekoda {

FileCode ReadFileCode(const QString &folder, const QString &name, Family family) {
  FileCode code;
  ReadReport report;
  const QString path = JoinPath(folder, name);
  const bool df = family == Family::DF;
  const int status = df ? ReadDFFile(path, &report) : ReadMAFile(path, &report);
  code.stamp = {report.size, report.changed};
  if (status != ReadOk) {
    code.problem = report.reason;
    return code;
  }
  if (!OutputFileName(name, QString())) {
    code.problem = Reason::Kind::NoDot;
  } else if (df) {
    code.codes << QString::fromLocal8Bit(FieldBuffer[1][1]);
  } else {
    // The records that have the field are the ones a run stamps.
    for (int r = 1; r <= LineCount; ++r) {
      const auto &row = FieldBuffer[static_cast<size_t>(r)];
      if (RowFieldCount(row[0]).value_or(0) < 4)
        continue;
      const QString c = QString::fromLocal8Bit(row[4]);
      if (!code.codes.contains(c))
        code.codes << c;
    }
    if (code.codes.isEmpty())
      code.problem = Reason::Kind::NoCodeField;
  }
  return code;
}

}  // namespace rekoda
