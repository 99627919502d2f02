# Shared part of the MinGW-w64 toolchain files; MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_TRIPLE})

# The win32 threading flavour keeps winpthread out of the static link.
foreach(tool_var IN ITEMS C CXX RC)
  if(tool_var STREQUAL "C")
    set(names ${MINGW_TRIPLE}-gcc-win32 ${MINGW_TRIPLE}-gcc ${MINGW_TRIPLE}-gcc-posix)
  elseif(tool_var STREQUAL "CXX")
    set(names ${MINGW_TRIPLE}-g++-win32 ${MINGW_TRIPLE}-g++ ${MINGW_TRIPLE}-g++-posix)
  else()
    set(names ${MINGW_TRIPLE}-windres)
  endif()
  find_program(MINGW_${tool_var} NAMES ${names})
  if(NOT MINGW_${tool_var})
    message(FATAL_ERROR
      "No ${MINGW_TRIPLE} ${tool_var} tool was found (looked for: ${names}).\n"
      "On Debian: apt-get install g++-mingw-w64-i686 g++-mingw-w64-x86-64")
  endif()
endforeach()
set(CMAKE_C_COMPILER ${MINGW_C})
set(CMAKE_CXX_COMPILER ${MINGW_CXX})
set(CMAKE_RC_COMPILER ${MINGW_RC})
# The release links with LTO, so the static libraries need the archiver with the LTO plugin.
find_program(MINGW_AR NAMES ${MINGW_TRIPLE}-gcc-ar-win32 ${MINGW_TRIPLE}-gcc-ar)
find_program(MINGW_RANLIB NAMES ${MINGW_TRIPLE}-gcc-ranlib-win32 ${MINGW_TRIPLE}-gcc-ranlib)
if(MINGW_AR AND MINGW_RANLIB)
  set(CMAKE_AR ${MINGW_AR} CACHE FILEPATH "Archiver")
  set(CMAKE_RANLIB ${MINGW_RANLIB} CACHE FILEPATH "Ranlib")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages: under the root, and under CMAKE_PREFIX_PATH as given (an installed ResizeKit).
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
