# The sample master data: the five tables built from the SQL text in data/ into
# ${VORNEX_SAMPLE_DB_DIR}, which the run target and the tests copy from.
set(VORNEX_SAMPLE_DB_DIR ${CMAKE_BINARY_DIR}/sample/DB)
file(MAKE_DIRECTORY ${VORNEX_SAMPLE_DB_DIR})

# Starts the program in the working folder run/, whose DB/ is made from the sample only when it
# does not exist yet, so what the user entered, counted or printed is never overwritten.
set(VORNEX_RUN_DIR ${CMAKE_SOURCE_DIR}/run)
add_custom_target(run
  COMMAND ${CMAKE_COMMAND} -DFROM=${VORNEX_SAMPLE_DB_DIR} -DTO=${VORNEX_RUN_DIR}/DB
          -P ${CMAKE_SOURCE_DIR}/data/PrepareRunFolder.cmake
  COMMAND $<TARGET_FILE:Vornex2007>
  WORKING_DIRECTORY ${VORNEX_RUN_DIR}
  DEPENDS Vornex2007
  USES_TERMINAL)
file(MAKE_DIRECTORY ${VORNEX_RUN_DIR})
