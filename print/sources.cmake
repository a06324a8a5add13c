list(APPEND VORNEX_CORE_SOURCES
  print/ArchiveName.cpp print/ArchiveName.h
  print/BitmapFile.cpp print/BitmapFile.h)
list(APPEND VORNEX_FORMS_SOURCES
  print/Pr.cpp print/Pr.h
  print/PrintPage.cpp print/PrintPage.h)
