// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace DeviceHolders {

// Whether another process has the character device at path open (found through /proc, as
// fuser finds it; only the processes this user may look into are seen).
bool othersHold(const QString &path);

} // namespace DeviceHolders
