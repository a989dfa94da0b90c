#include "logging.h"

namespace kestrum {

Q_LOGGING_CATEGORY(lcMail, "kestrum.mail")

}  // namespace kestrum
