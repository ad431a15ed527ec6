// The report lines, where their escapes are made.

#include "conversion/report.h"

#include "platform/file_name.h"

#include <gtest/gtest.h>

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
