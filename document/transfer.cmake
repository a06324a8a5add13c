list(APPEND VORNEX_FORMS_SOURCES
  document/Transfer.cpp document/Transfer.h
  document/Numbering.cpp document/Numbering.h)
