list(APPEND VORNEX_CORE_SOURCES
  lines/MemoryFile.cpp lines/MemoryFile.h)
list(APPEND VORNEX_FORMS_SOURCES
  lines/Unit1.cpp lines/Unit1.h)
