# The portable code and its unit tests as 32-bit Linux programs (gcc -m32 from
# g++-multilib), run under qemu-i386 (qemu-user), which also serves kernels
# that run no 32-bit code themselves.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# Large-file interfaces: 64-bit inode numbers and sizes, as on the real disks.
set(CMAKE_C_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
# zlib's static library of the i386 architecture (zlib1g-dev:i386).
set(ZLIB_ROOT /usr/lib/i386-linux-gnu)
set(ZLIB_LIBRARY /usr/lib/i386-linux-gnu/libz.a)
set(ZLIB_INCLUDE_DIR /usr/include)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
