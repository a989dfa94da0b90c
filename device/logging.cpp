#include "logging.h"

namespace kestrum {

Q_LOGGING_CATEGORY(lcDevice, "kestrum.device")

}  // namespace kestrum
