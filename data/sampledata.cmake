# The sample master data: the five tables built from the SQL text in data/ into
# ${VORNEX_SAMPLE_DB_DIR}, which the run target and the tests copy from.
set(VORNEX_SAMPLE_DB_DIR ${CMAKE_BINARY_DIR}/sample/DB)
file(MAKE_DIRECTORY ${VORNEX_SAMPLE_DB_DIR})

add_executable(vornex_make_sample data/MakeSampleTables.cpp)
target_link_libraries(vornex_make_sample PRIVATE SQLite::SQLite3)

set(VORNEX_SAMPLE_TABLES Firm Details stock customer currency)
set(VORNEX_SAMPLE_SQL)
set(VORNEX_SAMPLE_FILES)
foreach(table ${VORNEX_SAMPLE_TABLES})
  list(APPEND VORNEX_SAMPLE_SQL ${CMAKE_SOURCE_DIR}/data/${table}.sql)
  list(APPEND VORNEX_SAMPLE_FILES ${VORNEX_SAMPLE_DB_DIR}/${table}.db)
endforeach()
add_custom_command(
  OUTPUT ${VORNEX_SAMPLE_FILES}
  COMMAND vornex_make_sample ${VORNEX_SAMPLE_DB_DIR} ${VORNEX_SAMPLE_SQL}
  DEPENDS vornex_make_sample ${VORNEX_SAMPLE_SQL}
  COMMENT "Building the sample master-data tables"
  VERBATIM)
add_custom_target(sample_tables ALL DEPENDS ${VORNEX_SAMPLE_FILES})

# Starts the program in the working folder run/, whose DB/ is made from the sample only when it
# does not exist yet, so what the user entered, counted or printed is never overwritten.
set(VORNEX_RUN_DIR ${CMAKE_SOURCE_DIR}/run)
add_custom_target(run
  COMMAND ${CMAKE_COMMAND} -DFROM=${VORNEX_SAMPLE_DB_DIR} -DTO=${VORNEX_RUN_DIR}/DB
          -P ${CMAKE_SOURCE_DIR}/data/PrepareRunFolder.cmake
  COMMAND $<TARGET_FILE:Vornex2007>
  WORKING_DIRECTORY ${VORNEX_RUN_DIR}
  DEPENDS Vornex2007 sample_tables
  USES_TERMINAL)
file(MAKE_DIRECTORY ${VORNEX_RUN_DIR})
