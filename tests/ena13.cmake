marlisk_test(test_ena13 test_ena13.cpp LIBS marlisk_core)
marlisk_test(test_ena13scan test_ena13scan.cpp zbarscan.cpp LIBS marlisk_core)
marlisk_test(test_ena13form test_ena13form.cpp LIBS marlisk_ui)
