list(APPEND VORNEX_FORMS_SOURCES
  document/Document.cpp document/Document.h)
