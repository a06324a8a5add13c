list(APPEND VORNEX_CORE_SOURCES
  words/AmountInWords.cpp words/AmountInWords.h)
