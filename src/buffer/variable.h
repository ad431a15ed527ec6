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

// One file at a time in each thread, overwritten by every read there: a run
// and the window's look at the files' codes each have their own.
extern thread_local std::array<BufferRow, kMaxRows + 1> FieldBuffer;
extern thread_local int LineCount;
extern thread_local std::array<std::string, kSplitFields> SplitFields;

}  // namespace rekoda
