#include "buffer/variable.h"

namespace rekoda {

thread_local std::array<BufferRow, kMaxRows + 1> FieldBuffer;
thread_local int LineCount = 0;
thread_local std::array<std::string, kSplitFields> SplitFields;

}  // namespace rekoda
