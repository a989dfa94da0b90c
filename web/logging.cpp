#include "logging.h"

namespace kestrum {

Q_LOGGING_CATEGORY(lcWeb, "kestrum.web")

}  // namespace kestrum
