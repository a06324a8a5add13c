list(APPEND VORNEX_CORE_SOURCES
  masterdata/Table.cpp masterdata/Table.h
  masterdata/StockQuantity.cpp masterdata/StockQuantity.h)
list(APPEND VORNEX_FORMS_SOURCES
  masterdata/Unit4.cpp masterdata/Unit4.h
  masterdata/Take.cpp)
