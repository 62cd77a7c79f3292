# cmake -DPROGRAM_DIR=... -DASSETS_DIR=... -DTAVI_CLI=... -P LayOutProgramFolder.cmake
# The program's own files follow the sources.
file(MAKE_DIRECTORY ${PROGRAM_DIR}/assets)
file(COPY ${ASSETS_DIR}/fonts.conf DESTINATION ${PROGRAM_DIR}/assets)
# The user's folders and files only when missing, by the program's own rule.
execute_process(COMMAND ${TAVI_CLI} lay-out-folder ${PROGRAM_DIR} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not lay out the program folder ${PROGRAM_DIR}")
endif()
