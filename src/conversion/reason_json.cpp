#include "conversion/reason_json.h"

#include "conversion/speaker.h"
#include "platform/file_name.h"

#include <QJsonArray>

namespace rekoda {

QJsonObject ReasonToJson(const Reason &reason) {
  QJsonObject o{{"kind", int(reason.kind)}, {"words", English(reason)}};
  if (!reason.args.isEmpty()) {
    // Arguments are names and folders as often as not: where one is no
    // UTF-8, the bytes of all go beside them.
    QJsonArray texts, raw;
    bool bytes = false;
    for (const QString &a : reason.args) {
      const QString shown = DisplayFileName(a);
      texts.append(shown);
      raw.append(QString::fromLatin1(EncodeFileName(a).toBase64()));
      bytes = bytes || shown != a;
    }
    o.insert("args", texts);
    if (bytes)
      o.insert("argBytes", raw);
  }
  if (reason.n != 0)
    o.insert("n", reason.n);
  if (reason.m != 0)
    o.insert("m", reason.m);
  if (!reason.status.ok()) {
    o.insert("op", int(reason.status.op()));
    o.insert("code", reason.status.code());
    o.insert("windows", reason.status.isWindowsCode());
    o.insert("path", QString::fromLatin1(EncodeFileName(reason.status.path()).toBase64()));
  }
  if (reason.inner)
    o.insert("inner", ReasonToJson(*reason.inner));
  return o;
}

Reason ReasonFromJson(const QJsonObject &o, bool sameVersion) {
  const int kind = o["kind"].toInt(-1);
  if (!sameVersion || kind < 0 || kind >= int(Reason::Kind::Count))
    return {Reason::Kind::Unexpected, {o["words"].toString()}};
  Reason r(static_cast<Reason::Kind>(kind));
  const QJsonArray raw = o["argBytes"].toArray();
  const QJsonArray args = o["args"].toArray();
  for (qsizetype i = 0; i < args.size(); ++i)
    r.args << (raw.isEmpty() ? args[i].toString() : DecodeFileName(QByteArray::fromBase64(raw[i].toString().toLatin1())));
  r.n = o["n"].toInteger();
  r.m = o["m"].toInteger();
  if (o.contains("op")) {
    const auto op = static_cast<Status::Op>(o["op"].toInt());
    const QString path = DecodeFileName(QByteArray::fromBase64(o["path"].toString().toLatin1()));
    r.status = o["windows"].toBool() ? Status::FromWindows(op, static_cast<unsigned long>(o["code"].toInteger()), path)
                                     : Status::Failed(op, o["code"].toInt(), path);
  }
  if (o.contains("inner"))
    r.inner = std::make_shared<const Reason>(ReasonFromJson(o["inner"].toObject(), sameVersion));
  return r;
}

}  // namespace rekoda
