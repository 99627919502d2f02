# Lays out a complete driver package folder:
#   cmake -DSOURCE=examples/package -DDEST=<folder> -DSTUB=<stub installer>
#         [-DSETUP=<Setup.exe>] -P LayOutPackage.cmake
# DEST is replaced as a whole, so nothing of an earlier layout survives.
foreach(var SOURCE DEST STUB)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "LayOutPackage.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${SOURCE}/Setup.ini")
  message(FATAL_ERROR "LayOutPackage.cmake: no Setup.ini in ${SOURCE}")
endif()

file(REMOVE_RECURSE "${DEST}")
file(MAKE_DIRECTORY "${DEST}/Drivers")
file(COPY "${SOURCE}/" DESTINATION "${DEST}")
# One stub under both names: the launcher picks the name by the machine's processor.
foreach(name dpinst.exe dpinst64.exe)
  file(COPY_FILE "${STUB}" "${DEST}/Drivers/${name}")
endforeach()
if(DEFINED SETUP AND NOT SETUP STREQUAL "")
  file(COPY_FILE "${SETUP}" "${DEST}/Setup.exe")
endif()
