// The report lines, where their escapes are made.

#include "conversion/reason_json.h"
#include "conversion/report.h"
#include "conversion/speaker.h"

#include "platform/file_name.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <cerrno>

using namespace rekoda;

TEST(Report, fieldsEscapeWhatWouldBreakALineAndKeepEverythingElse) {
  const struct {
    QString text;
    QByteArray field;
  } cases[] = {
      {"DF1.L01", "DF1.L01"},
      {"a\tb\nc\rd\\e", "a\\tb\\nc\\rd\\\\e"},
      {QString("x") + QChar(1) + QChar(0x1F) + QChar(0x7F), "x\\x01\\x1f\\x7f"},
      {u"DF\u00E9\U0001F600.L01"_qs, "DF\xC3\xA9\xF0\x9F\x98\x80.L01"},
#ifndef _WIN32
      {DecodeFileName("DFlat\xE9.L01"), "DFlat\xE9.L01"},  // the name's own byte
#endif
  };
  for (const auto &c : cases)
    EXPECT_EQ(ReportField(c.text), c.field) << c.field.constData();
  FileOutcome failed;
  failed.file = "a\tb.L01";
  failed.output = "a\tb.X";
  failed.reason = Reason(Reason::Kind::Unexpected, {"why\nnot"});
  EXPECT_EQ(TextReportLine(failed),
            "a\\tb.L01\ta\\tb.X\tFaild\twhy\\nnot\n");
  FileOutcome ok;
  ok.file = u"\U0001F600\\\"\t.L01"_qs;
  ok.ok = true;
  EXPECT_EQ(JsonReportLine(ok),
            "{\"file\":\"\xF0\x9F\x98\x80\\\\\\\"\\u0009.L01\",\"output\":\"\",\"result\":\"OK\",\"reason\":\"\"}\n");
  // Every control character is escaped, the last of them too.
  FileOutcome control;
  control.file = QString("DF") + QChar(0x1F);
  EXPECT_TRUE(JsonReportLine(control)
                  .startsWith("{\"file\":\"DF\\u001f\""));
}

// A reason as a journal keeps it comes back whole, for the report of a run
// made again after a restart; from another version, as its English words.
TEST(Report, aReasonKeptInAJournalComesBackWhole) {
  const QString name = DecodeFileName("DFlat\xE9.L01");  // no UTF-8 on Linux
  const Reason reasons[] = {
      Reason::Kind::NoMarker,
      {Reason::Kind::CannotRead, Status::Failed(Status::Op::Open, EACCES, "/media/stick/" + name)},
      {Reason::Kind::BadFieldCount, {name}, 7},
      Reason::About(Reason::Kind::EarlierFileInTrash, {Reason::Kind::WriteFailed, Status::Failed(Status::Op::Write, ENOSPC)},
                    {name}, Status::FromWindows(Status::Op::Rename, 32, name)),
  };
  for (const Reason &r : reasons) {
    const QJsonObject kept = QJsonDocument::fromJson(QJsonDocument(ReasonToJson(r)).toJson()).object();
    const Reason back = ReasonFromJson(kept, true);
    EXPECT_EQ(English(back), English(r));
    EXPECT_EQ(back.args, r.args);
    EXPECT_EQ(back.status, r.status);
    EXPECT_EQ(back.inner != nullptr, r.inner != nullptr);
    const Reason older = ReasonFromJson(kept, false);
    EXPECT_EQ(older.kind, Reason::Kind::Unexpected);
    EXPECT_EQ(English(older), English(r));
  }
}
