#include "ui/code_reader.h"

#include "buffer/variable.h"
#include "platform/file_system.h"
#include "platform/text_file.h"

#include <QElapsedTimer>
#include <QMetaObject>

namespace rekoda {

namespace {

// Often enough for the rows in view to fill at once, seldom enough that
// the window's thread is not kept from the user.
constexpr qsizetype kBatchFiles = 512;
constexpr qint64 kBatchMs = 40;

}  // namespace

CodeReader::CodeReader(QObject *parent) : QObject(parent) {
  qRegisterMetaType<Batch>("rekoda::CodeReader::Batch");
  thread_ = std::thread([this] { work(); });
}

CodeReader::~CodeReader() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void CodeReader::read(const QString &folder, Family family, const QStringList &names) {
  {
    std::lock_guard lock(mutex_);
    if (folder != folder_ || family != family_)
      cache_.clear();
    folder_ = folder;
    family_ = family;
    names_ = names;
    next_ = 0;
    preferred_.clear();
    done_.clear();
    ++generation_;
  }
  busy_ = !names.isEmpty();
  wake_.notify_one();
}

void CodeReader::prefer(const QStringList &names) {
  {
    std::lock_guard lock(mutex_);
    preferred_ = names;
  }
  wake_.notify_one();
}

CodeReader::Next CodeReader::nextName(QString &name, QString &folder, Family &family, quint64 &generation,
                                     bool wait) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (stop_)
      return Next::Stop;
    name.clear();
    while (name.isEmpty() && !preferred_.isEmpty()) {
      name = preferred_.takeFirst();
      if (done_.contains(name))
        name.clear();
    }
    while (name.isEmpty() && next_ < names_.size()) {
      if (!done_.contains(names_[next_]))
        name = names_[next_];
      ++next_;
    }
    if (!name.isEmpty()) {
      done_.insert(name, true);
      folder = folder_;
      family = family_;
      generation = generation_;
      return Next::Name;
    }
    if (!wait)
      return Next::Idle;
    wake_.wait(lock);
  }
}

void CodeReader::work() {
  Batch batch;
  QElapsedTimer sinceSent;
  QString name, folder;
  Family family = Family::DF;
  quint64 generation = 0, batchGeneration = 0;
  bool reading = false;  // a name taken since the last time all were read
  for (;;) {
    const Next next = nextName(name, folder, family, generation, !reading);
    if (next == Next::Stop) {
      ReleaseThreadBuffers();
      return;
    }
    if (next == Next::Idle) {
      deliver(batchGeneration, std::move(batch), true);
      batch = {};
      reading = false;
      continue;
    }
    if (generation != batchGeneration)
      batch.clear();
    batchGeneration = generation;
    reading = true;
    if (batch.empty())
      sinceSent.start();
    batch.emplace_back(name, codeOf(folder, name, family, generation));
    if (qsizetype(batch.size()) >= kBatchFiles || sinceSent.elapsed() >= kBatchMs) {
      deliver(generation, std::move(batch), false);
      batch = {};
    }
  }
}

FileCode CodeReader::codeOf(const QString &folder, const QString &name, Family family, quint64 generation) {
  // Only a file read before is looked at first: the read gives a new one
  // its stamp.
  std::optional<FileCode> cached;
  {
    std::lock_guard lock(mutex_);
    if (const auto it = cache_.constFind(name); it != cache_.constEnd())
      cached = *it;
  }
  if (cached && StampOf(JoinPath(folder, name)) == cached->stamp)
    return *cached;
  FileCode code = ReadFileCode(folder, name, family);
  std::lock_guard lock(mutex_);
  if (code.stamp.size >= 0 && generation == generation_)
    cache_.insert(name, code);
  return code;
}

void CodeReader::deliver(quint64 generation, Batch batch, bool last) {
  QMetaObject::invokeMethod(
      this,
      [this, generation, batch = std::move(batch), last] {
        if (generation != generation_)
          return;
        emit codesRead(batch);
        if (last) {
          busy_ = false;
          emit allRead();
        }
      },
      Qt::QueuedConnection);
}

}  // namespace rekoda
