# Cross build for 64-bit ARM (Raspberry Pi 4 and 5 on a 64-bit Debian 12 based system) from a
# Debian 12 PC: the cross compiler of crossbuild-essential-arm64, the arm64 libraries installed
# alongside the host's through multiarch, the host's moc and rcc, and the test programs run
# through qemu's user-mode emulation (tools/setup-debian --arm64 installs all of it).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# The arm64 libraries and headers sit in the host's own tree, in their multiarch folders: the
# search takes only those, and the host's programs (moc and rcc come from QT_HOST_PATH).
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(CMAKE_PREFIX_PATH /usr/lib/aarch64-linux-gnu/cmake)
set(QT_HOST_PATH /usr CACHE PATH "Where the host's Qt tools (moc, rcc) live")
# pkg-config reads the arm64 .pc files only (libsystemd, cpp-httplib).
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)

# The arm64 loader and libraries are found below / by their multiarch paths.
find_program(QEMU_AARCH64 qemu-aarch64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_AARCH64} -L /)

# The packages are for arm64; their library dependencies are read with the arm64 tools.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
