vornex_add_test(tst_transfer SOURCES document/tst_transfer.cpp GUI)
