# Two checked builds beside the normal one, each in its own build folder:
#   MARLISK_SANITIZE=ON  every target with AddressSanitizer and UndefinedBehaviorSanitizer;
#                        any undefined behaviour aborts the test that hit it.
#   MARLISK_FUZZ=ON      the core library and the libFuzzer targets only (needs clang).
option(MARLISK_SANITIZE "Build every target with ASan and UBSan" OFF)
option(MARLISK_FUZZ "Build the core library and the libFuzzer targets only (clang)" OFF)

if(MARLISK_SANITIZE OR MARLISK_FUZZ)
    # GCC leaves float-to-int conversions out of "undefined"; sizes from user input pass
    # through such conversions, so they are checked explicitly.
    set(MARLISK_SANITIZER_FLAGS -fsanitize=address,undefined,float-cast-overflow
        -fno-omit-frame-pointer -fno-sanitize-recover=undefined,float-cast-overflow)
    add_compile_options(${MARLISK_SANITIZER_FLAGS})
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

if(MARLISK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "MARLISK_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    # Coverage for the fuzzer's guidance in every object; the fuzzer's main is linked into
    # the fuzz targets alone.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
