#pragma once

#include <QHash>
#include <QString>

namespace rekoda {

// A name as two independent 64-bit hashes: a run or an undo of 100,000
// files keeps sets of names as 16-byte keys, not strings. Two names that
// shared a key (once in 2^64 runs of a million files) could at worst refuse
// a file, never replace one.
struct NameKey {
  quint64 a, b;
  bool operator==(const NameKey &o) const { return a == o.a && b == o.b; }
};
inline size_t qHash(const NameKey &k, size_t seed = 0) { return static_cast<size_t>(k.a) ^ seed; }
inline NameKey KeyOf(const QString &name) {
  return {quint64(qHash(name, size_t(0x9E3779B97F4A7C15ULL))), quint64(qHash(name, size_t(0xC2B2AE3D27D4EB4FULL)))};
}

}  // namespace rekoda
