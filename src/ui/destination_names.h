#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace rekoda {

// The names in the destination folder, listed on a thread of its own, as
// the codes are read, so that a folder of 100,000 files on a slow stick
// keeps no click waiting: only the last folder asked for is listed, and its
// names come back with listed().
class DestinationNames : public QObject {
  Q_OBJECT

 public:
  explicit DestinationNames(QObject *parent = nullptr);
  ~DestinationNames() override;
  // Lists the folder anew; an empty folder text has no names.
  void list(const QString &folder);

 signals:
  void listed(const QString &folder, const QSet<QString> &names);

 private:
  void work();
  std::mutex mutex_;
  std::condition_variable wake_;
  // Guarded by mutex_.
  QString folder_;
  quint64 asked_ = 0;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace rekoda
