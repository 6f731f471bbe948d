# kb_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One Qt Test executable per test file, run by CTest on the offscreen platform
# with a private HOME so no test touches the developer's own settings.
function(kb_add_test_executable name)
    cmake_parse_arguments(KB "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${KB_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${KB_LIBS})
    target_compile_definitions(${name} PRIVATE
        KB_BIN_DIR="${KB_OUTPUT_DIR}/"
        KB_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data/"
        KB_TEST_BUILD_DIR="${CMAKE_CURRENT_BINARY_DIR}/")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

function(kb_add_test name)
    cmake_parse_arguments(KB "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    kb_add_test_executable(${name} SOURCES ${KB_SOURCES} LIBS ${KB_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${CMAKE_CURRENT_BINARY_DIR}/home-${name};XDG_CONFIG_HOME=;XDG_DOCUMENTS_DIR=;LC_ALL=C.UTF-8"
        TIMEOUT 300
        LABELS "${KB_LABELS}")
endfunction()

# kb_add_wm_test(<name> SCREENS <WxH...> SOURCES <files...> LIBS <targets...>)
# A window test that needs a real window manager: for each screen size an X
# server of that size (xvfb-run) with openbox framing the windows. The runs
# share one lock, as parallel xvfb-run starts can pick the same display.
function(kb_add_wm_test name)
    cmake_parse_arguments(KB "" "" "SCREENS;SOURCES;LIBS;LABELS" ${ARGN})
    kb_add_test_executable(${name} SOURCES ${KB_SOURCES} LIBS ${KB_LIBS})
    foreach(screen ${KB_SCREENS})
        add_test(NAME ${name}_${screen}
            COMMAND xvfb-run -a -s "-screen 0 ${screen}x24"
                ${CMAKE_SOURCE_DIR}/tests/support/run-with-openbox.sh $<TARGET_FILE:${name}>)
        set_tests_properties(${name}_${screen} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=xcb;HOME=${CMAKE_CURRENT_BINARY_DIR}/home-${name};XDG_CONFIG_HOME=;XDG_DOCUMENTS_DIR=;LC_ALL=C.UTF-8"
            RESOURCE_LOCK xvfb
            TIMEOUT 300
            LABELS "${KB_LABELS}")
    endforeach()
endfunction()

# kb_add_bench(<name> SOURCES <files...> LIBS <targets...>)
# Benchmarks only run in the "bench" configuration: `ctest -C bench -L bench`.
function(kb_add_bench name)
    cmake_parse_arguments(KB "" "" "SOURCES;LIBS;ARGS" ${ARGN})
    add_executable(${name} ${KB_SOURCES})
    target_link_libraries(${name} PRIVATE ${KB_LIBS})
    target_compile_definitions(${name} PRIVATE
        KB_BIN_DIR="${KB_OUTPUT_DIR}/"
        KB_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data/")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    add_test(NAME ${name} COMMAND ${name} ${KB_ARGS} CONFIGURATIONS bench)
    set_tests_properties(${name} PROPERTIES LABELS bench TIMEOUT 1800
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# kb_use_faultshim(<test>)
# Runs the test with the fault shim preloaded (tests/support/faultshim.c),
# idle until the test names a folder whose disk is to be full.
function(kb_use_faultshim name)
    add_dependencies(${name} kb_faultshim)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
        "LD_PRELOAD=$<TARGET_FILE:kb_faultshim>")
endfunction()
