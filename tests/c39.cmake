marlisk_test(test_c39 test_c39.cpp LIBS marlisk_core)
marlisk_test(test_c39scan test_c39scan.cpp LIBS marlisk_core)
marlisk_test(test_c39form test_c39form.cpp LIBS marlisk_ui)
