// SPDX-License-Identifier: MIT
#pragma once

class QApplication;

// Title, version, icon and font substitutes of the application, before any window exists.
void setUpApplication(QApplication &app);
