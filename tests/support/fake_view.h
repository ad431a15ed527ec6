#pragma once

#include "conversion/conversion_view.h"
#include "conversion/run_engine.h"
#include "conversion/run_record.h"
#include "conversion/speaker.h"
#include "conversion/window_start.h"
#include "test_support.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace rekoda::test {

struct Row {
  QString text;
  bool selected = false;
  QString result;
  QString reason;
};

// The window as the run sees it, with a log of what the run did to it.
class FakeView : public ConversionView {
 public:
  QString source, dest, code = "L02";
  bool df = true;
  std::vector<Row> rows;
  qint64 pmin = -1, pmax = -1, pvalue = -1;
  bool pvisible = false;
  bool busy = false;
  QStringList log;
  std::vector<qint64> progressSeen;
  std::function<void(qint64)> onHandled;  // called with the number of files handled so far
  bool stop = false;
  QStringList resultsSet;  // every file given a result, in that order
  size_t hint = 0;

  QString sourceFolder() const override { return source; }
  void setSourceFolder(const QString &f) override { source = f; }
  QString destinationFolder() const override { return dest; }
  void setDestinationFolder(const QString &f) override { dest = f; }
  QString newCode() const override { return code; }
  bool isDFFamily() const override { return df; }
  qsizetype rowCount() const override { return static_cast<qsizetype>(rows.size()); }
  bool isRowSelected(qsizetype r) const override { return rows.at(size_t(r - 1)).selected; }
  QString rowText(qsizetype r) const override { return rows.at(size_t(r - 1)).text; }
  void clearRowResult(qsizetype r) override {
    rows.at(size_t(r - 1)).result.clear();
    rows.at(size_t(r - 1)).reason.clear();
  }
  // Results find their row by name, as the window's do.
  void showResult(const QString &file, const QString &res, const QString &why) {
    // Results mostly come in list order: look on from the last one found.
    const size_t n = rows.size();
    for (size_t k = 0; k < n; ++k) {
      Row &r = rows[(hint + k) % n];
      if (r.text == file) {
        r.result = res;
        r.reason = why;
        hint = (hint + k) % n;
        resultsSet << file;
        return;
      }
    }
    ADD_FAILURE() << "no row shows " << file.toStdString();
  }
  void setProgressMinimum(qint64 v) override { pmin = v; }
  void setProgressMaximum(qint64 v) override { pmax = v; }
  void setProgressValue(qint64 v) override {
    pvalue = v;
    progressSeen.push_back(v);
  }
  void setProgressVisible(bool v) override {
    pvisible = v;
    log << QString("bar %1").arg(v);
  }
  void setControlEnabled(RunControl c, bool on) override {
    log << QString("%1 %2").arg(on ? "unlock" : "lock").arg(int(c));
  }
  void setBusyPointer(bool b) override {
    busy = b;
    log << QString("busy %1").arg(b);
  }
  // Shown in English, through the one message function, as rekoda-cli says it.
  void showProblem(const Reason &problem, MessageStyle style) override { ShowMessage(English(problem), style); }

  QStringList results() const {
    QStringList out;
    for (const auto &r : rows)
      out << r.result;
    return out;
  }
  QStringList reasons() const {
    QStringList out;
    for (const auto &r : rows)
      out << r.reason;
    return out;
  }
  void addRows(const QStringList &names, bool selected = true) {
    for (const auto &n : names)
      rows.push_back({n, selected, "stale", {}});
  }
};

// Follows a run as the window does: keeps its record and shows each result
// on the row of its file.
class RecordingObserver : public RunObserver {
 public:
  RecordingObserver(FakeView &view, RunRecord &record) : view_(view), record_(record) {}
  void fileDone(qsizetype index, const FileOutcome &o) override {
    record_.settle(index, o);
    view_.showResult(o.file, ResultText(record_.file(index)), English(o.reason));
  }
  void fileHandled(qsizetype, qint64 handled) override {
    view_.setProgressValue(handled);
    view_.log << "handled";
    if (view_.onHandled)
      view_.onHandled(handled);
  }
  bool stopRequested() override { return view_.stop; }

 private:
  FakeView &view_;
  RecordingObserver &operator=(const RecordingObserver &) = delete;
  RunRecord &record_;
};

// Start as it ships, without a window: the checks, the run of the job
// through the observer, and the one message at its end. The record of the
// run; empty when Start went no further than its checks.
inline RunRecord StartRun(FakeView &view) {
  const auto job = PrepareStart(view);
  if (!job)
    return {};
  RunRecord record(*job);
  ShowRunStarting(view, *job);
  RecordingObserver observer(view, record);
  record.finish(RunJob(*job, observer));
  ShowRunEnded(view);
  if (const auto message = FailureSummary(record.summary()))
    ShowMessage(*message, MsgPlain);
  return record;
}

// A run between two real temporary folders, with the boxes recorded.
class RunFixture : public ::testing::Test {
 protected:
  TempFolder in, out;
  FakeView view;
  MessageRecorder messages;
  void SetUp() override {
    view.source = in.path();
    view.dest = out.path();
  }
};

}  // namespace rekoda::test
