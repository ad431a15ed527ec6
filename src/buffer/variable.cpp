#include "buffer/variable.h"

namespace rekoda {

thread_local int LineCount = 0;

void ReleaseThreadBuffers() {
  FieldBuffer.release();
  SplitFields.release();
}

}  // namespace rekoda
