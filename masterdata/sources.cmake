list(APPEND VORNEX_CORE_SOURCES)
list(APPEND VORNEX_FORMS_SOURCES
  masterdata/Unit4.cpp masterdata/Unit4.h)
