list(APPEND VORNEX_CORE_SOURCES
  document/DocumentNumber.cpp document/DocumentNumber.h)
