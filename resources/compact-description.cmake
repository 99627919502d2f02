# Writes the stored description without its comment lines, indentation and blank lines, which
# the reader skips anyway: the embedded copy is the same description in fewer bytes.
#   cmake -DIN=MainForm.desc -DOUT=compact/MainForm.desc -P compact-description.cmake
file(READ "${IN}" text)
string(REGEX REPLACE "\r" "" text "${text}")
string(REGEX REPLACE "(^|\n)[ \t]*#[^\n]*" "\\1" text "${text}")
string(REGEX REPLACE "\n[ \t]+" "\n" text "${text}")
string(REGEX REPLACE "^[ \t\n]+" "" text "${text}")
string(REGEX REPLACE "\n\n+" "\n" text "${text}")
file(WRITE "${OUT}" "${text}")
