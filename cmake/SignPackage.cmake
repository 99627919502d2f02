# Signing the release's Setup.exe (Authenticode, SHA-256) with osslsigncode. Given a PKCS#12
# file and a file holding its password, the Setup.exe that goes into the ZIP is signed as it is
# installed into the package's staging folder. The Setup.exe of the build tree stays unsigned,
# so its bytes stay reproducible; without the options nothing is signed.
#
#   cmake --preset win32 -DSETUP_SIGN_PKCS12=release.pfx -DSETUP_SIGN_PASSWORD_FILE=release.pass
#   cmake --build --preset win32 --target package
#   cmake --preset win32 -DSETUP_SIGN=OFF      # signing off again, whatever was set before
#
# The password is read from its file by osslsigncode (-readpass), so it appears on no command
# line. A signature without a time stamp is valid only while the certificate is; a release
# names a time-stamping server with SETUP_SIGN_TIMESTAMP_URL.
#
# SETUP_SIGN_RELEASE_ZIP, set by the includer, is the ZIP the package step writes: a failed
# signing removes an earlier one there, so that no stale ZIP passes for the new release.

set(SETUP_SIGN_PKCS12 "" CACHE FILEPATH
    "PKCS#12 file (.pfx) with the code-signing certificate and key for the package's Setup.exe")
set(SETUP_SIGN_PASSWORD_FILE "" CACHE FILEPATH
    "File whose first line is the password of SETUP_SIGN_PKCS12")
set(SETUP_SIGN_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamping server for the signature (a release should name one)")

# -DSETUP_SIGN=OFF forgets every signing setting at once and is itself not kept, so that giving
# the files again later signs again. (Emptying the two files alone leaves the time-stamp URL,
# which stops the configuration below.)
if(DEFINED SETUP_SIGN)
  set(sign_switch "${SETUP_SIGN}")
  unset(SETUP_SIGN CACHE)
  unset(SETUP_SIGN)
  if(NOT sign_switch)
    foreach(var IN ITEMS SETUP_SIGN_PKCS12 SETUP_SIGN_PASSWORD_FILE SETUP_SIGN_TIMESTAMP_URL)
      set_property(CACHE ${var} PROPERTY VALUE "")
    endforeach()
    message(STATUS "Signing is off (SETUP_SIGN=OFF): SETUP_SIGN_PKCS12, SETUP_SIGN_PASSWORD_FILE "
                   "and SETUP_SIGN_TIMESTAMP_URL are cleared; the package's Setup.exe is unsigned")
    return()
  endif()
  if(NOT SETUP_SIGN_PKCS12 AND NOT SETUP_SIGN_PASSWORD_FILE)
    message(FATAL_ERROR "SETUP_SIGN=ON needs SETUP_SIGN_PKCS12 and SETUP_SIGN_PASSWORD_FILE")
  endif()
endif()

if(NOT SETUP_SIGN_PKCS12 AND NOT SETUP_SIGN_PASSWORD_FILE)
  if(SETUP_SIGN_TIMESTAMP_URL)
    message(FATAL_ERROR "SETUP_SIGN_TIMESTAMP_URL is set, but nothing is signed without "
                        "SETUP_SIGN_PKCS12 and SETUP_SIGN_PASSWORD_FILE. To sign, give both; "
                        "to turn signing off, configure with -DSETUP_SIGN=OFF")
  endif()
  return()
endif()

# Half a configuration must not give an unsigned release by accident.
foreach(var IN ITEMS SETUP_SIGN_PKCS12 SETUP_SIGN_PASSWORD_FILE)
  if(NOT ${var})
    message(FATAL_ERROR "Signing needs both SETUP_SIGN_PKCS12 and SETUP_SIGN_PASSWORD_FILE; "
                        "${var} is not set")
  endif()
  if(NOT EXISTS "${${var}}" OR IS_DIRECTORY "${${var}}")
    message(FATAL_ERROR "${var}: no such file: ${${var}}")
  endif()
endforeach()
find_program(SETUP_OSSLSIGNCODE osslsigncode)
if(NOT SETUP_OSSLSIGNCODE)
  message(FATAL_ERROR "Signing needs osslsigncode (Debian: apt-get install osslsigncode)")
endif()
message(STATUS "The package's Setup.exe is signed with ${SETUP_SIGN_PKCS12}")

set(sign_command
    "${SETUP_OSSLSIGNCODE}" sign -h sha256 -pkcs12 "${SETUP_SIGN_PKCS12}"
    -readpass "${SETUP_SIGN_PASSWORD_FILE}")
if(SETUP_SIGN_TIMESTAMP_URL)
  list(APPEND sign_command -ts "${SETUP_SIGN_TIMESTAMP_URL}")
endif()
# Each argument bracket-quoted, so that paths with blanks or semicolons arrive whole.
set(sign_arguments "")
foreach(argument IN LISTS sign_command)
  string(APPEND sign_arguments " [==[${argument}]==]")
endforeach()

if(NOT SETUP_SIGN_RELEASE_ZIP)
  message(FATAL_ERROR "SignPackage.cmake needs SETUP_SIGN_RELEASE_ZIP, the release ZIP's path")
endif()

# Runs at install time, after Setup.exe has been installed: under CPack into the staging folder
# the ZIP is made from. A failed signing stops the package; no unsigned ZIP comes out of it, and
# an earlier ZIP at the release path is removed, so that what lies there is never taken for
# this build's release.
install(CODE "
  set(exe \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/Setup.exe\")
  file(REMOVE \"\${exe}.signed\")
  execute_process(COMMAND${sign_arguments} -in \"\${exe}\" -out \"\${exe}.signed\"
                  RESULT_VARIABLE sign_result OUTPUT_VARIABLE sign_output ERROR_VARIABLE sign_output)
  if(NOT sign_result EQUAL 0)
    file(REMOVE \"\${exe}\" \"\${exe}.signed\" [==[${SETUP_SIGN_RELEASE_ZIP}]==])
    message(FATAL_ERROR \"Signing Setup.exe failed (\${sign_result}); no ZIP is written, and \"
                        [==[any earlier one is removed: ${SETUP_SIGN_RELEASE_ZIP}]==]
                        \"\\n\${sign_output}\")
  endif()
  file(RENAME \"\${exe}.signed\" \"\${exe}\")
  message(STATUS \"Signed: \${exe}\")
")
