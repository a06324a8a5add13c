vornex_add_test(tst_numbering SOURCES document/tst_numbering.cpp)
