#include "conversion/run_engine.h"
#include "test_support.h"

#include "conversion/speaker.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#ifdef _WIN32
#include <windows.h>
#endif
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace rekoda::test {

MessageRecorder::MessageRecorder() {
  previous_ = SetMessageHandler(
      [this](const QString &text, int style) { messages_.push_back({text, style}); });
  previousQuestion_ = SetQuestionHandler([this](const QString &text) {
    questions << text;
    if (onQuestion)
      onQuestion();
    return answer;
  });
  previousConfirm_ = SetConfirmHandler([this](const QString &text, const QString &) {
    questions << text;
    return confirm;
  });
}

MessageRecorder::~MessageRecorder() {
  SetMessageHandler(std::move(previous_));
  SetQuestionHandler(std::move(previousQuestion_));
  SetConfirmHandler(std::move(previousConfirm_));
}

QStringList MessageRecorder::texts() const {
  QStringList out;
  for (const auto &m : messages_)
    out << m.text;
  return out;
}

bool UnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

TempFolder::TempFolder() { EXPECT_TRUE(dir_.isValid()); }

QString TempFolder::file(const QString &name) const { return dir_.filePath(name); }

QString TempFolder::write(const QString &name, const QByteArray &bytes) const {
  const QString path = file(name);
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  EXPECT_EQ(f.write(bytes), bytes.size());
  return path;
}

QString TempFolder::mkdir(const QString &name) const {
  EXPECT_TRUE(QDir(path()).mkpath(name));
  return file(name);
}

QStringList TempFolder::entries() const {
  return QDir(path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                QDir::Name);
}

QByteArray readBytes(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return QByteArray("<missing>");
  return f.readAll();
}

QByteArray rendered(FieldWriter writer, bool utf8Bom) {
  std::string bytes;
  const Reason refused = RenderBufferFile(writer, utf8Bom, bytes);
  EXPECT_TRUE(refused.isNone()) << English(refused).toStdString();
  return QByteArray::fromStdString(bytes);
}

std::vector<FileOutcome> convert(const ConversionJob &job) {
  struct Recorder : RunObserver {
    std::vector<FileOutcome> outcomes;
    void fileDone(qsizetype index, const FileOutcome &o) override {
      EXPECT_EQ(index, qsizetype(outcomes.size()));
      outcomes.push_back(o);
    }
    void fileHandled(qsizetype, qint64) override {}
    bool stopRequested() override { return false; }
  } recorder;
  RunJob(job, recorder);
  return recorder.outcomes;
}

#ifdef _WIN32

FileSizeLimit::FileSizeLimit(long long) {}
FileSizeLimit::~FileSizeLimit() = default;
NoFreeHandles::NoFreeHandles() {}
NoFreeHandles::~NoFreeHandles() = default;

#else

FileSizeLimit::FileSizeLimit(long long bytes) {
  oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit rl{};
  getrlimit(RLIMIT_FSIZE, &rl);
  oldSoft_ = static_cast<long long>(rl.rlim_cur);
  rl.rlim_cur = static_cast<rlim_t>(bytes);
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &rl), 0);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit rl{};
  getrlimit(RLIMIT_FSIZE, &rl);
  rl.rlim_cur = static_cast<rlim_t>(oldSoft_);
  setrlimit(RLIMIT_FSIZE, &rl);
  std::signal(SIGXFSZ, oldHandler_);
}

NoFreeHandles::NoFreeHandles() {
  rlimit rl{};
  getrlimit(RLIMIT_NOFILE, &rl);
  oldSoft_ = static_cast<long long>(rl.rlim_cur);
  // The lowest free descriptor number is the count of those below it in use.
  int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  rl.rlim_cur = static_cast<rlim_t>(probe);
  ::close(probe);
  EXPECT_EQ(setrlimit(RLIMIT_NOFILE, &rl), 0);
}

NoFreeHandles::~NoFreeHandles() {
  rlimit rl{};
  getrlimit(RLIMIT_NOFILE, &rl);
  rl.rlim_cur = static_cast<rlim_t>(oldSoft_);
  setrlimit(RLIMIT_NOFILE, &rl);
}

#endif

}  // namespace rekoda::test
