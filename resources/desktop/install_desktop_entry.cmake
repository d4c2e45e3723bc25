# Run by cmake --install: writes the desktop entry for the prefix being installed to and installs it.
# In: KESTA_DESKTOP_TEMPLATE, KESTA_DESKTOP_STAGED, KESTA_BINDIR, KESTA_DATADIR, CMAKE_INSTALL_PREFIX.
set(launcher "${CMAKE_INSTALL_PREFIX}/${KESTA_BINDIR}/kesta")
if(launcher MATCHES "\n")
  message(FATAL_ERROR "The install prefix holds a line break: ${CMAKE_INSTALL_PREFIX}")
endif()

# Exec: one argument in double quotes, with " ` $ \ escaped and % doubled; then, as for every string
# value of the file, each backslash doubled.
set(quoted "${launcher}")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "\"" "\\\"" quoted "${quoted}")
string(REPLACE "`" "\\`" quoted "${quoted}")
string(REPLACE "$" "\\$" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
set(KESTA_EXEC "\"${quoted}\"")
string(REPLACE "\\" "\\\\" KESTA_EXEC "${KESTA_EXEC}")
string(REPLACE "\\" "\\\\" KESTA_TRY_EXEC "${launcher}")

file(READ "${KESTA_DESKTOP_TEMPLATE}" entry)
string(CONFIGURE "${entry}" entry @ONLY)
file(WRITE "${KESTA_DESKTOP_STAGED}" "${entry}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${KESTA_DATADIR}/applications" TYPE FILE
     FILES "${KESTA_DESKTOP_STAGED}")
