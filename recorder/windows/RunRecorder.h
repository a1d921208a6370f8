#pragma once

#include <QString>

// The recorder's program: single-instance check, splash, main window, scope
// start-up and the message loop. Returns the program's exit code.
// `instanceName` names the lock and the restore server (tests use their own).
int RunRecorder(int& argc, char** argv, const QString& instanceName = QString());
