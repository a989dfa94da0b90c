#include "limited_listener.h"

#include <unistd.h>

namespace kestrum {

void closeSocketDescriptor(qintptr descriptor) {
    ::close(static_cast<int>(descriptor));
}

}  // namespace kestrum
