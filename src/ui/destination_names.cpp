#include "ui/destination_names.h"

#include "platform/file_system.h"

#include <QMetaObject>

namespace rekoda {

DestinationNames::DestinationNames(QObject *parent) : QObject(parent) {
  thread_ = std::thread([this] { work(); });
}

DestinationNames::~DestinationNames() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void DestinationNames::list(const QString &folder) {
  {
    std::lock_guard lock(mutex_);
    folder_ = folder;
    ++asked_;
  }
  wake_.notify_one();
}

void DestinationNames::work() {
  quint64 done = 0;
  for (;;) {
    QString folder;
    quint64 asked = 0;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stop_ || asked_ != done; });
      if (stop_)
        return;
      folder = folder_;
      asked = done = asked_;
    }
    QSet<QString> names;
    if (!folder.isEmpty())
      for (const QString &n : ListMatchingFiles(folder, QStringLiteral("*")).value_or(QStringList()))
        names.insert(n);
    // Told on the window's thread, unless another folder was asked for since.
    QMetaObject::invokeMethod(this, [this, folder, names, asked] {
      std::unique_lock lock(mutex_);
      const bool latest = asked == asked_;
      lock.unlock();
      if (latest)
        emit listed(folder, names);
    }, Qt::QueuedConnection);
  }
}

}  // namespace rekoda
