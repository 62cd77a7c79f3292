# Writes ENTRY_OUT: ENTRY_IN with its Exec line starting PROGRAM, quoted as
# desktop entries require (a double-quoted argument with ", `, $ and \
# escaped, then \ escaped once more as in every string value, % doubled).
set(argument "${PROGRAM}")
if(argument MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" argument "${argument}")
  set(argument "\"${argument}\"")
endif()
string(REPLACE "\\" "\\\\" argument "${argument}")
string(REPLACE "%" "%%" argument "${argument}")
file(READ "${ENTRY_IN}" entry)
string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=@exec@" entry "${entry}")
string(REPLACE "@exec@" "${argument}" entry "${entry}")
file(WRITE "${ENTRY_OUT}" "${entry}")
