// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

// Closes the window, as its close box would, when the process gets SIGTERM or SIGINT, so a
// service manager or Ctrl+C ends Pirolan cleanly (port closed, tray icon removed, exit 0).
void closeOnTerminationSignal(QWidget *window);
