list(APPEND VORNEX_CORE_SOURCES
  lines/Amounts.cpp lines/Amounts.h
  lines/DescriptionWrap.cpp lines/DescriptionWrap.h
  lines/FixedPoint.cpp lines/FixedPoint.h
  lines/MemoryFile.cpp lines/MemoryFile.h)
list(APPEND VORNEX_FORMS_SOURCES
  lines/Unit1.cpp lines/Unit1.h)
