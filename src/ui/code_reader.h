#pragma once

#include "conversion/file_code.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <optional>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace rekoda {

// Reads the codes of a listing's files on a thread of its own, so that the
// window answers as when idle and a run waits for nothing: the files asked
// for first (the rows in view), then the rest in list order. A file whose
// size and change time are as when it was last read is not read again.
class CodeReader : public QObject {
  Q_OBJECT

 public:
  using Batch = std::vector<std::pair<QString, FileCode>>;

  explicit CodeReader(QObject *parent = nullptr);
  ~CodeReader() override;

  // A new listing: what was still to read of the last one is dropped.
  void read(const QString &folder, Family family, const QStringList &names);
  // These next, before the rest.
  void prefer(const QStringList &names);
  bool busy() const { return busy_; }

 signals:
  void codesRead(const rekoda::CodeReader::Batch &batch);
  // Every file of the listing has its code.
  void allRead();

 private:
  enum class Next { Name, Idle, Stop };
  void work();
  // The next name to read; Idle when none is left and wait is false.
  Next nextName(QString &name, QString &folder, Family &family, quint64 &generation, bool wait);
  FileCode codeOf(const QString &folder, const QString &name, Family family, quint64 generation);
  void deliver(quint64 generation, Batch batch, bool last);

  std::mutex mutex_;
  std::condition_variable wake_;
  // Guarded by mutex_.
  QString folder_;
  Family family_ = Family::DF;
  QStringList names_;
  qsizetype next_ = 0;
  QStringList preferred_;
  QHash<QString, bool> done_;
  QHash<QString, FileCode> cache_;
  bool stop_ = false;
  // The listing's number: a batch of an earlier one is dropped.
  std::atomic<quint64> generation_{0};
  bool busy_ = false;  // on the window's thread
  std::thread thread_;
};

}  // namespace rekoda
