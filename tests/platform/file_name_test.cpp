// File names carried losslessly between the file system's bytes and text.

#include "platform/file_name.h"

#include "test_support.h"

#include <gtest/gtest.h>

using namespace rekoda;

namespace {

// "%E9" stands for the byte 0xE9 that is not UTF-8, carried as U+DCE9.
[[maybe_unused]] QString escaped(const QString &text) {
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'%') {
      out += QChar(char16_t(0xDC00 + text.mid(i + 1, 2).toInt(nullptr, 16)));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

TEST(FileName, bytesDecodeToTextThatEncodesBackExactly) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows names are UTF-16 already";
#else
  struct Case {
    QByteArray bytes;
    QString text;  // U+DCxx stands for a byte that is not UTF-8
  };
  const Case cases[] = {
      {"DF1.L01", "DF1.L01"},
      {"DF\xC3\xA9.L01", u"DF\u00E9.L01"_qs},
      {"DF\xE9.L01", escaped(u"DF%E9.L01"_qs)},  // Latin-1
      {"\xC0\xAF", escaped(u"%C0%AF"_qs)},  // overlong '/'
      {"\xED\xA0\x80", escaped(u"%ED%A0%80"_qs)},  // an encoded surrogate
      {"\xFF\xFE", escaped(u"%FF%FE"_qs)},
      {"\xF4\x90\x80\x80", escaped(u"%F4%90%80%80"_qs)},  // past U+10FFFF
      {"DF\xF0\x9F\x98\x80", QString::fromUtf8("DF\xF0\x9F\x98\x80")},
      {"\xE2\x82", escaped(u"%E2%82"_qs)},  // cut short
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.bytes.toHex().toStdString());
    EXPECT_EQ(DecodeFileName(c.bytes), c.text);
    EXPECT_EQ(EncodeFileName(DecodeFileName(c.bytes)), c.bytes);
  }
  EXPECT_EQ(DisplayFileName(escaped(u"DF%E9.L01"_qs)), u"DF\u00E9.L01"_qs);
#endif
}

TEST(FileName, asciiUpperChangesAsciiLettersOnly) {
  EXPECT_EQ(AsciiUpper(u"az{`@[AZ09 \u0131i\u00E9"_qs), u"AZ{`@[AZ09 \u0131I\u00E9"_qs);
}

TEST(FileName, namesWindowsKeepsForDevices) {
  for (const char *name : {"CON", "con", "Nul.txt", "aux.tar.gz", "PRN ", "com1", "LPT9.log", "COM9 .x"})
    EXPECT_TRUE(IsReservedDeviceName(name)) << name;
  for (const char *name : {"CONSOLE", "xcon", "COM0", "COM10", "LPT", "com1x", "DF1.CON", ".con", ""})
    EXPECT_FALSE(IsReservedDeviceName(name)) << name;
  EXPECT_EQ(ReservedDeviceNameIn("D:\\data\\aux.d\\x"), "aux.d");
  EXPECT_EQ(ReservedDeviceNameIn("/data/in/DF1.CON"), std::nullopt);
}
