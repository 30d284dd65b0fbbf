# The UPC/EAN bar-symbol family: geometry base, the three symbols, their build path.
marlisk_test(test_barproperty test_barproperty.cpp LIBS marlisk_core)
marlisk_test(test_barencoding test_barencoding.cpp barfamilytesting.cpp LIBS marlisk_core)
marlisk_test(test_bargeometry test_bargeometry.cpp barfamilytesting.cpp LIBS marlisk_core)
marlisk_test(test_barfamilybuild test_barfamilybuild.cpp LIBS marlisk_core)
marlisk_test(test_barfamilyscan test_barfamilyscan.cpp zbarscan.cpp LIBS marlisk_core)
marlisk_test(test_barfamilyform test_barfamilyform.cpp LIBS marlisk_ui)
