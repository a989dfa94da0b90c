#include "logging.h"

namespace kestrum {

Q_LOGGING_CATEGORY(lcControl, "kestrum.control")

}  // namespace kestrum
