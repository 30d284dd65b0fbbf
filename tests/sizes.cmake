marlisk_test(test_sizes test_sizes.cpp LIBS marlisk_core)
