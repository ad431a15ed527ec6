#include "platform/texts.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>

namespace rekoda {

namespace {

constexpr char kContext[] = "Rekoda";

// count: the %N that counts files, for the plural forms of a translation
// (0: none). English keeps its own words either way.
struct Template {
  const char *english;
  int count;
};

// Every sentence with arguments that the core builds for the window, as it
// builds it. Texts without arguments are keys as they stand and listed too,
// so that lupdate finds them.
constexpr Template kTemplates[] = {
    // A file's result.
    {QT_TRANSLATE_NOOP("Rekoda", "OK"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Faild"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "mixed"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "not reached"), 0},
    // Reading a file.
    {QT_TRANSLATE_NOOP("Rekoda", "Error on reading Minilogger File!"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Error on reading Minilogger File! (%1)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "file too large (more than %1 MiB)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "cannot read: %1"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "not a plain file"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "not a DF file (UTF-16 or UTF-32 text)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "not an MA file (UTF-16 or UTF-32 text)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "not a DF file (no MINI LOGGER or TREND MONITOR marker)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "not an MA file (no record has a location code field)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "more than %1 lines"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "more than %1 fields on line %2"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the file changed while it was read"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "empty file (no lines)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the file holds %1 lines, more than %2"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "row %1 has no valid field count (\"%2\")"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "name has no dot"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "not enough memory for this file"), 0},
    // Writing it.
    {QT_TRANSLATE_NOOP("Rekoda", "Destination file already exists!"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "cannot write to %1: %2"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "not put in place: the run's journal cannot be written"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the file was not written"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the file is in use by another program"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "another file took the name meanwhile and could not be given it back: it is now %1: %2"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the earlier file cannot be moved to the trash: %1"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the run's journal cannot record where the earlier file goes"), 0},
    // The Start checks.
    {QT_TRANSLATE_NOOP("Rekoda", "Source datapath not found!"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Destination datapath not found!"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "No new extension found!"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Invalid new extension!"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "No rows found for conversion!"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "No rows select for conversion!"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "'%1' cannot be part of a file name"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "'%1' cannot be part of a location code"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "a control character cannot be part of a file name"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the code is only white space"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "a code cannot begin or end with a space"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "a code cannot end with a dot"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the files' character set cannot hold this code"), 0},
    // A run's end.
    {QT_TRANSLATE_N_NOOP("Rekoda", "%1 of %2 files failed."), 2},
    {QT_TRANSLATE_N_NOOP("Rekoda", "Stopped after %1 of %2 files; %3 failed."), 2},
    {QT_TRANSLATE_N_NOOP("Rekoda", "%1 of %2 files were skipped: they are in the destination folder already."), 2},
    {QT_TRANSLATE_N_NOOP("Rekoda", "%1; stopped after %2 of %3 files."), 3},
    {QT_TRANSLATE_N_NOOP("Rekoda", "The run's journal cannot be written: %1; the %2 files put in place before that can be undone"), 2},
    {QT_TRANSLATE_NOOP("Rekoda", "This run cannot be undone: %1."), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "The source folder %1 is no longer there"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "The destination folder %1 is no longer there"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "%1: %2"), 0},
    // Undo.
    {QT_TRANSLATE_N_NOOP("Rekoda", "Undo the run of %1 that wrote %2 %3 files with code %4 to %5?"), 2},
    {QT_TRANSLATE_N_NOOP("Rekoda", "The undo stopped after %1 of %2 files."), 2},
    {QT_TRANSLATE_N_NOOP("Rekoda", "The run of %1 is undone: %2 files."), 2},
    {QT_TRANSLATE_N_NOOP("Rekoda", "%1 of %2 files were not undone."), 2},
    {QT_TRANSLATE_NOOP("Rekoda", "The run of %1 is still going"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "The run's journal cannot be marked undone: %1"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "kept: its source %1 is no longer there"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "kept: its source %1 has changed since the run"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "kept: changed since the run"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "kept: it cannot be read: %1"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "kept: the file it replaced cannot come back (it was replaced without a trash)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "kept: the file it replaced cannot come back (it is no longer in the trash)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "cannot be removed: %1"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "%1 (the file it replaced stays in the trash: %2)"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the file it replaced cannot come back from the trash (%1): %2"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "it is no longer in the trash"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "its name is taken"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "its journal cannot be written: %1"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "cannot make the folder %1"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "it is closed"), 0},
    // The report's words.
    {QT_TRANSLATE_NOOP("Rekoda", "Time"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Source folder"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Destination folder"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Family"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Code"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "DF files"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "MA files"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "File"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "New name"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Result"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Reason"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "Replaced"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the older file is in the trash: %1"), 0},
    {QT_TRANSLATE_NOOP("Rekoda", "the older file is gone (no trash)"), 0},
    // The folder picker.
    {QT_TRANSLATE_NOOP("Rekoda", "Folder already exists"), 0},
};

struct Pattern {
  QRegularExpression match;
  const Template *text;
};

// The templates with arguments, the longest fixed text first, so that a
// specific sentence is taken before a general one ("%1: %2").
const QList<Pattern> &patterns() {
  static const QList<Pattern> all = [] {
    QList<Pattern> out;
    for (const Template &t : kTemplates) {
      const QString text = QString::fromUtf8(t.english);
      if (!text.contains(QRegularExpression(QStringLiteral("%[1-9]"))))
        continue;
      const QStringList parts = text.split(QRegularExpression(QStringLiteral("%[1-9]")));
      QString expression;
      for (qsizetype i = 0; i < parts.size(); ++i)
        expression += (i == 0 ? QString() : QStringLiteral("(.*?)")) + QRegularExpression::escape(parts[i]);
      out.push_back({QRegularExpression(QRegularExpression::anchoredPattern(expression),
                                        QRegularExpression::DotMatchesEverythingOption),
                     &t});
    }
    auto fixed = [](const Pattern &p) {
      return QString::fromUtf8(p.text->english).remove(QRegularExpression(QStringLiteral("%[1-9]"))).size();
    };
    std::stable_sort(out.begin(), out.end(), [&](const Pattern &a, const Pattern &b) { return fixed(a) > fixed(b); });
    return out;
  }();
  return all;
}

// %1 to %9 replaced once each, so that an argument holding "%2" stays whole.
QString fill(const QString &text, const QStringList &args) {
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int n = i + 1 < text.size() ? text[i + 1].digitValue() : -1;
    if (text[i] == u'%' && n >= 1 && n <= args.size()) {
      out += args[n - 1];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

QString translateKey(const char *key, int n = -1) { return QCoreApplication::translate(kContext, key, nullptr, n); }

QString translated(const QString &english, int depth) {
  if (english.isEmpty() || depth > 3)
    return english;
  const QByteArray key = english.toUtf8();
  if (QString t = translateKey(key.constData()); t != english)
    return t;
  if (english.contains(u'\n')) {
    QStringList lines = english.split(u'\n');
    for (QString &line : lines)
      line = translated(line, depth + 1);
    return lines.join(u'\n');
  }
  for (const Pattern &p : patterns()) {
    const auto m = p.match.match(english);
    if (!m.hasMatch())
      continue;
    QStringList args = m.capturedTexts().mid(1);
    int count = -1;
    if (p.text->count > 0 && p.text->count <= args.size())
      count = QString(args[p.text->count - 1]).remove(QRegularExpression(QStringLiteral("\\D"))).toInt();
    for (QString &arg : args)
      arg = translated(arg, depth + 1);
    return fill(translateKey(p.text->english, count), args);
  }
  // A sentence the window ends with a full stop of its own.
  if (english.endsWith(u'.') && english.size() > 1)
    if (const QString t = translated(english.chopped(1), depth + 1); t != english.chopped(1))
      return t + u'.';
  return english;
}

std::atomic<bool> translatedOn{false};
// The same reasons come back on every row and every repaint.
QMutex mutex;
QHash<QString, QString> seen;

}  // namespace

void SetTextsTranslated(bool on) {
  QMutexLocker lock(&mutex);
  seen.clear();
  translatedOn = on;
}

QString Translated(const QString &english) {
  if (!translatedOn)
    return english;
  QMutexLocker lock(&mutex);
  if (const auto it = seen.constFind(english); it != seen.constEnd())
    return *it;
  if (seen.size() > 10000)
    seen.clear();
  return seen[english] = translated(english, 0);
}

}  // namespace rekoda
