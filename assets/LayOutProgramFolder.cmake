# cmake -DPROGRAM_DIR=... -DASSETS_DIR=... -P LayOutProgramFolder.cmake
file(MAKE_DIRECTORY ${PROGRAM_DIR}/Data ${PROGRAM_DIR}/source/DeskTopBG ${PROGRAM_DIR}/assets)
# The program's own files follow the sources.
file(COPY ${ASSETS_DIR}/fonts.conf DESTINATION ${PROGRAM_DIR}/assets)
