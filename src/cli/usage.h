#pragma once

namespace rekoda {

// rekoda-cli --help: the options, the output and the exit statuses.
extern const char kUsage[];

}  // namespace rekoda
