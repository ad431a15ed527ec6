#pragma once

#include <array>
#include <string>

namespace rekoda {

// The one in-memory image of a data file: rows 1..kMaxRows hold the lines,
// field 0 of a row its field count as decimal text, fields 1..kMaxFields the
// fields. Row 0 is never filled. Values are the file's bytes, unconverted.
inline constexpr int kMaxRows = 100;
inline constexpr int kMaxFields = 65;
inline constexpr int kSplitFields = 76;

using BufferRow = std::array<std::string, kMaxFields + 1>;

// Storage of the calling thread's own, made on its first use. A pointer, not
// a thread_local object: an object with a destructor is destroyed at thread
// exit, which mingw-w64's emulated TLS does after it has freed the storage
// (a crash as a run's thread ends).
template <class T>
class PerThread {
 public:
  T &get() const {
    if (!mine())
      mine() = new T();
    return *mine();
  }
  auto &operator[](size_t i) const { return get()[i]; }
  auto begin() const { return get().begin(); }
  auto end() const { return get().end(); }
  void release() const {
    delete mine();
    mine() = nullptr;
  }

 private:
  static T *&mine() {
    thread_local T *p = nullptr;
    return p;
  }
};

// One file at a time in each thread, overwritten by every read there: a run
// and the window's look at the files' codes each have their own.
inline constexpr PerThread<std::array<BufferRow, kMaxRows + 1>> FieldBuffer;
extern thread_local int LineCount;
inline constexpr PerThread<std::array<std::string, kSplitFields>> SplitFields;

// Gives the calling thread's buffers back; the last thing a thread that
// read files does before it ends (the process's own thread need not).
void ReleaseThreadBuffers();

}  // namespace rekoda
