vornex_add_test(tst_amounts SOURCES lines/tst_amounts.cpp)
vornex_add_test(tst_descriptionwrap SOURCES lines/tst_descriptionwrap.cpp)
vornex_add_test(tst_memoryfile SOURCES lines/tst_memoryfile.cpp)
vornex_add_test(tst_linetable SOURCES lines/tst_linetable.cpp GUI)
