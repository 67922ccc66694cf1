#include "activity.h"

namespace corvina {

std::atomic<uint32_t> ActivityFlags{0};

} // namespace corvina
