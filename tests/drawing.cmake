marlisk_test(test_pictureoutputs test_pictureoutputs.cpp outputcases.h
    LIBS marlisk_core marlisk_files marlisk_printing marlisk_check)
marlisk_test(test_barplaces test_barplaces.cpp outputcases.h LIBS marlisk_core marlisk_check)
