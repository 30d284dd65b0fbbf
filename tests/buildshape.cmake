# Every symbology through the one build-path shape and the symbology table.
marlisk_test(test_buildshape test_buildshape.cpp LIBS marlisk_core)
