// Linked into the test programs of a cross build only, which run under qemu-user.
//
// qemu-user 7.2 passes waitid(P_PIDFD) through to the host kernel, which knows it, but refuses
// clone(CLONE_PIDFD). Qt's process launcher probes the first to decide on the second, so every
// QProcess::start failed. Answering the probe as a kernel without pidfds does (EINVAL) sends Qt
// down its path for such kernels, a plain fork that qemu runs.

#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr long kPidfdIdType = 3; // P_PIDFD, which glibc 2.36's headers do not all name
}

extern "C" long syscall(long number, ...) noexcept {
    // The kernel takes at most six arguments; reading six is how libc's own wrapper does it.
    va_list args;
    va_start(args, number);
    long a[6];
    for (long& arg : a)
        arg = va_arg(args, long);
    va_end(args);
    if (number == SYS_waitid && a[0] == kPidfdIdType) {
        errno = EINVAL;
        return -1;
    }
    using Syscall = long (*)(long, ...);
    static const auto real = reinterpret_cast<Syscall>(dlsym(RTLD_NEXT, "syscall"));
    return real(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}
