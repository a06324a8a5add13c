list(APPEND VORNEX_CORE_SOURCES)
list(APPEND VORNEX_FORMS_SOURCES
  document/Document.cpp document/Document.h
  document/Transfer.cpp document/Transfer.h)
