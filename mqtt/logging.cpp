#include "logging.h"

namespace kestrum {

Q_LOGGING_CATEGORY(lcMqtt, "kestrum.mqtt")

}  // namespace kestrum
