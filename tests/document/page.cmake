vornex_add_test(tst_pagelayout SOURCES document/tst_pagelayout.cpp)
vornex_add_test(tst_document SOURCES document/tst_document.cpp GUI)
