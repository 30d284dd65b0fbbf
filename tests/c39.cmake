marlisk_test(test_c39 test_c39.cpp LIBS marlisk_core)
