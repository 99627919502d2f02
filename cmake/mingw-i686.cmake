# Cross build of the 32-bit Windows product with MinGW-w64.
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Doubles in SSE2 registers, as on the host and in the 64-bit build: the x87 unit's extended
# precision would round a product landing on .5 differently (265 x 1.5 = 397.5). Every
# processor that runs the systems the manifest names has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
