list(APPEND VORNEX_CORE_SOURCES
  document/PageLayout.cpp document/PageLayout.h)
