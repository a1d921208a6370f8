#pragma once

#include "QuorvRMDrv.h"

namespace qrv {

// The device information record for a device identifier.
TDeviceInfo BuildDeviceInfo(int32_t deviceId);

} // namespace qrv
