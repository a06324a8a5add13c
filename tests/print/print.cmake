vornex_add_test(tst_archivename SOURCES print/tst_archivename.cpp)
vornex_add_test(tst_bitmapfile SOURCES print/tst_bitmapfile.cpp)
