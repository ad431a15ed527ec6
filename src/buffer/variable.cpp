#include "buffer/variable.h"

namespace rekoda {

std::array<BufferRow, kMaxRows + 1> FieldBuffer;
int LineCount = 0;
std::array<std::string, kSplitFields> SplitFields;

}  // namespace rekoda
