# cmake -DPROGRAM_DIR=... -DASSETS_DIR=... -DTAVI_CLI=... -P LayOutProgramFolder.cmake
file(MAKE_DIRECTORY ${PROGRAM_DIR}/Data ${PROGRAM_DIR}/source/DeskTopBG ${PROGRAM_DIR}/assets)
# The program's own files follow the sources.
file(COPY ${ASSETS_DIR}/fonts.conf DESTINATION ${PROGRAM_DIR}/assets)
# The user's files only when missing.
if(NOT EXISTS ${PROGRAM_DIR}/Data/UserData.db)
  execute_process(COMMAND ${TAVI_CLI} create-database ${PROGRAM_DIR}/Data/UserData.db
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not create ${PROGRAM_DIR}/Data/UserData.db")
  endif()
endif()
if(NOT EXISTS ${PROGRAM_DIR}/Data/loginstr.db)
  execute_process(COMMAND ${TAVI_CLI} no-password ${PROGRAM_DIR}/Data/loginstr.db
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not create ${PROGRAM_DIR}/Data/loginstr.db")
  endif()
endif()
if(NOT EXISTS ${PROGRAM_DIR}/source/DeskTopBG/A1.bmp)
  execute_process(COMMAND ${TAVI_CLI} default-background ${PROGRAM_DIR}/source/DeskTopBG/A1.bmp
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not create ${PROGRAM_DIR}/source/DeskTopBG/A1.bmp")
  endif()
endif()
