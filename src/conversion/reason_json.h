#pragma once

#include "conversion/reason.h"

#include <QJsonObject>

namespace rekoda {

// A reason as a run's journal keeps it, to be worded again later in
// whatever language then: its kind, arguments, counts, the system's error
// and the reason beneath. Its English words go beside it, for a journal
// read by another version of Rekoda, whose kinds may differ: that one
// reads the words back as they stand.
QJsonObject ReasonToJson(const Reason &reason);
Reason ReasonFromJson(const QJsonObject &o, bool sameVersion);

}  // namespace rekoda
