vornex_add_test(tst_road SOURCES document/tst_road.cpp GUI)
