#pragma once

#include <QLoggingCategory>

namespace kestrum {

Q_DECLARE_LOGGING_CATEGORY(lcWeb)

}  // namespace kestrum
