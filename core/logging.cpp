#include "logging.h"

namespace kestrum {

Q_LOGGING_CATEGORY(lcCore, "kestrum.core")

}  // namespace kestrum
