marlisk_test(test_surface test_surface.cpp LIBS marlisk_core)
