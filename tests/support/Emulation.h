#pragma once
// A cross build's tests run under qemu's user-mode emulation (ZELVORA_TEST_EMULATED is set
// there). Some of the system's answers differ from a real kernel's; those are named here.

#include <gtest/gtest.h>

#ifdef ZELVORA_TEST_EMULATED
inline constexpr bool kUnderEmulation = true;
#else
inline constexpr bool kUnderEmulation = false;
#endif

// Whether QProcess can start a child here. qemu-user 7.2 refuses the clone flags (CLONE_PIDFD)
// of Qt's process launcher; EmulatedPidfd.cpp steers Qt around them, and this tells whether the
// emulator in use still refuses. Always true outside emulation.
bool ChildProcessesStart();

// Skips a test that starts programs of this build where no child can be started.
#define SKIP_WITHOUT_CHILD_PROCESSES()                                                             \
    if (!ChildProcessesStart())                                                                    \
    GTEST_SKIP() << "QProcess cannot start a child under user-mode emulation (qemu-user "          \
                    "refuses the clone flags of Qt's process launcher)"
