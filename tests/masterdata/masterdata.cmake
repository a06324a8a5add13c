vornex_add_test(tst_table SOURCES masterdata/tst_table.cpp)
target_link_libraries(tst_table PRIVATE Qt6::Sql)
vornex_add_test(tst_browser SOURCES masterdata/tst_browser.cpp GUI)
