marlisk_test(test_surface test_surface.cpp LIBS marlisk_core)
marlisk_test(test_files test_files.cpp LIBS marlisk_files)
