#pragma once

#include <QLoggingCategory>

namespace kestrum {

Q_DECLARE_LOGGING_CATEGORY(lcControl)

}  // namespace kestrum
